#include "framework/AfxWinMain.h"

#include "framework/Dialog.h"
#include "framework/HostMessageSink.h"
#include "framework/WinApp.h"

int AfxWinMain(IHost& host, int argc, const char* const* argv)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    CScopedHost scopedHost(host);
    CHostMessageSink sink(app->m_strAppName);
    CScopedMessageSink scopedSink(sink);
    app->SetCommandLine(argc, argv);
    int exitCode = 1;
    if (app->InitInstance())
    {
        app->SetExitCode(app->Run());
        exitCode = app->ExitInstance();
    }
    // The host ends with this function, so the main window's screen window goes now; the window
    // object itself stays until the application object is destroyed.
    if (app->m_pMainWnd != nullptr)
        app->m_pMainWnd->DestroyWindow();
    return exitCode;
}
