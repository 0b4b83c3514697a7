#include "framework/qt/QtWindow.h"

#include "framework/Dialog.h"
#include "framework/WinApp.h"
#include "framework/qt/QtConvert.h"
#include "framework/qt/QtScrollBar.h"
#include "framework/qt/QtWindowRegistry.h"
#include "resources/Resources.h"

#include <QAction>
#include <QCheckBox>
#include <QEventLoop>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <cassert>

namespace
{
// A box at least this many quarters of a line high has room for a second line: its text wraps.
constexpr int kWrappingQuarterLines = 7;
// The font's pixel size: an 8-point font at 96 dots per inch, the size the template's dialog units
// assume, unless the template's texts need a smaller one, down to kSmallestFontPixels.
constexpr int kTemplateFontPixels = 11;
constexpr int kSmallestFontPixels = 8;
// A click in the scroll bar's page area moves a fiftieth of its range.
constexpr int kPagesPerScrollRange = 50;
constexpr int kIconBytesPerPixel = 4; // RGBA

// Whether every text of the template that has room for one line only fits its width in font.
bool TextsFit(const QFont& font, const DialogTemplate& dialog, const QWidget& sample)
{
    const QFontMetrics metrics(font);
    const int indicator = sample.style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                          sample.style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    for (const ControlTemplate& control : dialog.controls)
    {
        const PixelRect r = DluToPixels(control.rect);
        if (control.text.empty() || r.height * 4 >= metrics.lineSpacing() * kWrappingQuarterLines)
            continue; // empty, or room for two lines: the text wraps
        int room = r.width;
        if (control.kind == ControlKind::CheckBox)
            room -= indicator;
        else if (control.kind == ControlKind::PushButton || control.kind == ControlKind::GroupBox)
            room -= 8;
        else if (control.kind != ControlKind::Label && control.kind != ControlKind::Readout)
            continue;
        if (metrics.horizontalAdvance(ToQString(control.text)) > room)
            return false;
    }
    return true;
}
} // namespace

// --- CQtWindow --------------------------------------------------------------------------------

CQtWindow::CQtWindow(CQtWindowRegistry& windows, CDialog& owner, const DialogTemplate& dialog,
                     QWidget* parentWidget, WindowMode mode)
    : m_windows(windows), m_owner(owner), m_template(dialog)
{
    m_pTop = std::make_unique<CTopWindow>(*this, parentWidget);
    m_windows.Add(m_pTop.get(), *this);
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
    if ((dialog.style & kDialogSystemMenu) != 0)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if ((dialog.style & kDialogMinimizeBox) != 0)
        flags |= Qt::WindowMinimizeButtonHint;
    // The maximise box of the template has no effect on a fixed-size frame, so it is not shown.
    const bool modal = mode == WindowMode::Modal;
    if (modal)
        flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    m_pTop->setWindowFlags(flags);
    if (modal)
        m_pTop->setWindowModality(Qt::ApplicationModal);
    m_pTop->setAcceptDrops((dialog.style & kDialogAcceptFiles) != 0);

    m_pClient = NewChild<CClientWidget>(*this, m_pTop.get());
    // The platform's default font family, at the largest pixel size up to 11 (an 8-point font at
    // 96 dots per inch, the size the template's dialog units assume) at which every one-line text
    // of the template fits its box; platform fonts are wider than the template's.
    QFont font = m_pClient->font();
    for (int pixels = kTemplateFontPixels; pixels >= kSmallestFontPixels; --pixels)
    {
        font.setPixelSize(pixels);
        if (TextsFit(font, dialog, *m_pClient))
            break;
    }
    m_pClient->setFont(font);
    const int clientWidth = DluToPixelsX(dialog.rect.width);
    const int clientHeight = DluToPixelsY(dialog.rect.height);
    m_pClient->setFixedSize(clientWidth, clientHeight);
    m_pTop->setCentralWidget(m_pClient);
    if (dialog.menuId != 0)
        BuildMenuBar(dialog.menuId);
    BuildControls(dialog);

    m_pSystemMenu = NewChild<QMenu>(m_pClient);
    m_pClient->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(m_pClient, &QWidget::customContextMenuRequested, m_pClient,
                     [this](const QPoint& pos)
                     {
                         if (!m_pSystemMenu->isEmpty())
                             m_pSystemMenu->exec(m_pClient->mapToGlobal(pos));
                     });

    const int menuHeight = dialog.menuId != 0 ? m_pTop->menuBar()->sizeHint().height() : 0;
    m_pTop->setFixedSize(clientWidth, clientHeight + menuHeight);
}

