// tracktool viewer: serves the stand-in for the companion viewer on the session bus until SIGTERM
// or SIGINT, which end it cleanly, so that the window's link can be tried without the viewer.
#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "cli/CliChecks.h"
#include "cli/CliCommand.h"
#include "viewerlink/BusViewerAutomation.h"
#include "viewerlink/StandInViewer.h"
#include "viewerlink/ViewerLink.h"

#include <cstdio>
#include <memory>
#include <string>

namespace
{
std::string ProgId()
{
    return std::string(kViewerProgId);
}

// Why the stand-in could not serve, as the tool says it.
std::string FailureText(std::int32_t result)
{
    if (result == kViewerErrNoBus)
        return "cannot reach the session bus";
    if (result == kStandInErrNoObject)
        return "cannot register " + ViewerObjectPath(kViewerProgId);
    if (result == kStandInErrNameTaken)
        return "the name " + ProgId() + " is taken";
    return "cannot watch for the stop signals";
}

int RunViewer(std::int32_t firstTimestamp)
{
    const std::int32_t result = ServeStandInViewer(
        firstTimestamp,
        [firstTimestamp]
        {
            std::printf("tracktool viewer: serving %s at %s, first timestamp %d\n", ProgId().c_str(),
                        ViewerObjectPath(kViewerProgId).c_str(), static_cast<int>(firstTimestamp));
            std::fflush(stdout); // a script waits for this line before it calls
        });
    if (result == kOk)
        return kExitOk;
    ShowMessage("tracktool viewer: " + FailureText(result));
    return kExitFailed;
}

CliRun AddViewer(CLI::App& command)
{
    auto firstTimestamp = std::make_shared<std::int32_t>(0);
    AddWholeNumber(command, "--timestamp", *firstTimestamp, "N",
                   "the first timestamp served, a signed 32-bit number (default 0)");
    return [firstTimestamp] { return RunViewer(*firstTimestamp); };
}

const CCliCommandRegistration kRegisterViewer(
    {"viewer", "serve a stand-in Corvantix viewer on the session bus until killed", &AddViewer});
} // namespace
