// CWinApp: the one application object, its start-up (InitInstance), its message loop (Run, which
// the host carries out) and the idle rule, plus the program-wide calls that have no window of
// their own (PostQuitMessage, the cursor).
//
// The idle rule. After the loop has handled an activity message and the queue has run empty, it
// calls OnIdle(count) once; while OnIdle returns true it is called again each time the queue is
// empty (count 1, 2, ...); once it returns false, no idle call follows until the next activity
// message. Activity is user input to the main window or a command routed to it: key down, command,
// button click, scroll, mouse button, a mouse move that changed the pointer's screen position,
// drop, close, system command. Not activity: paint, timer ticks, a mouse move that left the
// pointer where it was, key releases (the release of the key that closed a message box arrives at
// the main window after the box has gone), anything sent to another window (a modal dialog), and
// anything handled while a modal box or dialog is open. So a message box shown from OnIdle never
// re-opens itself: closing it and the repaint that follows are not activity.
#pragma once

#include "base/Geometry.h"
#include "framework/Host.h"
#include "framework/Message.h"

#include <string>
#include <string_view>

class CDialog;

class CWinApp : public IMessageLoopClient
{
public:
    // Registers this object as the application (AfxGetApp). appName: the program's name, the
    // caption of every message box the framework shows.
    explicit CWinApp(std::string_view appName = {});
    virtual ~CWinApp(); // unregisters it
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual bool InitInstance() { return true; }       // false ends the program before the loop
    virtual bool OnIdle(long count);                   // base: false (the framework has no idle work)
    virtual int ExitInstance() { return m_nExitCode; } // after the loop; returns the exit code
    int Run(); // the message loop until the quit message; returns its exit code

    // The words after the program name joined by single spaces (one path, not split at blanks).
    void SetCommandLine(int argc, const char* const* argv);

    const std::string m_strAppName; // the program's name, as given to the constructor
    CDialog* m_pMainWnd = nullptr;  // the main window (not owned)
    std::string m_strCmdLine;       // the command line as SetCommandLine made it

    // --- For the hosts ----------------------------------------------------------------------
    // Handles one message for target: key messages go through PreTranslateMessage only (true:
    // consumed; false: the host lets the control have the key); everything else is dispatched
    // to target's message map (true: handled). Counts activity for the idle rule and calls the
    // host's EndOfHandler afterwards.
    bool ProcessMessage(CDialog& target, Message& msg) override;
    // The pre-translation of a key message: target's PreTranslateMessage (for the main window,
    // its accelerator table before any control sees the key).
    bool PreTranslateMessage(CDialog& target, Message& msg);
    [[nodiscard]] bool IsIdlePending() const override { return m_bIdlePending; }
    // The queue has run empty: calls OnIdle when the idle rule says so.
    void OnQueueEmpty() override;
    void SetExitCode(int code) { m_nExitCode = code; }

private:
    // Whether msg is activity for the idle rule. It remembers the pointer's position on the way,
    // because a mouse move is activity only when it moved the pointer.
    bool CountsAsActivity(const CDialog& target, const Message& msg);

    bool m_bIdlePending = false;
    long m_nIdleCount = 0;
    int m_nExitCode = 0;
    bool m_bHaveLastMouse = false;
    Point m_ptLastMouse; // screen position at the last mouse move
};

[[nodiscard]] CWinApp* AfxGetApp();     // the application object, or nullptr
[[nodiscard]] CDialog* AfxGetMainWnd(); // its main window, or nullptr

// The words after the program name (argv[1..]) joined by single spaces; "" when there are none.
[[nodiscard]] std::string JoinCommandLine(int argc, const char* const* argv);

// Ends the message loop with exitCode once the current message is handled.
void PostQuitMessage(int exitCode);

// The wait and arrow cursors.
void SetCursor(CursorShape shape);

// Shows the wait cursor for its lifetime: the arrow is back when it goes, on every way out of the
// scope. One at a time: an inner one would bring the arrow back while the outer work still runs.
class CWaitCursor
{
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
// The pointer position in screen coordinates.
[[nodiscard]] Point GetCursorPos();
