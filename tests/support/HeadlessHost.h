// The headless host: runs windows without a screen, records everything they show and answers
// message boxes, the question, file dialogs and modal dialogs from a script. Tests post input
// (keys, commands, clicks, mouse, scroll codes, drops, paint, minimise/restore, close) and run the
// loop until it is idle:
//
//   CHeadlessHost host;
//   CScopedHost scopedHost(host);
//   CHostMessageSink sink{"caption"}; // message boxes go to the host's records
//   CScopedMessageSink scopedSink(sink);
//   CTestApp app;                       // a CWinApp; its InitInstance creates the main window
//   app.InitInstance();
//   host.PostKey(VkDigit(3));           // main-row 3: accelerator -> command 40013
//   host.RunUntilIdle();
//   EXPECT_EQ(host.MainWindow()->GetControlText(kIdcX), "17");
//
// Long runs: every progress display is recorded with its updates; the script can press Cancel at
// the k-th update of a display. Folder dialogs are answered from their own script.
//
// Windows: declare the host before the application object and the dialogs, so it outlives them.
// Screen model: the main window's client area has its top-left corner at screen (0, 0) (no title
// bar or menu bar is modelled); every control sits at its template rectangle converted to pixels;
// a plot area has the client area and edge its template gives in pixels. The pointer is where
// the last posted mouse message put it (or SetCursorScreenPos).
#pragma once

#include "framework/Host.h"
#include "framework/Message.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CHeadlessWindow final : public IHostWindow
{
public:
    enum class State
    {
        Hidden,
        Normal,
        Minimized
    };

    struct Control
    {
        ControlTemplate source; // the template row
        PixelRect outer;        // outer rectangle in window client pixels
        std::string text;
        bool checked = false;
        bool enabled = true;
        int scrollMin = 0;
        int scrollMax = 0;
        int scrollPos = 0;
        const IPixelSource* pixels = nullptr;  // plot area: what it shows
        std::vector<std::uint8_t> shownPixels; // plot area: the pixels last put on screen
        std::uint64_t shownChangeCount = 0;
        bool everShown = false; // plot area: pixels have been put on screen once
        int presentCount = 0;   // how often changed pixels were put on screen
    };

    CHeadlessWindow(class CHeadlessHost& host, CDialog& owner, const DialogTemplate& dialog);
    ~CHeadlessWindow() override;
    CHeadlessWindow(const CHeadlessWindow&) = delete;
    CHeadlessWindow& operator=(const CHeadlessWindow&) = delete;

    // IHostWindow
    void SetTitle(std::string_view title) override;
    [[nodiscard]] std::string GetTitle() const override { return m_strTitle; }
    void SetControlText(int id, std::string_view text) override;
    [[nodiscard]] std::string GetControlText(int id) const override;
    void SetCheck(int id, CheckState state) override;
    [[nodiscard]] bool GetCheck(int id) const override;
    [[nodiscard]] bool IsControlEnabled(int id) const override;
    void SetFocusTo(int id) override;
    [[nodiscard]] int GetFocusId() const override { return m_nFocusId; }
    void Show(ShowCommand command) override;
    [[nodiscard]] bool IsVisible() const override { return m_state != State::Hidden; }
    [[nodiscard]] bool IsIconic() const override { return m_state == State::Minimized; }
    [[nodiscard]] Rect GetControlClientRect(int id) const override;
    [[nodiscard]] Point GetControlScreenOrigin(int id) const override;
    [[nodiscard]] Point GetClientScreenOrigin() const override { return Point{0, 0}; }
    void SetScrollRange(int id, int minPos, int maxPos, Redraw redraw) override;
    void SetScrollPos(int id, int pos, Redraw redraw) override;
    [[nodiscard]] int GetScrollPos(int id) const override;
    void AppendSystemMenuItem(unsigned id, std::string_view text) override;
    void AppendSystemMenuSeparator() override;
    void SetIcon(const IconImage* icon, IconSize size) override;
    void SetPixelSource(int id, const IPixelSource* source) override;
    void PresentPixels() override;

    // --- Records for tests ------------------------------------------------------------------
    [[nodiscard]] const Control* FindControl(int id) const; // nullptr for an unknown id
    [[nodiscard]] Control* FindControl(int id);
    [[nodiscard]] State GetState() const { return m_state; }
    [[nodiscard]] CDialog& Owner() const { return m_owner; }
    [[nodiscard]] const DialogTemplate& Template() const { return m_template; }

    std::vector<std::string> titleHistory; // every title set, in order
    std::vector<int> focusHistory;         // every control given the focus, in order
    std::vector<int> scrollPosHistory;     // every SetScrollPos position, in order (any bar)
    struct SystemMenuItem
    {
        unsigned id = 0; // 0 for a separator
        std::string text;
    };
    std::vector<SystemMenuItem> systemMenu; // appended items, in order
    const IconImage* bigIcon = nullptr;
    const IconImage* smallIcon = nullptr;

private:
    CHeadlessHost& m_host;
    CDialog& m_owner;
    const DialogTemplate& m_template;
    std::map<int, Control> m_controls; // by id; kIdcStatic labels are not kept
    std::string m_strTitle;
    int m_nFocusId = 0;
    State m_state = State::Hidden;
};

