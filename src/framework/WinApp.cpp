#include "framework/WinApp.h"

#include "framework/Dialog.h"

#include <cassert>

namespace
{
CWinApp* g_pApp = nullptr;
int g_nWaitCursors = 0; // live CWaitCursor objects

// Messages that are user input or commands; paint and timer ticks never are.
constexpr bool IsActivityKind(MessageKind kind)
{
    switch (kind)
    {
    case MessageKind::KeyDown:
    case MessageKind::Command:
    case MessageKind::ButtonClicked:
    case MessageKind::HScroll:
    case MessageKind::LButtonDown:
    case MessageKind::LButtonUp:
    case MessageKind::MouseMove:
    case MessageKind::DropFiles:
    case MessageKind::Close:
    case MessageKind::SysCommand:
        return true;
    case MessageKind::KeyUp:
    case MessageKind::Paint:
    case MessageKind::Timer:
        return false;
    }
    return false;
}
} // namespace

CWinApp::CWinApp(std::string_view appName) : m_strAppName(appName)
{
    // A second one would silently take the first one's place: AfxGetApp, the idle rule and the
    // caption of every box would all belong to it.
    assert(g_pApp == nullptr && "CWinApp: one application object at a time");
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

bool CWinApp::OnIdle(long)
{
    return false;
}

int CWinApp::Run()
{
    IHost* host = GetHost();
    if (host == nullptr)
        return 1;
    return host->RunMessageLoop(*this);
}

void CWinApp::SetCommandLine(int argc, const char* const* argv)
{
    m_strCmdLine = JoinCommandLine(argc, argv);
}

bool CWinApp::PreTranslateMessage(CDialog& target, Message& msg)
{
    return target.PreTranslateMessage(msg);
}

bool CWinApp::CountsAsActivity(const CDialog& target, const Message& msg)
{
    if (msg.kind == MessageKind::MouseMove)
    {
        // A move that left the pointer where it was (hosts and window managers send these after
        // a window appears or disappears) is not activity.
        const bool moved = !m_bHaveLastMouse || !(msg.screenPoint == m_ptLastMouse);
        m_bHaveLastMouse = true;
        m_ptLastMouse = msg.screenPoint;
        if (!moved)
            return false;
    }
    else if (msg.kind == MessageKind::LButtonDown || msg.kind == MessageKind::LButtonUp)
    {
        m_bHaveLastMouse = true;
        m_ptLastMouse = msg.screenPoint;
    }
    if (!IsActivityKind(msg.kind) || IsModalOpen())
        return false;
    return &target == m_pMainWnd;
}

bool CWinApp::ProcessMessage(CDialog& target, Message& msg)
{
    if (CountsAsActivity(target, msg))
    {
        m_bIdlePending = true;
        m_nIdleCount = 0;
    }
    bool handled = false;
    if (IsKeyMessage(msg.kind))
        handled = PreTranslateMessage(target, msg);
    else
        handled = target.OnWndMsg(msg);
    if (IHost* host = GetHost())
        host->EndOfHandler();
    return handled;
}

void CWinApp::OnQueueEmpty()
{
    if (!m_bIdlePending || IsModalOpen())
        return;
    if (!OnIdle(m_nIdleCount++))
        m_bIdlePending = false;
    if (IHost* host = GetHost())
        host->EndOfHandler();
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CDialog* AfxGetMainWnd()
{
    return g_pApp != nullptr ? g_pApp->m_pMainWnd : nullptr;
}

std::string JoinCommandLine(int argc, const char* const* argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i)
    {
        if (i > 1)
            line += ' ';
        line += argv[i] != nullptr ? argv[i] : "";
    }
    return line;
}

void PostQuitMessage(int exitCode)
{
    if (IHost* host = GetHost())
        host->PostQuit(exitCode);
}

CWaitCursor::CWaitCursor()
{
    assert(g_nWaitCursors == 0 && "CWaitCursor: one at a time, or the inner one ends the wait too soon");
    ++g_nWaitCursors;
    SetCursor(CursorShape::Wait);
}

CWaitCursor::~CWaitCursor()
{
    --g_nWaitCursors;
    SetCursor(CursorShape::Arrow);
}

void SetCursor(CursorShape shape)
{
    if (IHost* host = GetHost())
        host->SetCursor(shape);
}

Point GetCursorPos()
{
    IHost* host = GetHost();
    return host != nullptr ? host->GetCursorScreenPos() : Point{};
}
