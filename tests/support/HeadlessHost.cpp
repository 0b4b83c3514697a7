#include "support/HeadlessHost.h"

#include "framework/Dialog.h"
#include "framework/FileDialogFilter.h"
#include "framework/WinApp.h"
#include "resources/Resources.h"

#include <algorithm>

namespace
{
// The character a key types into an edit, or 0.
char TypedDigit(const Message& msg)
{
    if ((msg.modifiers & (kModControl | kModAlt)) != 0)
        return 0;
    if (msg.id >= kVk0 && msg.id <= kVk0 + 9 && (msg.modifiers & kModShift) == 0)
        return static_cast<char>('0' + (msg.id - kVk0));
    if (msg.id >= kVkNumpad0 && msg.id <= kVkNumpad0 + 9)
        return static_cast<char>('0' + (msg.id - kVkNumpad0));
    return 0;
}
} // namespace

// A progress display of the headless host: its record in the host says what it was shown and
// whether it has been cancelled.
class CHeadlessProgress final : public IHostProgress
{
public:
    CHeadlessProgress(CHeadlessHost& host, std::size_t index) : m_host(host), m_nIndex(index) {}
    ~CHeadlessProgress() override { m_host.progresses[m_nIndex].open = false; }
    CHeadlessProgress(const CHeadlessProgress&) = delete;
    CHeadlessProgress& operator=(const CHeadlessProgress&) = delete;

    [[nodiscard]] bool Update(std::uint64_t done, std::uint64_t total) override
    {
        CHeadlessHost::ProgressRecord& record = m_host.progresses[m_nIndex];
        record.updates.emplace_back(done, total);
        record.modalWhileOpen = record.modalWhileOpen && IsModalOpen();
        if (record.cancelAt > 0 && record.updates.size() >= static_cast<std::size_t>(record.cancelAt))
            record.cancelled = true;
        return !record.cancelled;
    }

private:
    CHeadlessHost& m_host;
    std::size_t m_nIndex;
};

// --- CHeadlessWindow --------------------------------------------------------------------------

CHeadlessWindow::CHeadlessWindow(CHeadlessHost& host, CDialog& owner, const DialogTemplate& dialog)
    : m_host(host), m_owner(owner), m_template(dialog)
{
    for (const ControlTemplate& source : dialog.controls)
    {
        if (source.id == kIdcStatic)
            continue;
        Control control;
        control.source = source;
        control.outer = ControlPixelRect(source);
        control.text = std::string(source.text);
        control.enabled = (source.style & kStyleDisabled) == 0;
        m_controls.emplace(source.id, std::move(control));
    }
}

CHeadlessWindow::~CHeadlessWindow()
{
    m_host.WindowDestroyed(*this);
}

const CHeadlessWindow::Control* CHeadlessWindow::FindControl(int id) const
{
    const auto it = m_controls.find(id);
    return it != m_controls.end() ? &it->second : nullptr;
}

CHeadlessWindow::Control* CHeadlessWindow::FindControl(int id)
{
    const auto it = m_controls.find(id);
    return it != m_controls.end() ? &it->second : nullptr;
}

void CHeadlessWindow::SetTitle(std::string_view title)
{
    m_strTitle = std::string(title);
    titleHistory.push_back(m_strTitle);
}

void CHeadlessWindow::SetControlText(int id, std::string_view text)
{
    if (Control* control = FindControl(id))
        control->text = std::string(text);
}

std::string CHeadlessWindow::GetControlText(int id) const
{
    const Control* control = FindControl(id);
    return control != nullptr ? control->text : std::string();
}

void CHeadlessWindow::SetCheck(int id, CheckState state)
{
    if (Control* control = FindControl(id))
        control->checked = state == CheckState::Checked;
}

bool CHeadlessWindow::GetCheck(int id) const
{
    const Control* control = FindControl(id);
    return control != nullptr && control->checked;
}

bool CHeadlessWindow::IsControlEnabled(int id) const
{
    const Control* control = FindControl(id);
    return control != nullptr && control->enabled;
}

