// tracktool events: writes the enter/leave timestamp files of a region table for a tracker file,
// exactly as the window's Generate Timestamp Files command does.
//
// Exit status: 2 for a malformed command line (also more than 50 regions, a region name that is
// empty or holds a '/', or an empty --dir); 1 when the file cannot be opened, has no records, no
// region was given, or an event file could not be created or written; else 0.
#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "cli/CliChecks.h"
#include "cli/CliCommand.h"
#include "cli/CliProgress.h"
#include "cli/RegionOptions.h"
#include "regions/RegionEventGenerator.h"
#include "trackfile/TrackFile.h"

#include <cinttypes>
#include <cstdio>
#include <memory>

namespace
{
struct EventsArgs
{
    std::string path;
    CRegionOptions regions;
    std::string dir = ".";
};

int RunEvents(const EventsArgs& args)
{
    CTrackFile file;
    if (file.Open(args.path) != kOk)
        return kExitFailed; // the reader has said why
    if (file.GetRecordCount() == 0)
    {
        ShowMessage("tracktool events: " + args.path + " has no records; no files written");
        return kExitFailed;
    }
    const CRegionTable& table = args.regions.Table();
    if (table.m_nRegionCount == 0)
    {
        ShowMessage("tracktool events: no region given; no files written");
        return kExitFailed;
    }

    CRegionEventGenerator generator;
    generator.Prepare(file, table);
    generator.SetOutputDirectory(args.dir);
    int result = kOk;
    {
        CCliProgress progress("events", file.GetRecordCount()); // ends its line before the report
        result = generator.Run([&](std::uint32_t done) { progress.Update(done); });
    }

    for (std::int32_t j = 0; j < table.m_nRegionCount; ++j)
        std::printf("%s: %" PRIu64 " visits\n", table.m_regionNames[static_cast<std::size_t>(j)].c_str(),
                    generator.GetVisitsWritten(j));
    return result == kOk ? kExitOk : kExitFailed;
}

CliRun AddEvents(CLI::App& command)
{
    auto args = std::make_shared<EventsArgs>();
    command.add_option("FILE", args->path, "the tracker file")->required();
    args->regions.AddTo(command, RegionNaming::Named);
    command.add_option("--dir", args->dir, "the folder to write the files into (default: the current one)")
        ->type_name("DIR")
        ->check(NonEmpty());
    return [args] { return RunEvents(*args); };
}

const CCliCommandRegistration
    kRegisterEvents({"events", "write the enter/leave timestamp files of rectangular regions", &AddEvents});
} // namespace
