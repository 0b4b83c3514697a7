// CPlaybackApp: the application object. It holds the main window object, creates the window at
// start-up, opens the file named on the command line, and in the idle hook lets the main window
// show the viewer's timestamp.
//
// The program's two globals are defined together in the program's main.cpp, in this order, so
// that at exit the reader is destroyed first (closing its file), then the application with the
// main window object.
#pragma once

#include "app/PlaybackDlg.h"
#include "framework/WinApp.h"

#include <memory>
#include <string_view>

class CTrackFile;

inline constexpr std::string_view kMsgCannotCreateWindow = "Unable to create winow; must exit.";

class CPlaybackApp : public CWinApp
{
public:
    // trackFile: the reader the main window opens files into (borrowed).
    // viewerAutomation: the services of the viewer link (see CPlaybackDlg).
    explicit CPlaybackApp(CTrackFile& trackFile,
                          std::unique_ptr<IViewerAutomation> viewerAutomation = nullptr);
    ~CPlaybackApp() override;

    bool InitInstance() override;
    bool OnIdle(long count) override;
    int ExitInstance() override;

    CPlaybackDlg m_dlg; // the main window object; its window is created by InitInstance
};

extern CPlaybackApp theApp;
extern CTrackFile theTrackFile;
