// The trackplay program: its two globals and the Qt 6 window.
#include "app/PlaybackApp.h"
#include "framework/qt/QtHost.h"
#include "trackfile/TrackFile.h"
#include "viewerlink/BusViewerAutomation.h"

// Constructed in this order, destroyed in the reverse: the reader first, closing its file. The
// viewer link talks over the session bus; its connection opens when the button is first pressed.
CPlaybackApp theApp{theTrackFile, CreateBusViewerAutomation()};
CTrackFile theTrackFile;

int main(int argc, char** argv)
{
    return RunQtApplication(argc, argv);
}
