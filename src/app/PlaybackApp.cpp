#include "app/PlaybackApp.h"

#include "app/StripQuotes.h"
#include "base/MessageSink.h"
#include "resources/Resources.h"

#include <utility>

CPlaybackApp::CPlaybackApp(CTrackFile& trackFile, std::unique_ptr<IViewerAutomation> viewerAutomation)
    : CWinApp(kProgramName), m_dlg(trackFile, std::move(viewerAutomation))
{
}

CPlaybackApp::~CPlaybackApp() = default;

bool CPlaybackApp::InitInstance()
{
    // Our framework hosts no foreign controls, so there is no control container to enable.
    if (!m_dlg.Create(kIddPlayback))
    {
        ShowMessage(kMsgCannotCreateWindow);
        return false;
    }
    m_dlg.ShowWindow(ShowCommand::Show);
    m_pMainWnd = &m_dlg;
    // The whole command line is one path (the words after the program name, joined by spaces).
    if (!m_strCmdLine.empty())
        m_dlg.OpenTrackFile(StripQuotes(m_strCmdLine));
    return true;
}

bool CPlaybackApp::OnIdle(long)
{
    // The framework calls this once after each burst of the user's activity in the main window;
    // false: no further idle call until the next one. The framework's own idle work is not run.
    if (m_pMainWnd != nullptr)
        m_dlg.ShowViewerTimestamp();
    return false;
}

int CPlaybackApp::ExitInstance()
{
    // The link to the viewer ends with the program; its bus connection must close while the
    // platform is still running.
    m_dlg.ReleaseViewer();
    return CWinApp::ExitInstance();
}
