// The Corvantix button and the idle hook's timestamp box.
#include "app/PlaybackDlg.h"

void CPlaybackDlg::OnViewerButton()
{
    // Connects at most once; a failure has been told with its code and the button may be pressed
    // again.
    if (m_viewer != nullptr)
        static_cast<void>(m_viewer->ConnectViewer());
}

void CPlaybackDlg::ShowViewerTimestamp()
{
    // Nothing while disconnected; a viewer that stopped answering is dropped after one message.
    if (m_viewer != nullptr)
        m_viewer->ShowViewerTimestamp();
}

void CPlaybackDlg::ReleaseViewer()
{
    m_viewer.reset();
}