void CHeadlessWindow::SetFocusTo(int id)
{
    if (FindControl(id) == nullptr)
        return;
    m_nFocusId = id;
    focusHistory.push_back(id);
}

void CHeadlessWindow::Show(ShowCommand command)
{
    const State before = m_state;
    switch (command)
    {
    case ShowCommand::Hide:
        m_state = State::Hidden;
        break;
    case ShowCommand::Show:
        if (m_state == State::Hidden)
            m_state = State::Normal;
        break;
    case ShowCommand::Minimize:
        m_state = State::Minimized;
        break;
    case ShowCommand::Restore:
        m_state = State::Normal;
        break;
    }
    // Appearing on screen (first shown, or restored from the task bar) exposes the window.
    if (before != State::Normal && m_state == State::Normal)
    {
        ++m_host.paintsPosted;
        m_host.PostMessageTo(&m_owner, MakeMessage(MessageKind::Paint));
    }
}

Rect CHeadlessWindow::GetControlClientRect(int id) const
{
    const Control* control = FindControl(id);
    if (control == nullptr)
        return Rect{};
    const int edge = ControlEdge(control->source);
    return Rect{0, 0, control->outer.width - 2 * edge, control->outer.height - 2 * edge};
}

Point CHeadlessWindow::GetControlScreenOrigin(int id) const
{
    const Control* control = FindControl(id);
    if (control == nullptr)
        return Point{};
    const int edge = ControlEdge(control->source);
    const Point origin = GetClientScreenOrigin();
    return Point{origin.x + control->outer.x + edge, origin.y + control->outer.y + edge};
}

void CHeadlessWindow::SetScrollRange(int id, int minPos, int maxPos, Redraw)
{
    if (Control* control = FindControl(id))
    {
        control->scrollMin = minPos;
        control->scrollMax = maxPos;
        control->scrollPos = std::clamp(control->scrollPos, minPos, std::max(minPos, maxPos));
    }
}

void CHeadlessWindow::SetScrollPos(int id, int pos, Redraw)
{
    if (Control* control = FindControl(id))
    {
        // Like the platform's bar, the position stays inside the range.
        control->scrollPos =
            std::clamp(pos, control->scrollMin, std::max(control->scrollMin, control->scrollMax));
        scrollPosHistory.push_back(control->scrollPos);
    }
}

int CHeadlessWindow::GetScrollPos(int id) const
{
    const Control* control = FindControl(id);
    return control != nullptr ? control->scrollPos : 0;
}

void CHeadlessWindow::AppendSystemMenuItem(unsigned id, std::string_view text)
{
    systemMenu.push_back({id, std::string(text)});
}

void CHeadlessWindow::AppendSystemMenuSeparator()
{
    systemMenu.push_back({0, {}});
}

void CHeadlessWindow::SetIcon(const IconImage* icon, IconSize size)
{
    if (size == IconSize::Big)
        bigIcon = icon;
    else
        smallIcon = icon;
}

void CHeadlessWindow::SetPixelSource(int id, const IPixelSource* source)
{
    if (Control* control = FindControl(id))
    {
        control->pixels = source;
        control->everShown = false;
    }
}

void CHeadlessWindow::PresentPixels()
{
    for (auto& [id, control] : m_controls)
    {
        if (control.pixels == nullptr)
            continue;
        const std::uint64_t changes = control.pixels->ChangeCount();
        if (control.everShown && changes == control.shownChangeCount)
            continue;
        const auto size = static_cast<std::size_t>(control.pixels->Width()) *
                          static_cast<std::size_t>(control.pixels->Height()) * 3u;
        const std::uint8_t* data = control.pixels->Data();
        control.shownPixels.assign(data, data + size);
        control.shownChangeCount = changes;
        control.everShown = true;
        ++control.presentCount;
    }
}

// --- CHeadlessHost ----------------------------------------------------------------------------

CHeadlessHost::~CHeadlessHost() = default;