CQtWindow::~CQtWindow()
{
    if (m_pModalLoop != nullptr)
        m_pModalLoop->exit(kIdCancel);
    m_windows.Remove(m_pTop.get());
}

QWidget* CQtWindow::TopLevel() const
{
    return m_pTop.get();
}

QWidget* CQtWindow::Control(int id) const
{
    const auto it = m_controls.find(id);
    return it != m_controls.end() ? it->second : nullptr;
}

bool CQtWindow::Deliver(Message msg)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return false;
    // Only paint gets through while a progress display is open.
    if (m_windows.IsInputBlocked() && msg.kind != MessageKind::Paint)
        return false;
    return app->ProcessMessage(m_owner, msg);
}

void CQtWindow::PostPaint()
{
    QTimer::singleShot(0, m_pTop.get(), [this] { Deliver(MakeMessage(MessageKind::Paint)); });
}

int CQtWindow::RunModalLoop()
{
    assert(m_pModalLoop == nullptr && "CQtWindow::RunModalLoop: a window runs one modal loop at a time");
    QEventLoop loop;
    m_pModalLoop = &loop;
    const int result = loop.exec();
    m_pModalLoop = nullptr;
    return result;
}

void CQtWindow::ExitModalLoop(int result)
{
    if (m_pModalLoop != nullptr)
        m_pModalLoop->exit(result);
}

void CQtWindow::BuildMenuBar(int menuId)
{
    const MenuResource* menu = FindMenuResource(menuId);
    if (menu == nullptr)
        return;
    QMenuBar* bar = m_pTop->menuBar();
    for (const MenuPopup& popup : menu->popups)
    {
        QMenu* qmenu = bar->addMenu(ToQString(popup.text));
        for (const MenuItem& item : popup.items)
        {
            if (item.IsSeparator())
            {
                qmenu->addSeparator();
                continue;
            }
            // The text after the tab is drawn as the shortcut column; no QShortcut is registered,
            // so only the accelerator table gives keys a meaning.
            QAction* action = qmenu->addAction(ToQString(item.text));
            const int command = item.command;
            QObject::connect(action, &QAction::triggered, m_pTop.get(),
                             [this, command] { Deliver(MakeIdMessage(MessageKind::Command, command)); });
        }
    }
}

