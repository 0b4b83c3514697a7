// The Qt host on the offscreen platform, driven with QTest.
#include "framework/qt/QtHost.h"

#include "TestWindow.h"
#include "framework/FolderDialog.h"
#include "framework/HostMessageSink.h"
#include "framework/PixelSourceAdapter.h"
#include "framework/ProgressDialog.h"
#include "framework/qt/QtProgress.h"
#include "resources/ResourceIds.h"
#include "support/QtScrollBarActions.h"
#include "support/QtTestApplication.h"
#include "support/RecordingMessageSink.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>

namespace
{
constexpr int kEdge = kTestPlotClient.edge;

// A picture as large as the test window's plot area (160 x 120): a dark gradient with a bright
// diagonal, so a grab shows something real.
class CPatternSurface
{
public:
    CPatternSurface() : m_pixels(160u * 120u * 3u)
    {
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x)
            {
                std::uint8_t* p = &m_pixels[static_cast<std::size_t>((y * 160 + x) * 3)];
                const bool line = std::abs(x * 3 / 4 - y) < 2;
                p[0] = line ? 255 : 0;
                p[1] = line ? 220 : static_cast<std::uint8_t>(y / 8);
                p[2] = line ? 0 : static_cast<std::uint8_t>(x / 8);
            }
    }
    [[nodiscard]] int Width() const { return 160; }
    [[nodiscard]] int Height() const { return 120; }
    [[nodiscard]] const std::uint8_t* Data() const { return m_pixels.data(); }
    [[nodiscard]] int ChangeCount() const { return 1; }

private:
    std::vector<std::uint8_t> m_pixels;
};

class QtHostFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.InitInstance());
        top = CQtHost::WindowWidget(app.m_dlg);
        ASSERT_NE(top, nullptr);
        top->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(top));
        ASSERT_TRUE(QTest::qWaitForWindowActive(top));
        QCoreApplication::processEvents(); // the first paint
        Dlg().events.clear();
        Dlg().commands.clear();
    }

    CTestWindow& Dlg() { return app.m_dlg; }
    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(CQtHost::ControlWidget(Dlg(), id)); }
    QPushButton* Button()
    {
        return qobject_cast<QPushButton*>(CQtHost::ControlWidget(Dlg(), kIdcTestButton));
    }

    struct CApplicationFirst
    {
        CApplicationFirst() { QtTestApplication(); } // the QApplication exists before the host
    } applicationFirst;
    CQtHost host;
    CScopedHost scopedHost{host};
    CRecordingMessageSink sink; // no real box may block a test
    CScopedMessageSink scopedSink{sink};
    CTestApp app;
    QWidget* top = nullptr;
};
} // namespace

// Test that with an edit focused, the keys of the accelerator table act as commands and never
// reach the edit.
TEST_F(QtHostFixture, KeysGoThroughTheTableWithAnEditFocused)
{
    QLineEdit* edit = Edit(kIdcTestCount);
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    struct KeyCase
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int command;
    };
    const KeyCase cases[] = {
        {Qt::Key_3, Qt::NoModifier, 103},
        {Qt::Key_Right, Qt::NoModifier, 151},
        {Qt::Key_Left, Qt::NoModifier, 152},
        {Qt::Key_Up, Qt::NoModifier, 153},
        {Qt::Key_Down, Qt::NoModifier, 154},
        {Qt::Key_0, Qt::ShiftModifier, 110},
        {Qt::Key_5, Qt::ControlModifier, 125},
        {Qt::Key_7, Qt::AltModifier, 137},
        {Qt::Key_9, Qt::ControlModifier | Qt::AltModifier, 149},
        {Qt::Key_A, Qt::ControlModifier, 161},
        {Qt::Key_S, Qt::ControlModifier, 162},
        {Qt::Key_Insert, Qt::NoModifier, 171},
        {Qt::Key_Delete, Qt::NoModifier, 172},
    };
    for (const KeyCase& c : cases)
    {
        Dlg().commands.clear();
        QTest::keyClick(edit, c.key, c.modifiers);
        EXPECT_EQ(Dlg().commands, (std::vector<int>{c.command})) << "key " << c.key;
        EXPECT_EQ(edit->text(), QStringLiteral("60")) << "key " << c.key;
        EXPECT_TRUE(edit->selectedText().isEmpty()) << "key " << c.key; // Ctrl+A did not select all
    }
}