std::unique_ptr<IHostWindow> CHeadlessHost::CreateHostWindow(CDialog& owner, const DialogTemplate& dialog,
                                                             CDialog*)
{
    auto window = std::make_unique<CHeadlessWindow>(*this, owner, dialog);
    m_windows.push_back(window.get());
    return window;
}

void CHeadlessHost::WindowDestroyed(CHeadlessWindow& window)
{
    std::erase(m_windows, &window);
    CDialog* owner = &window.Owner();
    std::erase_if(m_queue, [owner](const Queued& q) { return q.target == owner; });
}

CHeadlessWindow* CHeadlessHost::FindWindow(const CDialog& owner) const
{
    for (CHeadlessWindow* window : m_windows)
        if (&window->Owner() == &owner)
            return window;
    return nullptr;
}

CHeadlessWindow* CHeadlessHost::MainWindow() const
{
    const CDialog* main = AfxGetMainWnd();
    return main != nullptr ? FindWindow(*main) : nullptr;
}

int CHeadlessHost::RunModal(CDialog& dialog, IHostWindow& window)
{
    modalDialogs.push_back(dialog.GetTemplateId());
    m_modalStack.push_back({&window, false, 0});
    if (!modalScripts.empty())
    {
        auto script = std::move(modalScripts.front());
        modalScripts.pop_front();
        script(*this, dialog);
    }
    else
    {
        PostKey(kVkReturn, kModNone, &dialog);
    }
    CWinApp* app = AfxGetApp();
    while (!m_modalStack.back().ended && app != nullptr && PumpOne(*app))
    {
    }
    // A script that leaves the dialog open would hang a real screen; here it is cancelled.
    const int result = m_modalStack.back().ended ? m_modalStack.back().result : kIdCancel;
    m_modalStack.pop_back();
    AfterModal();
    return result;
}

void CHeadlessHost::EndModal(IHostWindow& window, int result)
{
    for (ModalRun& run : m_modalStack)
        if (run.window == &window)
        {
            run.ended = true;
            run.result = result;
        }
}

void CHeadlessHost::AfterModal()
{
    if (!repaintAfterModal)
        return;
    CDialog* main = AfxGetMainWnd();
    if (main == nullptr)
        return;
    ++paintsPosted;
    PostMessageTo(main, MakeMessage(MessageKind::Paint));
    PostMessageTo(main, MakeMouseMessage(MessageKind::MouseMove, m_ptCursor, m_ptCursor, 0));
}

bool CHeadlessHost::PumpOne(IMessageLoopClient& client)
{
    if (m_queue.empty())
        return false;
    Queued queued = std::move(m_queue.front());
    m_queue.pop_front();
    CDialog* target = queued.target != nullptr ? queued.target : AfxGetMainWnd();
    if (target == nullptr || FindWindow(*target) == nullptr)
        return true;
    // While a modal dialog runs, the windows below it take no input (paint still arrives).
    const bool isInput = queued.msg.kind != MessageKind::Paint && queued.msg.kind != MessageKind::Timer;
    if (!m_modalStack.empty() && isInput && m_modalStack.back().window != target->GetHostWindow())
        return true;
    CHeadlessWindow* window = FindWindow(*target);
    Message& msg = queued.msg;
    if (msg.kind == MessageKind::LButtonDown || msg.kind == MessageKind::LButtonUp ||
        msg.kind == MessageKind::MouseMove)
        m_ptCursor = msg.screenPoint;
    if (msg.kind == MessageKind::ButtonClicked)
    {
        CHeadlessWindow::Control* control = window->FindControl(msg.id);
        if (control == nullptr || !control->enabled)
            return true;
        if (queued.toggleCheck && control->source.kind == ControlKind::CheckBox)
            control->checked = !control->checked;
        window->SetFocusTo(msg.id);
    }
    const bool handled = client.ProcessMessage(*target, msg);
    if (IsKeyMessage(msg.kind) && !handled && FindWindow(*target) != nullptr)
        DefaultKeyProcessing(*target, msg);
    return true;
}