void CQtWindow::BuildControls(const DialogTemplate& dialog)
{
    for (const ControlTemplate& control : dialog.controls)
    {
        const PixelRect r = ControlPixelRect(control);
        QWidget* widget = nullptr;
        const QString text = ToQString(control.text);
        const int id = control.id;
        switch (control.kind)
        {
        case ControlKind::PlotArea:
        {
            auto* plot = NewChild<CPlotWidget>(m_pClient, control.pixelClient.edge);
            m_plots[id] = plot;
            widget = plot;
            break;
        }
        case ControlKind::Label:
        case ControlKind::Readout:
        {
            auto* label = NewChild<QLabel>(text, m_pClient);
            label->setWordWrap(control.kind == ControlKind::Label);
            label->setAlignment(((control.style & kStyleCentered) != 0 ? Qt::AlignHCenter : Qt::AlignLeft) |
                                Qt::AlignTop);
            if ((control.style & kStyleSunken) != 0)
            {
                label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                label->setAlignment(Qt::AlignCenter);
            }
            label->setTextFormat(Qt::PlainText);
            widget = label;
            break;
        }
        case ControlKind::GroupBox:
        {
            auto* group = NewChild<QGroupBox>(text, m_pClient);
            group->setAttribute(Qt::WA_TransparentForMouseEvents);
            widget = group;
            break;
        }
        case ControlKind::PushButton:
        {
            auto* button = NewChild<QPushButton>(text, m_pClient);
            QObject::connect(button, &QPushButton::clicked, m_pClient,
                             [this, id] { Deliver(MakeIdMessage(MessageKind::ButtonClicked, id)); });
            widget = button;
            break;
        }
        case ControlKind::CheckBox:
        {
            auto* check = NewChild<QCheckBox>(text, m_pClient);
            QObject::connect(check, &QCheckBox::clicked, m_pClient,
                             [this, id] { Deliver(MakeIdMessage(MessageKind::ButtonClicked, id)); });
            widget = check;
            break;
        }
        case ControlKind::Edit:
        {
            auto* edit = NewChild<QLineEdit>(text, m_pClient);
            if ((control.style & kStyleDigitsOnly) != 0)
                edit->setValidator(NewChild<QRegularExpressionValidator>(
                    QRegularExpression(QStringLiteral("[0-9]*")), edit));
            widget = edit;
            break;
        }
        case ControlKind::TextBox:
        {
            // Fixed pitch, so that the columns of a report line up.
            auto* box = NewChild<QPlainTextEdit>(text, m_pClient);
            box->setReadOnly(true);
            box->setLineWrapMode(QPlainTextEdit::NoWrap);
            box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
            widget = box;
            break;
        }
        case ControlKind::HScrollBar:
        {
            auto* bar = NewChild<CNotifyingScrollBar>(m_pClient, [this, id](int code, int pos)
                                                      { Deliver(MakeScrollMessage(id, code, pos)); });
            bar->setRange(0, 0);
            bar->setFocusPolicy(Qt::NoFocus);
            widget = bar;
            break;
        }
        }
        if (widget == nullptr)
            continue;
        widget->setGeometry(r.x, r.y, r.width, r.height);
        if ((control.style & kStyleDisabled) != 0)
            widget->setEnabled(false);
        if ((control.style & kStyleTabStop) == 0 && control.kind != ControlKind::Edit)
            widget->setFocusPolicy(Qt::NoFocus);
        if (id != kIdcStatic)
            m_controls[id] = widget;
    }
}

void CQtWindow::SetTitle(std::string_view title)
{
    m_pTop->setWindowTitle(ToQString(title));
}

std::string CQtWindow::GetTitle() const
{
    return FromQString(m_pTop->windowTitle());
}

