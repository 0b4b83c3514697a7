// The program's own main window on the Qt host (offscreen platform), driven with QTest: moves by
// key and by every part of the scroll bar land on their record with the thumb where the window
// put it, a file without records leaves the thumb alone, the open dialog takes "VT1" for VT1.qtf,
// a drop opens the first file, and a grab of the window on a track is saved for anyone to look at.
#include "app/PlaybackApp.h"
#include "framework/HostMessageSink.h"
#include "framework/qt/QtHost.h"
#include "resources/Resources.h"
#include "support/QtScrollBarActions.h"
#include "support/QtTestApplication.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "trackfile/TrackFile.h"

#include <QApplication>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QShortcut>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace
{
constexpr std::uint32_t kRecords = 100;

// The thumb position the window sets for record i of n.
int ThumbOf(std::uint32_t i, std::uint32_t n)
{
    return static_cast<int>(std::uint64_t{i} * 32766u / n);
}

class QtWindowTest : public ::testing::Test
{
protected:
    // Starts the program on a track of n records (record i at x = 100 + 4i, y = 100 + 3i).
    void StartOn(std::uint32_t n)
    {
        CTrackFileBuilder builder;
        for (std::uint32_t i = 0; i < n; ++i)
            builder.Add(MakeRecord(1000 + 16667 * std::int64_t{i}, static_cast<std::int32_t>(100 + 4 * i),
                                   static_cast<std::int32_t>(100 + 3 * i), static_cast<std::int32_t>(i)));
        const std::string path = builder.Write(temp.File("track.qtf"));
        const char* argv[] = {"trackplay", path.c_str()};
        app.SetCommandLine(2, argv);
        ASSERT_TRUE(app.InitInstance());
        top = CQtHost::WindowWidget(app.m_dlg);
        ASSERT_NE(top, nullptr);
        bar = qobject_cast<QScrollBar*>(CQtHost::ControlWidget(app.m_dlg, kIdcScrollBar));
        ASSERT_NE(bar, nullptr);
        top->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(top));
        QCoreApplication::processEvents();
    }

    void TearDown() override
    {
        if (app.m_dlg.HasWindow())
            app.ExitInstance();
    }

    [[nodiscard]] std::uint32_t Index() const { return app.m_dlg.m_currentIndex; }

    // Clicks the given part of the scroll bar with the mouse.
    void ClickBar(QStyle::SubControl part)
    {
        const QRect rect = ScrollBarPart(*bar, part);
        ASSERT_TRUE(rect.isValid()) << part;
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, rect.center());
    }

    // Drags the thumb to pos (the slider calls Qt's own mouse handlers make) and lets go.
    void DragThumbTo(int pos, bool release = true)
    {
        bar->setSliderDown(true);
        bar->setSliderPosition(pos);
        if (release)
            bar->setSliderDown(false);
    }

    struct CApplicationFirst
    {
        CApplicationFirst() { QtTestApplication(); }
    } applicationFirst;
    CQtHost host;
    CScopedHost scopedHost{host};
    CRecordingMessageSink sink; // no real box may block a test
    CScopedMessageSink scopedSink{sink};
    CTempDir temp;
    CTrackFile reader;
    CPlaybackApp app{reader};
    QWidget* top = nullptr;
    QScrollBar* bar = nullptr;
};
} // namespace

// Test that every key move shows its record and sets the thumb to that record's place once.
TEST_F(QtWindowTest, KeyMovesLandOnTheirRecord)
{
    StartOn(kRecords);
    struct Step
    {
        Qt::Key key;
        std::uint32_t index;
    };
    const Step steps[] = {
        {Qt::Key_Right, 1}, {Qt::Key_Right, 2}, {Qt::Key_Right, 3}, {Qt::Key_Up, 63},   {Qt::Key_Left, 62},
        {Qt::Key_Down, 2},  {Qt::Key_Down, 0},  {Qt::Key_Left, 99}, {Qt::Key_Right, 0}, {Qt::Key_Up, 60},
    };
    for (const Step& s : steps)
    {
        QTest::keyClick(top, s.key);
        EXPECT_EQ(Index(), s.index) << "key " << s.key;
        EXPECT_EQ(bar->value(), ThumbOf(s.index, kRecords)) << "key " << s.key;
        EXPECT_EQ(app.m_dlg.m_strRecordNumber, std::to_string(s.index)) << "key " << s.key;
    }
}