// Test that the host asks the window before Qt's shortcuts: a key of the window's table goes to the
// window even when a Qt shortcut names it, while a shortcut on a key the window does not take
// still works.
TEST_F(QtHostFixture, WindowKeysComeBeforeQtShortcuts)
{
    QLineEdit* edit = Edit(kIdcTestCount);
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    struct ShortcutCase
    {
        QKeySequence keys;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::vector<int> commands; // what reaches the window
        int fired;                 // activations of the Qt shortcut
    };
    const ShortcutCase cases[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_S), Qt::Key_S, Qt::ControlModifier, {162}, 0},
        {QKeySequence(Qt::Key_Right), Qt::Key_Right, Qt::NoModifier, {151}, 0},
        {QKeySequence(Qt::Key_Return), Qt::Key_Return, Qt::NoModifier, {}, 0},
        {QKeySequence(Qt::CTRL | Qt::Key_G), Qt::Key_G, Qt::ControlModifier, {}, 1},
    };
    for (const ShortcutCase& c : cases)
    {
        Dlg().commands.clear();
        int fired = 0;
        auto* shortcut = new QShortcut(c.keys, top);
        QObject::connect(shortcut, &QShortcut::activated, [&fired] { ++fired; });
        QTest::keyClick(edit, c.key, c.modifiers);
        EXPECT_EQ(Dlg().commands, c.commands) << c.keys.toString().toStdString();
        EXPECT_EQ(fired, c.fired) << c.keys.toString().toStdString();
        delete shortcut;
    }
    EXPECT_EQ(std::count(Dlg().events.begin(), Dlg().events.end(), "ok"), 1); // the Return
}

// Test that keypad digits are typed into the focused edit and are no commands.
TEST_F(QtHostFixture, KeypadDigitsAreTyped)
{
    QLineEdit* edit = Edit(kIdcTestHigh);
    edit->setFocus();
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_3, Qt::KeypadModifier);
    QTest::keyClick(edit, Qt::Key_0, Qt::KeypadModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("10030"));
    EXPECT_TRUE(Dlg().commands.empty());
}

// Test that Enter (both keys) and Escape reach only the window's OnOK and OnCancel, and a key
// outside the table (Ctrl+G) does nothing.
TEST_F(QtHostFixture, EnterEscapeAndCtrlGAreInert)
{
    QLineEdit* edit = Edit(kIdcTestLow);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(edit, Qt::Key_Escape);
    QTest::keyClick(edit, Qt::Key_G, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(std::count(Dlg().events.begin(), Dlg().events.end(), "ok"), 2);
    EXPECT_EQ(std::count(Dlg().events.begin(), Dlg().events.end(), "cancel"), 1);
    EXPECT_TRUE(Dlg().commands.empty());
    EXPECT_TRUE(top->isVisible());
    EXPECT_FALSE(host.QuitPosted());
    EXPECT_EQ(edit->text(), QStringLiteral("10"));
}

// Test that a drop of three files delivers the three local paths, the first one first.
TEST_F(QtHostFixture, DropOfThreeFiles)
{
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/tmp/first.qtf"), QUrl::fromLocalFile("/tmp/second.qtf"),
                  QUrl::fromLocalFile("/tmp/third.dat")});
    ASSERT_TRUE(top->acceptDrops());
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(top, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(top, &drop);
    EXPECT_EQ(Dlg().events, (std::vector<std::string>{"drop /tmp/first.qtf|/tmp/second.qtf|/tmp/third.dat"}));
}