class CHeadlessHost final : public IHost
{
public:
    CHeadlessHost() = default;
    ~CHeadlessHost() override;

    // IHost
    std::unique_ptr<IHostWindow> CreateHostWindow(CDialog& owner, const DialogTemplate& dialog,
                                                  CDialog* parent) override;
    int RunModal(CDialog& dialog, IHostWindow& window) override;
    void EndModal(IHostWindow& window, int result) override;
    // Handles queued messages until the queue is empty and no idle call is due, or the quit
    // message was posted. Returns the exit code after a quit, else kStillRunning.
    int RunMessageLoop(IMessageLoopClient& client) override;
    void PostQuit(int exitCode) override;
    int ShowMessageBox(const MessageBoxRequest& request) override;
    std::optional<std::string> ShowFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> ShowFolderDialog(const FolderDialogRequest& request) override;
    std::unique_ptr<IHostProgress> ShowProgress(std::string_view title, std::string_view text) override;
    void EndOfHandler() override;
    void SetCursor(CursorShape shape) override { cursorHistory.push_back(shape); }
    [[nodiscard]] Point GetCursorScreenPos() const override { return m_ptCursor; }

    static constexpr int kStillRunning = -1000;

    // --- Input: posted to the main window (or to target), handled by RunUntilIdle -------------
    void PostMessageTo(CDialog* target, const Message& msg); // nullptr: the main window
    void PostKey(std::uint16_t virtualKey, std::uint32_t modifiers = kModNone, CDialog* target = nullptr);
    void PostKeyDown(std::uint16_t virtualKey, std::uint32_t modifiers = kModNone, CDialog* target = nullptr);
    void PostKeyUp(std::uint16_t virtualKey, std::uint32_t modifiers = kModNone, CDialog* target = nullptr);
    // A keypad digit with Num Lock on (virtual key kVkNumpad0 + digit).
    void PostKeypadDigit(int digit, CDialog* target = nullptr);
    void PostCommand(int commandId, CDialog* target = nullptr);
    // A click on a button or check box (a check box toggles first); ignored when disabled.
    void PostClick(int controlId, CDialog* target = nullptr);
    void PostScroll(int scrollBarId, int code, int pos = 0, CDialog* target = nullptr);
    // Mouse messages at a point in the main window's client coordinates; the pointer moves there.
    void PostMouseDown(Point clientPoint, std::uint32_t flags = kMkLButton);
    void PostMouseMove(Point clientPoint, std::uint32_t flags = 0);
    void PostMouseUp(Point clientPoint, std::uint32_t flags = 0);
    // A point given in a control's client coordinates (e.g. plot pixels), in window coordinates.
    [[nodiscard]] Point ControlToWindowClient(int controlId, Point point) const;
    void PostDrop(std::vector<std::string> paths);
    void PostPaint();    // the window was exposed
    void PostMinimize(); // system command minimise
    void PostRestore();  // system command restore (a paint follows)
    void PostClose();    // the close box
    void PostSysCommand(unsigned id);
    void PostTimer();
    // The user types text into an edit (replaces its text; no key messages).
    void TypeText(int controlId, std::string_view text, CDialog* target = nullptr);
    void SetCursorScreenPos(Point screenPoint) { m_ptCursor = screenPoint; }