// Test the menu bar and the keys of the program's window: no menu item registers a shortcut (the
// accelerator table alone gives keys a meaning) and an item sends its command; with an edit
// focused the table's keys act as commands, type nothing (Ctrl+A selects nothing) and are no Qt
// shortcut's, Ctrl+G,
// which the Tools menu names, does nothing, and keypad digits are typed.
TEST_F(QtWindowTest, MenuAndKeysWithAnEditFocused)
{
    StartOn(kRecords);
    const MenuResource* menu = FindMenuResource(kIdrMainMenu);
    ASSERT_NE(menu, nullptr);
    int expectedItems = 0;
    for (const MenuPopup& popup : menu->popups)
        for (const MenuItem& item : popup.items)
            expectedItems += item.IsSeparator() ? 0 : 1;
    int items = 0;
    QAction* next = nullptr;
    QAction* generate = nullptr;
    for (QAction* popup : static_cast<QMainWindow*>(top)->menuBar()->actions())
        for (QAction* action : popup->menu()->actions())
        {
            if (action->isSeparator())
                continue;
            ++items;
            EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
            if (action->text() == QStringLiteral("&Next Frame\tRight-Arrow"))
                next = action;
            if (action->text() == QStringLiteral("&Generate Timestamp Files from Rectangles\tCtrl-G"))
                generate = action;
        }
    EXPECT_EQ(items, expectedItems);
    ASSERT_NE(next, nullptr);
    ASSERT_NE(generate, nullptr);
    next->trigger();
    EXPECT_EQ(Index(), 1u);

    auto* edit = qobject_cast<QLineEdit*>(CQtHost::ControlWidget(app.m_dlg, kIdcPlotEveryNth));
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Right);
    EXPECT_EQ(Index(), 2u);
    // A Qt shortcut on a key of the table never takes it from the window (Insert: Create Rectangle).
    int shortcutFired = 0;
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Insert), top);
    QObject::connect(shortcut, &QShortcut::activated, [&shortcutFired] { ++shortcutFired; });
    QTest::keyClick(edit, Qt::Key_Insert);
    EXPECT_EQ(app.m_dlg.m_regions.m_nRegionCount, 1);
    EXPECT_EQ(shortcutFired, 0);
    delete shortcut;
    QTest::keyClick(edit, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Index(), 2u);
    const std::uint64_t changes = app.m_dlg.Surface()->ChangeCount();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier); // the entire track
    EXPECT_GT(app.m_dlg.Surface()->ChangeCount(), changes);
    EXPECT_TRUE(edit->selectedText().isEmpty());
    EXPECT_EQ(edit->text(), QStringLiteral("60"));
    QTest::keyClick(edit, Qt::Key_3, Qt::KeypadModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("603"));
    EXPECT_EQ(Index(), 2u);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(sink.questions.empty());
}

