#include "framework/qt/QtHost.h"

#include "framework/AfxWinMain.h"
#include "framework/Dialog.h"
#include "framework/FileDialogFilter.h"
#include "framework/WinApp.h"
#include "framework/qt/QtConvert.h"
#include "framework/qt/QtKeys.h"
#include "framework/qt/QtProgress.h"
#include "framework/qt/QtWindow.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <cassert>

// Sees every key event of the application before its receiver. Key presses and releases aimed at
// one of our windows (or any of its controls) go through CWinApp::ProcessMessage, i.e. the
// window's PreTranslateMessage; a consumed key never reaches the widget. A key the window says it
// would consume also claims its shortcut-override event, so no Qt shortcut (menu mnemonics, a line
// edit's own bindings) takes it first. It also keeps the pointer's last known screen position for
// GetCursorPos.
class CQtHost::CKeyFilter final : public QObject
{
public:
    explicit CKeyFilter(const CQtHost& host) : m_host(host) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type())
        {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
            m_ptCursor = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
            m_bHaveCursor = true;
            return false;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
            break;
        default:
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        CQtWindow* window = m_host.m_registry.Find(widget);
        CWinApp* app = AfxGetApp();
        if (window == nullptr || app == nullptr)
            return false;
        // A progress display is open: the program's windows wait for it.
        if (m_host.m_registry.IsInputBlocked())
        {
            event->accept();
            return true;
        }
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        // An ignored key event travels on to the parent widgets; it was pre-translated already.
        if (IsPropagation(*keyEvent, widget))
            return false;
        Remember(*keyEvent, widget);
        const std::uint16_t vk = VirtualKeyFromQt(*keyEvent);
        if (vk == 0)
            return false;
        const std::uint32_t modifiers = ModifiersFromQt(*keyEvent);
        if (event->type() == QEvent::ShortcutOverride)
        {
            // Only ask the window what the key would do; the key press that follows is
            // pre-translated.
            if (window->Owner().ConsumesKey(MakeKeyMessage(MessageKind::KeyDown, vk, modifiers)))
            {
                event->accept();
                return true;
            }
            return false;
        }
        Message msg = MakeKeyMessage(
            event->type() == QEvent::KeyPress ? MessageKind::KeyDown : MessageKind::KeyUp, vk, modifiers);
        return window->Deliver(msg);
    }

    [[nodiscard]] bool HaveCursor() const { return m_bHaveCursor; }
    [[nodiscard]] QPoint Cursor() const { return m_ptCursor; }

private:
    bool IsPropagation(const QKeyEvent& event, const QWidget* widget) const
    {
        if (&event != m_pLastEvent || event.type() != m_lastType || event.key() != m_nLastKey ||
            m_pLastReceiver.isNull())
            return false;
        return widget != m_pLastReceiver && widget->isAncestorOf(m_pLastReceiver);
    }

    void Remember(const QKeyEvent& event, QWidget* widget)
    {
        m_pLastEvent = &event;
        m_lastType = event.type();
        m_nLastKey = event.key();
        m_pLastReceiver = widget;
    }

    const CQtHost& m_host;
    const QEvent* m_pLastEvent = nullptr;
    QEvent::Type m_lastType = QEvent::None;
    int m_nLastKey = 0;
    QPointer<QWidget> m_pLastReceiver;
    QPoint m_ptCursor;
    bool m_bHaveCursor = false;
};

CQtHost::CQtHost() : m_pKeyFilter(std::make_unique<CKeyFilter>(*this))
{
    assert(qApp != nullptr && "CQtHost: the QApplication is made first");
    qApp->installEventFilter(m_pKeyFilter.get());
}

CQtHost::~CQtHost()
{
    if (m_bWaitCursor)
        QApplication::restoreOverrideCursor();
    if (qApp != nullptr)
        qApp->removeEventFilter(m_pKeyFilter.get());
}

std::unique_ptr<IHostWindow> CQtHost::CreateHostWindow(CDialog& owner, const DialogTemplate& dialog,
                                                       CDialog* parent)
{
    QWidget* parentWidget = nullptr;
    if (parent != nullptr)
        if (auto* parentWindow = dynamic_cast<CQtWindow*>(parent->GetHostWindow()))
            parentWidget = parentWindow->TopLevel();
    if (parentWidget == nullptr && owner.IsModal())
        if (CDialog* main = AfxGetMainWnd())
            if (auto* mainWindow = dynamic_cast<CQtWindow*>(main->GetHostWindow()))
                parentWidget = mainWindow->TopLevel();
    return std::make_unique<CQtWindow>(m_registry, owner, dialog, parentWidget,
                                       owner.IsModal() ? WindowMode::Modal : WindowMode::Modeless);
}

int CQtHost::RunModal(CDialog&, IHostWindow& window)
{
    assert(dynamic_cast<CQtWindow*>(&window) != nullptr && "CQtHost::RunModal: a window of this host");
    auto& qtWindow = static_cast<CQtWindow&>(window);
    if (m_bQuit)
        return kIdCancel;
    return qtWindow.RunModalLoop();
}

void CQtHost::EndModal(IHostWindow& window, int result)
{
    assert(dynamic_cast<CQtWindow*>(&window) != nullptr && "CQtHost::EndModal: a window of this host");
    static_cast<CQtWindow&>(window).ExitModalLoop(result);
}