    // Runs the loop of the application object (AfxGetApp) until idle; see RunMessageLoop.
    int RunUntilIdle();
    [[nodiscard]] bool QuitPosted() const { return m_bQuit; }
    [[nodiscard]] int ExitCode() const { return m_nExitCode; }
    [[nodiscard]] std::size_t PendingMessages() const { return m_queue.size(); }

    // --- Windows ----------------------------------------------------------------------------
    [[nodiscard]] CHeadlessWindow* MainWindow() const; // of AfxGetMainWnd()
    [[nodiscard]] CHeadlessWindow* FindWindow(const CDialog& owner) const;

    // --- Script -----------------------------------------------------------------------------
    // Answers to message boxes, in order (kIdOk, kIdYes, kIdNo, kIdCancel); then OK boxes get kIdOk
    // and question boxes defaultYesNo.
    std::deque<int> messageBoxAnswers;
    int defaultYesNo = kIdYes;
    // Paths chosen in file dialogs, in order (nullopt: cancel); then every dialog is cancelled.
    // The default extension of the request is applied to a path without one.
    std::deque<std::optional<std::string>> fileDialogAnswers;
    // Folders chosen in folder dialogs, in order (nullopt: cancel); then every one is cancelled.
    std::deque<std::optional<std::string>> folderDialogAnswers;
    // For each progress display, in order: the update (1 for the first) at which the user presses
    // Cancel, so that update and all later ones return false; 0 never. Then nobody cancels.
    std::deque<int> progressCancelAt;
    // What the user does in each modal dialog, in order; then Enter is pressed (OK).
    std::deque<std::function<void(CHeadlessHost&, CDialog&)>> modalScripts;

    // --- Records ----------------------------------------------------------------------------
    struct MessageBoxRecord
    {
        MessageBoxRequest request;
        int answer = 0;
    };
    std::vector<MessageBoxRecord> messageBoxes;     // every box shown, in order
    std::vector<FileDialogRequest> fileDialogs;     // every file dialog shown, in order
    std::vector<FolderDialogRequest> folderDialogs; // every folder dialog shown, in order
    struct ProgressRecord
    {
        std::string title;
        std::string text;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> updates; // (done, total), in order
        int cancelAt = 0;           // the scripted update of the Cancel press; 0 none
        bool cancelled = false;     // an update has returned false
        bool open = true;           // false once the display was destroyed
        bool modalWhileOpen = true; // every update ran while the display counted as modal
    };
    std::vector<ProgressRecord> progresses; // every progress display, in order
    std::vector<int> modalDialogs;          // template id of every modal dialog run, in order
    std::vector<CursorShape> cursorHistory; // every cursor set, in order
    int paintsPosted = 0;                   // paint messages queued by the host itself
    // When true, closing a message box or a modal dialog posts what a screen without a compositor
    // sends the main window then: a paint for the uncovered area and a mouse move that leaves the
    // pointer where it is. Off by default, because a paint clears the plot; the idle tests turn
    // it on to show that neither counts as activity.
    bool repaintAfterModal = false;

private:
    friend class CHeadlessWindow;
    struct Queued
    {
        CDialog* target = nullptr;
        Message msg;
        bool toggleCheck = false; // a click on a check box toggles it before it notifies
    };
    void AfterModal();
    bool PumpOne(IMessageLoopClient& client);
    void DefaultKeyProcessing(CDialog& target, const Message& msg);
    void WindowDestroyed(CHeadlessWindow& window);

    std::deque<Queued> m_queue;
    std::vector<CHeadlessWindow*> m_windows;
    struct ModalRun
    {
        IHostWindow* window = nullptr;
        bool ended = false;
        int result = 0;
    };
    std::vector<ModalRun> m_modalStack;
    Point m_ptCursor;
    bool m_bQuit = false;
    int m_nExitCode = 0;
};
