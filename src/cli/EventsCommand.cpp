// tracktool events: writes the enter/leave timestamp files of a region table for a tracker file,
// exactly as the window's Generate Timestamp Files command does, in one pass over the file. The
// regions come from --region or from a layout (--layout), whose margin the visits then follow.
//
// Exit status: 2 for a malformed command line (also more than 50 regions, a region name that is
// empty or holds a '/', an empty --dir, or --layout with --region); 1 when the file or the layout
// cannot be read, the file has no records, no region was given, or an event file could not be
// created or written; else 0.
#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "cli/CliChecks.h"
#include "cli/CliCommand.h"
#include "cli/CliPass.h"
#include "cli/RegionOptions.h"
#include "outputs/EventFilesOutput.h"

#include <memory>

namespace
{
struct EventsArgs
{
    std::string path;
    CRegionOptions regions;
    std::string dir = ".";
};

int RunEvents(EventsArgs& args)
{
    CCliPass pass("events");
    if (pass.Open(args.path) != kOk)
        return kExitFailed; // the reader has said why
    if (pass.Source().records == 0)
    {
        ShowMessage("tracktool events: " + args.path + " has no records; no files written");
        return kExitFailed;
    }
    if (args.regions.Load() != kOk)
        return kExitFailed; // the layout's fault has been told
    const CRegionTable& table = args.regions.Table();
    if (table.m_nRegionCount == 0)
    {
        ShowMessage("tracktool events: no region given; no files written");
        return kExitFailed;
    }

    CEventFilesOutput events(EventFilesDestination{args.dir, pass.Source().fileName}, table,
                             args.regions.Margin());
    ITrackOutput* outputs[] = {&events};
    const int result = pass.Run(outputs);
    PrintLines(events.SummaryLines()); // after a failure too: every region wrote nothing
    return result == kOk ? kExitOk : kExitFailed;
}

CliRun AddEvents(CLI::App& command)
{
    auto args = std::make_shared<EventsArgs>();
    command.add_option("FILE", args->path, "the tracker file")->required();
    args->regions.AddTo(command, RegionNaming::Named);
    args->regions.AddLayoutTo(command);
    command.add_option("--dir", args->dir, "the folder to write the files into (default: the current one)")
        ->type_name("DIR")
        ->check(NonEmpty());
    return [args] { return RunEvents(*args); };
}

const CCliCommandRegistration kRegisterEvents({"events", "write the enter/leave timestamp files of regions",
                                               &AddEvents});
} // namespace
