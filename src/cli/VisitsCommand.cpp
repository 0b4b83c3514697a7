// tracktool visits: the visit table of a tracker file for a region table, in one pass over the
// file: <track>_visits.csv, <track>_regions.csv and <track>_session.csv in the output folder, and
// one line per region on stdout ("open arm: 12 entries, 93.450000 s inside").
//
// Exit status: 2 for a malformed command line (also no region, --layout with --region, more than
// 50 regions, an empty --out); 1 when the file or the layout cannot be read or a CSV file cannot
// be written; else 0.
#include "base/ResultCodes.h"
#include "cli/CliChecks.h"
#include "cli/CliCommand.h"
#include "cli/CliPass.h"
#include "cli/RegionOptions.h"
#include "outputs/VisitTablesOutput.h"

#include <memory>

namespace
{
struct VisitsArgs
{
    std::string path;
    CRegionOptions regions;
    std::string out = ".";
};

int RunVisits(VisitsArgs& args)
{
    if (args.regions.Load() != kOk)
        return kExitFailed; // the layout's fault has been told
    const int ran = RunOutputIntoFolder(
        "visits", args.path, args.out,
        [&](const TrackOutputPlace& place)
        { return std::make_unique<CVisitTablesOutput>(place, args.regions.Table(), args.regions.Margin()); });
    return ran == kOk ? kExitOk : kExitFailed; // a failure has been told
}

CliRun AddVisits(CLI::App& command)
{
    auto args = std::make_shared<VisitsArgs>();
    command.add_option("FILE", args->path, "the tracker file")->required();
    args->regions.AddLayoutTo(command);
    args->regions.AddTo(command, RegionNaming::Named);
    args->regions.AddMarginTo(command);
    args->regions.RequireRegions(command);
    command
        .add_option("--out", args->out,
                    "the folder to write the CSV files into, made when missing (default: the current one)")
        ->type_name("DIR")
        ->check(NonEmpty());
    return [args] { return RunVisits(*args); };
}

const CCliCommandRegistration kRegisterVisits(
    {"visits", "every visit to each region, with region and session figures, as three CSV files",
     &AddVisits});
} // namespace