// Test the plot area: the client size of its template, mouse input passing through it to the
// window, the cursor converted into plot coordinates, and the pixels of the source on screen.
TEST_F(QtHostFixture, PlotAreaSizeMouseAndPixels)
{
    EXPECT_EQ(Dlg().m_plotArea.GetClientRect(), (Rect{0, 0, 160, 120}));
    QWidget* plot = CQtHost::ControlWidget(Dlg(), kIdcTestPlot);
    ASSERT_NE(plot, nullptr);

    QWindow* window = top->windowHandle();
    const QPoint origin = plot->mapTo(top, QPoint(kEdge, kEdge));
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, origin + QPoint(50, 60));
    QTest::mouseMove(window, origin + QPoint(70, 90));
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, origin + QPoint(70, 90));
    // Every mouse message recorded where the cursor was, in plot coordinates.
    std::vector<std::string> kinds;
    for (const std::string& e : Dlg().events)
        kinds.push_back(e.substr(0, e.find(' ')));
    ASSERT_EQ(kinds.size(), Dlg().cursorInPlot.size());
    const auto down = std::find(kinds.begin(), kinds.end(), "down");
    const auto up = std::find(kinds.begin(), kinds.end(), "up");
    ASSERT_NE(down, kinds.end());
    ASSERT_NE(up, kinds.end());
    EXPECT_EQ(Dlg().cursorInPlot[static_cast<std::size_t>(down - kinds.begin())], (Point{50, 60}));
    EXPECT_EQ(Dlg().cursorInPlot[static_cast<std::size_t>(up - kinds.begin())], (Point{70, 90}));
    const auto heldMove =
        std::find_if(Dlg().events.begin(), Dlg().events.end(),
                     [](const std::string& e) { return e.rfind("move", 0) == 0 && e.back() == '1'; });
    EXPECT_NE(heldMove, Dlg().events.end()); // the move while pressed carries the left button

    CPatternSurface surface;
    CPixelSourceAdapter<CPatternSurface> adapter(surface);
    Dlg().m_plotArea.SetPixelSource(&adapter);
    const QImage shown = plot->grab().toImage();
    EXPECT_EQ(shown.size(), QSize(160 + 2 * kEdge, 120 + 2 * kEdge));
    EXPECT_EQ(shown.pixelColor(kEdge + 100, kEdge + 75), QColor(255, 220, 0));
    EXPECT_EQ(shown.pixelColor(kEdge + 8 * 10, kEdge + 8 * 2), QColor(0, 2, 10));
    Dlg().m_plotArea.SetPixelSource(nullptr);
}

// Test that the window built from its template has its fixed size and place, no menu bar and its
// icon, and save a grab of it under the build folder for people to look at.
TEST_F(QtHostFixture, GrabOfTheTestWindow)
{
    CPatternSurface surface;
    CPixelSourceAdapter<CPatternSurface> adapter(surface);
    Dlg().m_plotArea.SetPixelSource(&adapter);
    Dlg().m_strReadout = "899";
    Dlg().UpdateData(ExchangeDirection::ToControls);
    QCoreApplication::processEvents();

    EXPECT_EQ(top->minimumSize(), top->maximumSize()); // no sizing
    EXPECT_EQ(top->pos(), QPoint(0, 0));
    EXPECT_EQ(static_cast<QMainWindow*>(top)->centralWidget()->size(),
              QSize(300, 169)); // 200 x 104 dialog units
    EXPECT_EQ(top->size(), QSize(300, 169)) << "a template without a menu gets no menu bar";
    EXPECT_FALSE(top->windowIcon().isNull());
    const QString path = QStringLiteral(TRACKPLAY_GRAB_DIR "/test_window.png");
    ASSERT_TRUE(top->grab().save(path));
    const QImage saved(path);
    EXPECT_EQ(saved.size(), top->size());
    Dlg().m_plotArea.SetPixelSource(nullptr);
}

// Test the Qt message loop: a command is activity, the idle call follows once the queue is empty,
// and the quit message ends the loop with its code.
TEST_F(QtHostFixture, MessageLoopIdleAndQuit)
{
    int idleCalls = 0;
    app.onIdle = [&idleCalls]
    {
        ++idleCalls;
        PostQuitMessage(7);
    };
    QPushButton* button = Button();
    ASSERT_NE(button, nullptr);
    QTimer::singleShot(0, button, [button] { button->click(); });
    QTimer::singleShot(5000, [] { PostQuitMessage(99); }); // a safety net: the loop must not hang
    EXPECT_EQ(app.Run(), 7);
    EXPECT_EQ(idleCalls, 1);
    EXPECT_EQ(Dlg().events, (std::vector<std::string>{"click 17"}));
}