void CQtWindow::SetControlText(int id, std::string_view text)
{
    QWidget* widget = Control(id);
    const QString qtext = ToQString(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(qtext);
    else if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
        box->setPlainText(qtext);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(qtext);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(qtext);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(qtext);
}

std::string CQtWindow::GetControlText(int id) const
{
    QWidget* widget = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return FromQString(edit->text());
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
        return FromQString(box->toPlainText());
    if (auto* label = qobject_cast<QLabel*>(widget))
        return FromQString(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return FromQString(button->text());
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return FromQString(group->title());
    return {};
}

void CQtWindow::SetCheck(int id, CheckState state)
{
    if (auto* check = qobject_cast<QCheckBox*>(Control(id)))
        check->setChecked(state == CheckState::Checked);
}

bool CQtWindow::GetCheck(int id) const
{
    auto* check = qobject_cast<QCheckBox*>(Control(id));
    return check != nullptr && check->isChecked();
}

bool CQtWindow::IsControlEnabled(int id) const
{
    QWidget* widget = Control(id);
    return widget != nullptr && widget->isEnabled();
}

void CQtWindow::SetFocusTo(int id)
{
    QWidget* widget = Control(id);
    if (widget == nullptr)
        return;
    widget->setFocus(Qt::OtherFocusReason);
    // In a modal box an edit given the focus (when the box opens, or back to a refused value) has
    // its text selected, so what the user types replaces it; the main window's edits keep the caret.
    if (auto* edit = qobject_cast<QLineEdit*>(widget); edit != nullptr && m_pTop->isModal())
        edit->selectAll();
}

int CQtWindow::GetFocusId() const
{
    const QWidget* focus = m_pTop->focusWidget();
    for (const auto& [id, widget] : m_controls)
        if (widget == focus)
            return id;
    return 0;
}

void CQtWindow::Show(ShowCommand command)
{
    switch (command)
    {
    case ShowCommand::Hide:
        m_pTop->hide();
        return;
    case ShowCommand::Show:
        if (!m_bEverShown)
        {
            m_bEverShown = true;
            if (m_pTop->parentWidget() != nullptr && m_pTop->isModal())
            {
                // A modal box opens centred over its owner.
                const QRect owner = m_pTop->parentWidget()->window()->frameGeometry();
                m_pTop->move(owner.center() - QPoint(m_pTop->width() / 2, m_pTop->height() / 2));
            }
            else
            {
                m_pTop->move(0, 0); // the template position: the top-left corner of the screen
            }
            PostPaint();
        }
        m_pTop->show();
        return;
    case ShowCommand::Minimize:
        m_pTop->showMinimized();
        return;
    case ShowCommand::Restore:
        m_pTop->showNormal();
        return;
    }
}

bool CQtWindow::IsVisible() const
{
    return m_pTop->isVisible();
}

bool CQtWindow::IsIconic() const
{
    return m_pTop->isMinimized();
}

Rect CQtWindow::GetControlClientRect(int id) const
{
    QWidget* widget = Control(id);
    if (widget == nullptr)
        return Rect{};
    QRect r = widget->rect();
    if (auto* frame = qobject_cast<QFrame*>(widget))
        r = frame->contentsRect();
    return Rect{0, 0, r.width(), r.height()};
}

Point CQtWindow::GetControlScreenOrigin(int id) const
{
    QWidget* widget = Control(id);
    if (widget == nullptr)
        return Point{};
    QPoint origin(0, 0);
    if (auto* frame = qobject_cast<QFrame*>(widget))
        origin = frame->contentsRect().topLeft();
    return ToPoint(widget->mapToGlobal(origin));
}

Point CQtWindow::GetClientScreenOrigin() const
{
    return ToPoint(m_pClient->mapToGlobal(QPoint(0, 0)));
}

void CQtWindow::SetScrollRange(int id, int minPos, int maxPos, Redraw)
{
    if (auto* bar = dynamic_cast<CNotifyingScrollBar*>(Control(id)))
    {
        bar->SetRangeFromWindow(minPos, maxPos);
        bar->setPageStep(std::max(1, (maxPos - minPos) / kPagesPerScrollRange));
    }
}

void CQtWindow::SetScrollPos(int id, int pos, Redraw)
{
    if (auto* bar = dynamic_cast<CNotifyingScrollBar*>(Control(id)))
        bar->SetPositionFromWindow(pos);
}

int CQtWindow::GetScrollPos(int id) const
{
    auto* bar = qobject_cast<QScrollBar*>(Control(id));
    return bar != nullptr ? bar->value() : 0;
}

void CQtWindow::AppendSystemMenuItem(unsigned id, std::string_view text)
{
    QAction* action = m_pSystemMenu->addAction(ToQString(text));
    QObject::connect(action, &QAction::triggered, m_pTop.get(),
                     [this, id] { Deliver(MakeIdMessage(MessageKind::SysCommand, static_cast<int>(id))); });
}

void CQtWindow::AppendSystemMenuSeparator()
{
    m_pSystemMenu->addSeparator();
}

void CQtWindow::SetIcon(const IconImage* icon, IconSize)
{
    if (icon == nullptr)
        return;
    const QImage image(icon->rgba.data(), icon->width, icon->height,
                       static_cast<qsizetype>(icon->width) * kIconBytesPerPixel, QImage::Format_RGBA8888);
    m_pTop->setWindowIcon(QIcon(QPixmap::fromImage(image.copy())));
}

void CQtWindow::SetPixelSource(int id, const IPixelSource* source)
{
    const auto it = m_plots.find(id);
    if (it != m_plots.end())
        it->second->SetSource(source);
}

void CQtWindow::PresentPixels()
{
    for (auto& [id, plot] : m_plots)
        plot->Present();
}