int CQtHost::RunMessageLoop(IMessageLoopClient& client)
{
    QEventLoop loop;
    while (!m_bQuit)
    {
        // Handle everything that is queued, then apply the idle rule, then wait.
        while (!m_bQuit && loop.processEvents(QEventLoop::AllEvents))
        {
        }
        if (m_bQuit)
            break;
        if (client.IsIdlePending())
        {
            client.OnQueueEmpty();
            continue;
        }
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    return m_nExitCode;
}

void CQtHost::PostQuit(int exitCode)
{
    m_bQuit = true;
    m_nExitCode = exitCode;
    // Any modal run ends too, as the quit message ends every loop.
    for (const auto& [top, window] : m_registry.Windows())
        window->ExitModalLoop(kIdCancel);
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
}

namespace
{
QWidget* ActiveOwnerWidget()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    if (CDialog* main = AfxGetMainWnd())
        if (auto* window = dynamic_cast<CQtWindow*>(main->GetHostWindow()))
            return window->TopLevel();
    return nullptr;
}

// A switch without a default, so that a new kind of box cannot be forgotten here.
QMessageBox::Icon ToQtIcon(MessageBoxIcon icon)
{
    switch (icon)
    {
    case MessageBoxIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageBoxIcon::Question:
        return QMessageBox::Question;
    case MessageBoxIcon::Information:
        return QMessageBox::Information;
    case MessageBoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

int CQtHost::ShowMessageBox(const MessageBoxRequest& request)
{
    const QMessageBox::Icon icon = ToQtIcon(request.icon);
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if (request.buttons == MessageBoxButtons::YesNo)
        buttons = QMessageBox::Yes | QMessageBox::No;
    else if (request.buttons == MessageBoxButtons::YesNoCancel)
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(icon, ToQString(request.caption), ToQString(request.text), buttons, ActiveOwnerWidget());
    const int answer = box.exec();
    if (request.buttons == MessageBoxButtons::Ok)
        return kIdOk;
    if (answer == QMessageBox::Yes)
        return kIdYes;
    // Escape and the close box leave a Yes/No/Cancel question unanswered.
    if (request.buttons == MessageBoxButtons::YesNoCancel && answer != QMessageBox::No)
        return kIdCancel;
    return kIdNo;
}

std::optional<std::string> CQtHost::ShowFileDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(ActiveOwnerWidget(), ToQString(request.title));
    const bool save = request.kind == FileDialogRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Any typed name is taken, as the name it becomes with the default extension may exist where
    // the typed one does not ("VT1" for VT1.qtf); a name that opens nothing gets the reader's
    // message.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (save)
        dialog.setOption(QFileDialog::DontConfirmOverwrite); // saving never asks before replacing
    QStringList filters;
    for (const FileFilterEntry& entry : ParseFileFilter(request.filter))
    {
        // Qt reads the patterns from the parentheses at the end of a filter's name.
        const std::string tail = "(" + entry.pattern + ")";
        const bool named = entry.name.size() >= tail.size() &&
                           entry.name.compare(entry.name.size() - tail.size(), tail.size(), tail) == 0;
        QString pattern = ToQString(entry.pattern);
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << (named ? ToQString(entry.name)
                          : ToQString(entry.name) + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
    if (!filters.isEmpty())
    {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.front());
    }
    if (!request.initialName.empty())
        dialog.selectFile(ToQString(request.initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const std::string path = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
    return ResolveFileDialogName(path, request);
}

std::optional<std::string> CQtHost::ShowFolderDialog(const FolderDialogRequest& request)
{
    QFileDialog dialog(ActiveOwnerWidget(), ToQString(request.title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!request.initialFolder.empty())
        dialog.setDirectory(QFile::decodeName(QByteArray::fromStdString(request.initialFolder)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

std::unique_ptr<IHostProgress> CQtHost::ShowProgress(std::string_view title, std::string_view text)
{
    // Over the window the command came from: the main window, or a dialog open over it.
    return std::make_unique<CQtProgress>(m_registry, ActiveOwnerWidget(), title, text);
}

void CQtHost::EndOfHandler()
{
    for (const auto& [top, window] : m_registry.Windows())
        window->PresentPixels();
    SetCursor(CursorShape::Arrow);
}

void CQtHost::SetCursor(CursorShape shape)
{
    const bool wait = shape == CursorShape::Wait;
    if (wait == m_bWaitCursor)
        return;
    if (wait)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    m_bWaitCursor = wait;
}

Point CQtHost::GetCursorScreenPos() const
{
    return ToPoint(m_pKeyFilter->HaveCursor() ? m_pKeyFilter->Cursor() : QCursor::pos());
}

QWidget* CQtHost::WindowWidget(const CDialog& dialog)
{
    auto* window = dynamic_cast<CQtWindow*>(dialog.GetHostWindow());
    return window != nullptr ? window->TopLevel() : nullptr;
}

QWidget* CQtHost::ControlWidget(const CDialog& dialog, int controlId)
{
    auto* window = dynamic_cast<CQtWindow*>(dialog.GetHostWindow());
    return window != nullptr ? window->Control(controlId) : nullptr;
}

int RunQtApplication(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (const CWinApp* app = AfxGetApp())
        QApplication::setApplicationName(ToQString(app->m_strAppName));
    CQtHost host;
    return AfxWinMain(host, argc, argv);
}