// Test a real message box opened from the idle call, closed by a click on its OK button: closing
// it, and whatever the window gets when it is active again, start no new idle call, so the box
// does not re-open itself; the next command is a new burst with one box of its own.
TEST_F(QtHostFixture, BoxFromIdleOpensOncePerBurst)
{
    CHostMessageSink boxes{kTestAppName}; // real modal boxes, for this test only
    CScopedMessageSink scopedBoxes{boxes};
    int shown = 0;
    const auto clickOkSoon = [&shown]
    {
        QTimer::singleShot(50,
                           [&shown]
                           {
                               auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                               ASSERT_NE(box, nullptr);
                               ++shown;
                               QAbstractButton* ok = box->button(QMessageBox::Ok);
                               ASSERT_NE(ok, nullptr);
                               QTest::mouseClick(ok, Qt::LeftButton);
                           });
    };
    app.onIdle = [&]
    {
        clickOkSoon();
        MessageBoxWithNumber("Timestamp=", 1234);
    };
    QPushButton* button = Button();
    ASSERT_NE(button, nullptr);
    QTimer::singleShot(0, button, [button] { button->click(); });
    QTimer::singleShot(600, button, [button] { button->click(); });
    QTimer::singleShot(1200, [] { PostQuitMessage(0); });
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(app.idleCalls, 2);
    EXPECT_EQ(Dlg().events, (std::vector<std::string>{"click 17", "click 17"}));
}

// Test the icons of the real boxes: a problem warns, a summary of work done informs, the question
// asks; each box carries the application's caption and the text.
TEST_F(QtHostFixture, BoxIconsSayWhatKindOfMessage)
{
    CHostMessageSink boxes{kTestAppName};
    CScopedMessageSink scopedBoxes{boxes};
    struct Case
    {
        std::function<void()> show;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton close;
    };
    const Case cases[] = {
        {[] { ShowMessage("Error writing file"); }, QMessageBox::Warning, QMessageBox::Ok},
        {[] { ShowInformation("3 files written"); }, QMessageBox::Information, QMessageBox::Ok},
        {[] { static_cast<void>(GetMessageSink().AskYesNo("Continue?")); }, QMessageBox::Question,
         QMessageBox::Yes},
    };
    for (const Case& c : cases)
    {
        QMessageBox::Icon seen = QMessageBox::NoIcon;
        QString caption;
        QTimer::singleShot(0,
                           [&seen, &caption, close = c.close]
                           {
                               auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                               ASSERT_NE(box, nullptr);
                               seen = box->icon();
                               caption = box->windowTitle();
                               QAbstractButton* button = box->button(close);
                               ASSERT_NE(button, nullptr);
                               QTest::mouseClick(button, Qt::LeftButton);
                           });
        c.show();
        EXPECT_EQ(seen, c.icon);
        EXPECT_EQ(caption.toStdString(), kTestAppName);
    }
}

// Test a modal box on Qt: it opens over the main window, Enter ends it with OK, and keys inside it
// are not the main window's accelerators.
TEST_F(QtHostFixture, ModalBox)
{
    QTimer::singleShot(0,
                       []
                       {
                           QWidget* box = QApplication::activeModalWidget();
                           ASSERT_NE(box, nullptr);
                           QTest::keyClick(box, Qt::Key_3);
                           QTest::keyClick(box, Qt::Key_Return);
                       });
    CTestBox box(&Dlg());
    EXPECT_EQ(box.DoModal(), kIdOk);
    EXPECT_FALSE(box.HasWindow());
    EXPECT_TRUE(Dlg().commands.empty());
}

// Test Enter in a dialog of the resources with OK and Cancel, on Qt: Tab to Cancel and Enter ends it
// with Cancel, Enter with the focus in an edit ends it with OK (the default button). Nothing reaches
// the main window meanwhile.
TEST_F(QtHostFixture, EnterPressesTheFocusedButtonOfABox)
{
    struct Case
    {
        const char* name;
        const char* tabTo; // the button Tab is pressed until, or nullptr to stay in the first edit
        int result;
    };
    const Case cases[] = {
        {"Tab to Cancel", "Cancel", kIdCancel},
        {"focus in the name edit", nullptr, kIdOk},
    };
    for (const Case& c : cases)
    {
        QString focusedWhenEntered;
        QTimer::singleShot(0,
                           [&focusedWhenEntered, tabTo = c.tabTo]
                           {
                               QWidget* box = QApplication::activeModalWidget();
                               ASSERT_NE(box, nullptr);
                               ASSERT_TRUE(QTest::qWaitForWindowActive(box));
                               const auto buttonText = [box]
                               {
                                   const auto* button = qobject_cast<QPushButton*>(box->focusWidget());
                                   return button != nullptr ? button->text() : QString();
                               };
                               constexpr int kMostTabs = 12; // the box has seven controls that take it
                               for (int tabs = 0; tabs < kMostTabs && tabTo != nullptr; ++tabs)
                               {
                                   if (buttonText() == QLatin1String(tabTo))
                                       break;
                                   QTest::keyClick(box->focusWidget(), Qt::Key_Tab);
                               }
                               QWidget* focus = box->focusWidget();
                               ASSERT_NE(focus, nullptr);
                               focusedWhenEntered = qobject_cast<QLineEdit*>(focus) != nullptr
                                                        ? QStringLiteral("edit")
                                                        : buttonText();
                               QTest::keyClick(focus, Qt::Key_Return);
                           });
        CDialog box(kIddRegionProperties, &Dlg());
        EXPECT_EQ(box.DoModal(), c.result) << c.name;
        EXPECT_EQ(focusedWhenEntered.toStdString(), c.tabTo != nullptr ? c.tabTo : "edit") << c.name;
    }
    EXPECT_TRUE(Dlg().events.empty());
    EXPECT_TRUE(Dlg().commands.empty());
}