// Test the scroll bar's arrows, page areas, ends, the wheel and a drag of the thumb: each shows
// the record of its code and the thumb rests where the window put it.
TEST_F(QtWindowTest, ScrollBarPartsLandOnTheirRecord)
{
    StartOn(kRecords);
    ClickBar(QStyle::SC_ScrollBarAddLine);
    EXPECT_EQ(Index(), 1u);
    ClickBar(QStyle::SC_ScrollBarAddPage);
    EXPECT_EQ(Index(), 61u);
    ClickBar(QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(Index(), 60u);
    EXPECT_EQ(bar->value(), ThumbOf(60, kRecords));
    ClickBar(QStyle::SC_ScrollBarSubPage);
    EXPECT_EQ(Index(), 0u);
    ClickBar(QStyle::SC_ScrollBarSubLine); // wraps to the last record
    EXPECT_EQ(Index(), 99u);
    EXPECT_EQ(bar->value(), 32438);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(Index(), 0u);
    EXPECT_EQ(bar->value(), 0);

    // One notch towards the user is one record on; away, one back.
    const QPoint centre = bar->rect().center();
    for (const int delta : {-120, -120, 120})
    {
        QWheelEvent wheel(centre, bar->mapToGlobal(centre), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &wheel);
    }
    EXPECT_EQ(Index(), 1u);
    EXPECT_EQ(bar->value(), ThumbOf(1, kRecords));

    // Dragged to 16000: record 48 and the thumb at 15727, during the drag and after the release.
    DragThumbTo(16000, false);
    EXPECT_EQ(Index(), 48u);
    EXPECT_EQ(bar->value(), 15727);
    bar->setSliderDown(false);
    EXPECT_EQ(Index(), 48u);
    EXPECT_EQ(bar->value(), 15727);
    DragThumbTo(32766);
    EXPECT_EQ(Index(), 99u);
    EXPECT_EQ(bar->value(), 32438);
    EXPECT_TRUE(sink.messages.empty());
}

// Test "Scroll here" of the bar's own context menu: the record under that place is shown, as for a
// thumb released there (floor(pos x n / 32766)), with the thumb, the readouts and the plot
// following at once, wherever along the bar it is chosen.
TEST_F(QtWindowTest, ScrollHereShowsTheRecordAtThatPlace)
{
    StartOn(kRecords);
    // The positions Qt chose, seen after the window's own handler has run.
    std::vector<int> chosen;
    QObject::connect(bar, &QAbstractSlider::valueChanged, bar,
                     [&chosen](int value) { chosen.push_back(value); });
    auto* xReadout = qobject_cast<QLabel*>(CQtHost::ControlWidget(app.m_dlg, kIdcX));
    ASSERT_NE(xReadout, nullptr);
    for (const double fraction : {0.75, 0.25, 1.0, 0.5, 0.0})
    {
        SCOPED_TRACE(fraction);
        chosen.clear();
        ASSERT_EQ(ChooseFirstContextMenuItem(*bar, fraction), QStringLiteral("Scroll here"));
        ASSERT_EQ(chosen.size(), 1u) << "Qt set one position";
        const auto pos = static_cast<std::uint32_t>(chosen.front());
        const std::uint32_t expected = std::min<std::uint32_t>(
            static_cast<std::uint32_t>(std::uint64_t{pos} * kRecords / 32766u), kRecords - 1u);
        EXPECT_EQ(Index(), expected);
        EXPECT_EQ(bar->value(), ThumbOf(expected, kRecords));
        EXPECT_EQ(bar->sliderPosition(), ThumbOf(expected, kRecords));
        EXPECT_EQ(app.m_dlg.m_strRecordNumber, std::to_string(expected));
        EXPECT_EQ(xReadout->text(), QString::number(100 + 4 * expected));
        // The record's marker is on the plot: its purple dot at the record's position.
        const CDrawingSurface* surface = app.m_dlg.Surface();
        ASSERT_NE(surface, nullptr);
        bool marker = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
            {
                const int x = static_cast<int>(100 + 4 * expected) + dx;
                const int y = static_cast<int>(100 + 3 * expected) + dy;
                const std::uint8_t* p = surface->Data() + (static_cast<std::size_t>(y) * 640 + x) * 3;
                marker = marker || (p[0] == 128 && p[1] == 0 && p[2] == 128);
            }
        EXPECT_TRUE(marker);
    }
    EXPECT_TRUE(sink.messages.empty());
}

// Test that with no records no part of the bar moves the thumb or changes the readouts.
TEST_F(QtWindowTest, FileWithoutRecordsLeavesTheThumbAlone)
{
    StartOn(0);
    const std::string shown = app.m_dlg.m_strRecordNumber;
    ClickBar(QStyle::SC_ScrollBarAddPage);
    ClickBar(QStyle::SC_ScrollBarAddLine);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(bar->sliderPosition(), 0);
    DragThumbTo(20000);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(bar->sliderPosition(), 0);
    EXPECT_EQ(ChooseFirstContextMenuItem(*bar, 0.75), QStringLiteral("Scroll here"));
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(bar->sliderPosition(), 0);
    QTest::keyClick(top, Qt::Key_Right);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(Index(), 0u);
    EXPECT_EQ(app.m_dlg.m_strRecordNumber, shown);
}

// Test the open dialog: the initial name "VT1" accepted as it stands opens VT1.qtf.
TEST_F(QtWindowTest, OpenDialogTakesTheInitialNameWithItsExtension)
{
    StartOn(kRecords);
    CHostMessageSink dialogs{std::string(kProgramName)}; // the real file dialog, for this test only
    CScopedMessageSink scopedDialogs{dialogs};
    CTrackFileBuilder().AddSequence(7).Write(temp.File("VT1.qtf"));
    // Any box left open (the open failed) is closed and counted, so the test cannot hang.
    int strayBoxes = 0;
    QTimer::singleShot(1000,
                       [&strayBoxes]
                       {
                           while (QWidget* modal = QApplication::activeModalWidget())
                           {
                               ++strayBoxes;
                               modal->close();
                           }
                       });
    QString title;
    QTimer::singleShot(0,
                       [&]
                       {
                           auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                           ASSERT_NE(dialog, nullptr);
                           title = dialog->windowTitle();
                           dialog->setDirectory(QString::fromStdString(temp.Path()));
                           dialog->selectFile(QStringLiteral("VT1"));
                           static_cast<QDialog*>(dialog)->accept(); // as the Open button does
                       });
    QAction* open = nullptr;
    for (QAction* action : top->findChildren<QAction*>())
        if (action->text().startsWith(QStringLiteral("&Open")))
            open = action;
    ASSERT_NE(open, nullptr);
    open->trigger();
    EXPECT_EQ(title, QStringLiteral("Open Video Tracker File"));
    EXPECT_EQ(reader.GetFileName(), "VT1.qtf");
    EXPECT_EQ(app.m_dlg.m_recordCount, 7u);
    EXPECT_EQ(strayBoxes, 0);
}

// Test that a drop of three files on the window opens the first of them.
TEST_F(QtWindowTest, DropOfThreeFilesOpensTheFirst)
{
    StartOn(kRecords);
    const std::string first = CTrackFileBuilder().AddSequence(5).Write(temp.File("first.qtf"));
    const std::string second = CTrackFileBuilder().AddSequence(9).Write(temp.File("second.qtf"));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(first)),
                  QUrl::fromLocalFile(QString::fromStdString(second)),
                  QUrl::fromLocalFile(QString::fromStdString(temp.File("third.dat")))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(top, &enter);
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(top, &drop);
    EXPECT_EQ(reader.GetFileName(), "first.qtf");
    EXPECT_EQ(app.m_dlg.m_recordCount, 5u);
}