void CHeadlessHost::DefaultKeyProcessing(CDialog& target, const Message& msg)
{
    CHeadlessWindow* window = FindWindow(target);
    if (window == nullptr || msg.kind != MessageKind::KeyDown)
        return;
    CHeadlessWindow::Control* focus = window->FindControl(window->GetFocusId());
    if (focus == nullptr || !focus->enabled)
        return;
    if (focus->source.kind == ControlKind::Edit)
    {
        if (const char digit = TypedDigit(msg))
            focus->text += digit;
        else if (msg.id == kVkBack && !focus->text.empty())
            focus->text.pop_back();
        return;
    }
    if (msg.id == kVkSpace && msg.modifiers == kModNone &&
        (focus->source.kind == ControlKind::PushButton || focus->source.kind == ControlKind::CheckBox))
        PostClick(focus->source.id, &target);
}

int CHeadlessHost::RunMessageLoop(IMessageLoopClient& client)
{
    // OnIdle returning true forever would keep a real loop busy; here the run stops after a bound.
    constexpr int kMaxIdleCallsWithoutMessages = 100;
    int idleCalls = 0;
    while (!m_bQuit)
    {
        if (PumpOne(client))
        {
            idleCalls = 0;
            continue;
        }
        if (client.IsIdlePending() && idleCalls < kMaxIdleCallsWithoutMessages)
        {
            ++idleCalls;
            client.OnQueueEmpty();
            continue;
        }
        break;
    }
    return m_bQuit ? m_nExitCode : kStillRunning;
}

int CHeadlessHost::RunUntilIdle()
{
    CWinApp* app = AfxGetApp();
    return app != nullptr ? RunMessageLoop(*app) : kStillRunning;
}

void CHeadlessHost::PostQuit(int exitCode)
{
    m_bQuit = true;
    m_nExitCode = exitCode;
}

int CHeadlessHost::ShowMessageBox(const MessageBoxRequest& request)
{
    int answer = request.buttons == MessageBoxButtons::Ok ? kIdOk : defaultYesNo;
    if (!messageBoxAnswers.empty())
    {
        answer = messageBoxAnswers.front();
        messageBoxAnswers.pop_front();
    }
    messageBoxes.push_back({request, answer});
    AfterModal();
    return answer;
}

std::optional<std::string> CHeadlessHost::ShowFileDialog(const FileDialogRequest& request)
{
    fileDialogs.push_back(request);
    std::optional<std::string> answer;
    if (!fileDialogAnswers.empty())
    {
        answer = std::move(fileDialogAnswers.front());
        fileDialogAnswers.pop_front();
    }
    AfterModal();
    if (answer)
        return ResolveFileDialogName(std::move(*answer), request);
    return std::nullopt;
}

std::optional<std::string> CHeadlessHost::ShowFolderDialog(const FolderDialogRequest& request)
{
    folderDialogs.push_back(request);
    std::optional<std::string> answer;
    if (!folderDialogAnswers.empty())
    {
        answer = std::move(folderDialogAnswers.front());
        folderDialogAnswers.pop_front();
    }
    AfterModal();
    return answer;
}

std::unique_ptr<IHostProgress> CHeadlessHost::ShowProgress(std::string_view title, std::string_view text)
{
    ProgressRecord record;
    record.title = std::string(title);
    record.text = std::string(text);
    record.modalWhileOpen = IsModalOpen();
    if (!progressCancelAt.empty())
    {
        record.cancelAt = progressCancelAt.front();
        progressCancelAt.pop_front();
    }
    progresses.push_back(std::move(record));
    return std::make_unique<CHeadlessProgress>(*this, progresses.size() - 1);
}

void CHeadlessHost::EndOfHandler()
{
    for (CHeadlessWindow* window : m_windows)
        window->PresentPixels();
}

void CHeadlessHost::PostMessageTo(CDialog* target, const Message& msg)
{
    m_queue.push_back({target, msg, false});
}