// Test what the scroll bar reports: "Scroll here" of its own context menu is a thumb released at
// that position followed by the end of scrolling, like a release after a drag; a window that sets
// no position gets its thumb back where it put it, and a position the window sets stays.
TEST_F(QtHostFixture, ScrollHereIsAThumbReleasedThere)
{
    auto* bar = qobject_cast<QScrollBar*>(CQtHost::ControlWidget(Dlg(), kIdcTestBar));
    ASSERT_NE(bar, nullptr);
    Dlg().m_scrollBar.SetScrollRange(0, 32766);
    Dlg().m_scrollBar.SetScrollPos(1000);
    std::vector<int> chosen; // what Qt set, seen after the window's handler has run
    QObject::connect(bar, &QAbstractSlider::valueChanged, bar,
                     [&chosen](int value) { chosen.push_back(value); });
    ASSERT_EQ(ChooseFirstContextMenuItem(*bar, 0.8), QStringLiteral("Scroll here"));
    ASSERT_EQ(chosen.size(), 1u);
    const std::string pos = std::to_string(chosen.front());
    EXPECT_GT(chosen.front(), 16383);
    EXPECT_EQ(Dlg().events,
              (std::vector<std::string>{"scroll 4 " + pos + " bar", "scroll 8 " + pos + " bar"}));
    EXPECT_EQ(bar->value(), 1000) << "the window set no position";
    EXPECT_EQ(bar->sliderPosition(), 1000);

    // A window that answers with a position keeps it; dragging and releasing is reported as before.
    Dlg().events.clear();
    bar->setSliderDown(true);
    bar->setSliderPosition(20000);
    Dlg().m_scrollBar.SetScrollPos(7);
    bar->setSliderDown(false);
    EXPECT_EQ(Dlg().events,
              (std::vector<std::string>{"scroll 5 20000 bar", "scroll 4 20000 bar", "scroll 8 20000 bar"}));
    EXPECT_EQ(bar->value(), 7);
}

// Test that closing the window is the close message and does not destroy the window.
TEST_F(QtHostFixture, CloseBoxPostsQuit)
{
    top->close();
    EXPECT_TRUE(host.QuitPosted());
    EXPECT_EQ(std::count(Dlg().events.begin(), Dlg().events.end(), "close"), 1);
    EXPECT_TRUE(Dlg().HasWindow());
}

namespace
{
// Runs a command behind a progress display until it is cancelled or timeLimitMs has passed, one
// update per millisecond; returns the updates made, the last of them the one that was refused.
int RunUntilCancelled(int timeLimitMs)
{
    CProgressDialog progress("Export Visits", "Writing the visit tables...");
    QElapsedTimer clock;
    clock.start();
    int updates = 0;
    while (clock.elapsed() < timeLimitMs)
    {
        ++updates;
        if (!progress.Update(static_cast<std::uint64_t>(clock.elapsed()), 100000))
            break;
        QThread::msleep(1);
    }
    return updates;
}
} // namespace