// Test the window on a track after the entire-track plot and a few steps: its fixed size and place,
// the plot area showing exactly the surface's pixels; a grab of the window and its icon are saved
// under the build folder so that anyone can look at the real window.
TEST_F(QtWindowTest, GrabOfTheWindowOnATrack)
{
    StartOn(kRecords);
    QTest::keyClick(top, Qt::Key_A, Qt::ControlModifier); // the entire track
    for (int k = 0; k < 3; ++k)
        QTest::keyClick(top, Qt::Key_Up);
    EXPECT_EQ(Index(), 99u);
    EXPECT_EQ(top->minimumSize(), top->maximumSize()); // no sizing
    EXPECT_EQ(top->pos(), QPoint(0, 0));
    EXPECT_EQ(static_cast<QMainWindow*>(top)->centralWidget()->size(),
              QSize(666, 667)); // 444 x 411 dialog units
    EXPECT_TRUE(top->grab().save(QStringLiteral(TRACKPLAY_GRAB_DIR "/trackplay_window.png")));
    EXPECT_TRUE(
        top->windowIcon().pixmap(32, 32).save(QStringLiteral(TRACKPLAY_GRAB_DIR "/program_icon.png")));

    auto* plot = qobject_cast<QFrame*>(CQtHost::ControlWidget(app.m_dlg, kIdcPlotArea));
    ASSERT_NE(plot, nullptr);
    const CDrawingSurface* surface = app.m_dlg.m_plot.Surface();
    ASSERT_NE(surface, nullptr);
    const QRect client = plot->contentsRect();
    ASSERT_EQ(client.size(), QSize(640, 480));
    const QImage shown = plot->grab(client).toImage().convertToFormat(QImage::Format_RGB888);
    int differing = 0;
    int lit = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
        {
            const std::uint8_t* expected = surface->Data() + (static_cast<std::size_t>(y) * 640 + x) * 3;
            const std::uint8_t* actual = shown.constScanLine(y) + static_cast<std::size_t>(x) * 3;
            differing += std::memcmp(expected, actual, 3) != 0 ? 1 : 0;
            lit += (expected[0] | expected[1] | expected[2]) != 0 ? 1 : 0;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(lit, 0); // the record's marker and points are on the surface
}

// Test Region Properties on Qt: the dialog opens modal over the window with the selected region's
// name and corners (the name selected), refuses a bad name with its message and the focus on the
// name (selected again), and on OK the table and the plot take the typed values. A grab of the
// dialog is saved for anyone to look at.
TEST_F(QtWindowTest, RegionPropertiesDialog)
{
    StartOn(kRecords);
    QTest::keyClick(top, Qt::Key_Insert);
    ASSERT_EQ(app.m_dlg.m_regions.m_nSelectedRegion, 0);
    QString shownName;
    QString shownRight;
    bool modalOverWindow = false;
    QString focusAfterRefusal;
    QString selectedAtOpen;
    QString selectedAfterRefusal;
    QTimer::singleShot(
        0,
        [&]
        {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            modalOverWindow = dialog->isModal() && dialog->parentWidget() == top;
            auto edits = dialog->findChildren<QLineEdit*>();
            ASSERT_EQ(edits.size(), 5);
            // The edits in Tab order: name, left, top, right, bottom.
            std::sort(edits.begin(), edits.end(),
                      [](const QLineEdit* a, const QLineEdit* b)
                      { return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x(); });
            shownName = edits[0]->text();
            shownRight = edits[3]->text();
            selectedAtOpen = edits[0]->selectedText();
            EXPECT_TRUE(dialog->grab().save(QStringLiteral(TRACKPLAY_GRAB_DIR "/region_properties.png")));
            edits[0]->setText(QStringLiteral("a/b"));
            QTest::keyClick(edits[0], Qt::Key_Return);
            focusAfterRefusal =
                dialog->focusWidget() == edits[0] ? QStringLiteral("name") : QStringLiteral("other");
            selectedAfterRefusal = edits[0]->selectedText();
            edits[0]->setText(QStringLiteral("open arm"));
            edits[3]->setText(QStringLiteral("400"));
            QTest::keyClick(edits[3], Qt::Key_Return);
        });
    QAction* properties = nullptr;
    for (QAction* action : top->findChildren<QAction*>())
        if (action->text() == QStringLiteral("&Region Properties..."))
            properties = action;
    ASSERT_NE(properties, nullptr);
    properties->trigger();
    EXPECT_TRUE(modalOverWindow);
    EXPECT_EQ(shownName, QStringLiteral("Box0"));
    EXPECT_EQ(shownRight, QStringLiteral("175"));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].rfind("The region name ", 0), 0u) << sink.messages[0];
    EXPECT_EQ(focusAfterRefusal, QStringLiteral("name"));
    // Typing replaces the value given the focus, when the box opens and after the refusal.
    EXPECT_EQ(selectedAtOpen, QStringLiteral("Box0"));
    EXPECT_EQ(selectedAfterRefusal, QStringLiteral("a/b"));
    EXPECT_EQ(app.m_dlg.m_regions.m_regionNames[0], "open arm");
    EXPECT_EQ(app.m_dlg.m_regions.m_regionRects[0], (Rect{50, 50, 400, 175}));
    const std::uint8_t* outline = app.m_dlg.Surface()->Data() + (100u * 640u + 399u) * 3u;
    EXPECT_EQ(outline[0], 175) << "the new right edge is drawn";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Test Analysis Settings on Qt: the dialog opens modal over the window with the calibration in