void CHeadlessHost::PostKeyDown(std::uint16_t virtualKey, std::uint32_t modifiers, CDialog* target)
{
    PostMessageTo(target, MakeKeyMessage(MessageKind::KeyDown, virtualKey, modifiers));
}

void CHeadlessHost::PostKeyUp(std::uint16_t virtualKey, std::uint32_t modifiers, CDialog* target)
{
    PostMessageTo(target, MakeKeyMessage(MessageKind::KeyUp, virtualKey, modifiers));
}

void CHeadlessHost::PostKey(std::uint16_t virtualKey, std::uint32_t modifiers, CDialog* target)
{
    PostKeyDown(virtualKey, modifiers, target);
    PostKeyUp(virtualKey, modifiers, target);
}

void CHeadlessHost::PostKeypadDigit(int digit, CDialog* target)
{
    PostKey(VkNumpad(digit), kModNone, target);
}

void CHeadlessHost::PostCommand(int commandId, CDialog* target)
{
    PostMessageTo(target, MakeIdMessage(MessageKind::Command, commandId));
}

void CHeadlessHost::PostClick(int controlId, CDialog* target)
{
    m_queue.push_back({target, MakeIdMessage(MessageKind::ButtonClicked, controlId), true});
}

void CHeadlessHost::PostScroll(int scrollBarId, int code, int pos, CDialog* target)
{
    PostMessageTo(target, MakeScrollMessage(scrollBarId, code, pos));
}

void CHeadlessHost::PostMouseDown(Point clientPoint, std::uint32_t flags)
{
    PostMessageTo(nullptr, MakeMouseMessage(MessageKind::LButtonDown, clientPoint, clientPoint, flags));
}

void CHeadlessHost::PostMouseMove(Point clientPoint, std::uint32_t flags)
{
    PostMessageTo(nullptr, MakeMouseMessage(MessageKind::MouseMove, clientPoint, clientPoint, flags));
}

void CHeadlessHost::PostMouseUp(Point clientPoint, std::uint32_t flags)
{
    PostMessageTo(nullptr, MakeMouseMessage(MessageKind::LButtonUp, clientPoint, clientPoint, flags));
}

Point CHeadlessHost::ControlToWindowClient(int controlId, Point point) const
{
    const CHeadlessWindow* window = MainWindow();
    if (window == nullptr)
        return point;
    const Point origin = window->GetControlScreenOrigin(controlId);
    const Point client = window->GetClientScreenOrigin();
    return Point{point.x + origin.x - client.x, point.y + origin.y - client.y};
}

void CHeadlessHost::PostDrop(std::vector<std::string> paths)
{
    Message msg = MakeMessage(MessageKind::DropFiles);
    msg.paths = std::move(paths);
    PostMessageTo(nullptr, msg);
}

void CHeadlessHost::PostPaint()
{
    PostMessageTo(nullptr, MakeMessage(MessageKind::Paint));
}

void CHeadlessHost::PostMinimize()
{
    PostSysCommand(kScMinimize);
}

void CHeadlessHost::PostRestore()
{
    PostSysCommand(kScRestore);
}

void CHeadlessHost::PostClose()
{
    PostMessageTo(nullptr, MakeMessage(MessageKind::Close));
}

void CHeadlessHost::PostSysCommand(unsigned id)
{
    PostMessageTo(nullptr, MakeIdMessage(MessageKind::SysCommand, static_cast<int>(id)));
}

void CHeadlessHost::PostTimer()
{
    PostMessageTo(nullptr, MakeMessage(MessageKind::Timer));
}

void CHeadlessHost::TypeText(int controlId, std::string_view text, CDialog* target)
{
    const CDialog* dialog = target != nullptr ? target : AfxGetMainWnd();
    CHeadlessWindow* window = dialog != nullptr ? FindWindow(*dialog) : nullptr;
    if (window != nullptr)
        window->SetControlText(controlId, text);
}