// Test the progress display of a long command: nothing shows during a short run; a long run shows
// it over the window once Qt foresees it lasting kProgressShowAfterMs, the window takes no key or click
// meanwhile, and a click on Cancel makes the next update refuse and closes the display.
TEST_F(QtHostFixture, ProgressDisplayCancelAndBlockedInput)
{
    bool shownInShortRun = false;
    {
        CProgressDialog quick("Quick", "Nothing to see");
        for (std::uint64_t done = 0; done <= 20; ++done)
        {
            EXPECT_TRUE(quick.Update(done, 20));
            const auto* display = top->findChild<QProgressDialog*>();
            shownInShortRun = shownInShortRun || (display != nullptr && display->isVisible());
        }
    }
    EXPECT_FALSE(shownInShortRun);
    EXPECT_EQ(top->findChild<QProgressDialog*>(), nullptr) << "closed with its object";

    QElapsedTimer clock;
    qint64 shownAfterMs = -1;
    QString title;
    QString label;
    std::vector<int> commandsWhileShown{-1};
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout,
                     [&]
                     {
                         auto* display = top->findChild<QProgressDialog*>();
                         if (display == nullptr || !display->isVisible() || shownAfterMs >= 0)
                             return;
                         shownAfterMs = clock.elapsed();
                         title = display->windowTitle();
                         label = display->labelText();
                         EXPECT_EQ(display->windowModality(), Qt::WindowModal);
                         // What the user does in the main window meanwhile reaches nothing.
                         QTest::keyClick(Edit(kIdcTestCount), Qt::Key_3);
                         QTest::keyClick(Edit(kIdcTestCount), Qt::Key_1, Qt::KeypadModifier);
                         Button()->click();
                         commandsWhileShown = Dlg().commands;
                         auto* cancel = display->findChild<QPushButton*>();
                         ASSERT_NE(cancel, nullptr);
                         EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
                         QTest::mouseClick(cancel, Qt::LeftButton);
                     });
    poll.start();
    clock.start();
    const int updates = RunUntilCancelled(5000);
    poll.stop();
    EXPECT_GE(shownAfterMs, 0) << "a long run shows the display";
    EXPECT_LT(clock.elapsed(), 4000) << "cancelled, not run out";
    EXPECT_GT(updates, 1);
    EXPECT_EQ(title, QStringLiteral("Export Visits"));
    EXPECT_EQ(label, QStringLiteral("Writing the visit tables..."));
    EXPECT_TRUE(commandsWhileShown.empty());
    EXPECT_EQ(Edit(kIdcTestCount)->text(), QStringLiteral("60")) << "nothing typed into the window";
    EXPECT_TRUE(Dlg().events.empty()) << "no click reached the window";
    EXPECT_EQ(top->findChild<QProgressDialog*>(), nullptr);
    EXPECT_FALSE(IsModalOpen());

    // Input reaches the window again.
    QTest::keyClick(Edit(kIdcTestCount), Qt::Key_3);
    EXPECT_EQ(Dlg().commands, (std::vector<int>{103}));
}

// Test the folder dialog on Qt: a directory-only dialog with the request's title opening in its
// folder; choosing a folder gives its path, cancelling gives nothing.
TEST_F(QtHostFixture, FolderDialogPicksAFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("out")));
    FolderDialogRequest request;
    request.title = "Export Visits to Folder";
    request.initialFolder = root.path().toStdString();
    for (const bool accept : {true, false})
    {
        QString title;
        QString shownFolder;
        bool directoriesOnly = false;
        QTimer::singleShot(0,
                           [&]
                           {
                               auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                               ASSERT_NE(dialog, nullptr);
                               title = dialog->windowTitle();
                               shownFolder = dialog->directory().absolutePath();
                               directoriesOnly = dialog->fileMode() == QFileDialog::Directory &&
                                                 dialog->testOption(QFileDialog::ShowDirsOnly);
                               if (!accept)
                               {
                                   dialog->reject();
                                   return;
                               }
                               dialog->selectFile(root.path() + QStringLiteral("/out"));
                               static_cast<QDialog*>(dialog)->accept(); // as the Choose button does
                           });
        const std::optional<std::string> chosen = AskFolder(request);
        EXPECT_EQ(title, QStringLiteral("Export Visits to Folder"));
        EXPECT_EQ(shownFolder, QDir(root.path()).absolutePath());
        EXPECT_TRUE(directoriesOnly);
        if (accept)
            EXPECT_EQ(chosen, std::optional<std::string>(root.path().toStdString() + "/out"));
        else
            EXPECT_EQ(chosen, std::nullopt);
    }
}