// words and the settings in its edits, refuses a minimum visit out of range with one message
// naming the field and the focus on it, and on OK the window takes what was typed. A grab of the
// dialog is saved for anyone to look at.
TEST_F(QtWindowTest, AnalysisSettingsDialog)
{
    StartOn(kRecords);
    app.m_dlg.m_analysisSettings.calibration.form = CalibrationForm::Factor;
    app.m_dlg.m_analysisSettings.calibration.cmPerPx = 0.1;
    QString calibrationShown;
    QString focusAfterRefusal;
    int editCount = 0;
    QTimer::singleShot(
        0,
        [&]
        {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                if (label->text().contains(QStringLiteral("cm per pixel")))
                    calibrationShown = label->text();
            auto edits = dialog->findChildren<QLineEdit*>();
            editCount = static_cast<int>(edits.size());
            ASSERT_EQ(edits.size(), 7);
            // In the order of the rows: margin, merge gap, minimum visit, bins, window, still, bout.
            std::sort(edits.begin(), edits.end(),
                      [](const QLineEdit* a, const QLineEdit* b) { return a->y() < b->y(); });
            EXPECT_TRUE(dialog->grab().save(QStringLiteral(TRACKPLAY_GRAB_DIR "/analysis_settings.png")));
            edits[2]->setText(QStringLiteral("4000"));
            QTest::keyClick(edits[2], Qt::Key_Return);
            focusAfterRefusal =
                dialog->focusWidget() == edits[2] ? QStringLiteral("minimum visit") : QStringLiteral("other");
            edits[2]->setText(QStringLiteral("0.25"));
            edits[3]->setText(QStringLiteral("60"));
            QTest::keyClick(edits[3], Qt::Key_Return);
        });
    QAction* settings = nullptr;
    for (QAction* action : top->findChildren<QAction*>())
        if (action->text() == QStringLiteral("&Analysis Settings..."))
            settings = action;
    ASSERT_NE(settings, nullptr);
    settings->trigger();
    EXPECT_EQ(editCount, 7);
    EXPECT_EQ(calibrationShown, QStringLiteral("0.1 cm per pixel"));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0],
              "Minimum visit (s): rules.min_visit_s is not a number of seconds from 0 to 3600.");
    EXPECT_EQ(focusAfterRefusal, QStringLiteral("minimum visit"));
    EXPECT_EQ(app.m_dlg.m_analysisSettings.minVisitSeconds, 0.25);
    EXPECT_EQ(app.m_dlg.m_analysisSettings.binSeconds, std::optional<double>(60.0));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
