// tracktool visits: the visit table of a tracker file for a region table, in one pass over the
// file: <track>_visits.csv, <track>_regions.csv and <track>_session.csv in the output folder, and
// one line per region on stdout ("open arm: 12 entries, 93.450000 s inside").
//
// Exit status: 2 for a malformed command line (also no region, --layout with --region, more than
// 50 regions, an empty --out); 1 when the file or the layout cannot be read or a CSV file cannot
// be written; else 0.
#include "analysis/VisitCsv.h"
#include "analysis/VisitTable.h"
#include "base/CsvBuilder.h"
#include "base/ResultCodes.h"
#include "cli/CliChecks.h"
#include "cli/CliCommand.h"
#include "cli/CliProgress.h"
#include "cli/OutputFolder.h"
#include "cli/RegionOptions.h"
#include "trackfile/BlockReader.h"

#include <cinttypes>
#include <cstdio>
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
    CBlockReader reader;
    if (reader.Open(args.path) != kOk)
        return kExitFailed; // the reader has said why

    CVisitTableBuilder builder(args.regions.Table(), args.regions.Margin());
    IRecordConsumer* consumers[] = {&builder};
    const int result = RunWithProgress(reader, consumers, "visits");
    if (result != kOk)
        return kExitFailed; // the reader has said why
    const VisitTable& table = builder.Result();
    const std::string& name = reader.Info().fileName;
    if (!MakeOutputFolder(args.out))
        return kExitFailed;
    if (WriteVisitCsvFiles(table, args.out, name, name) != kOk)
        return kExitFailed;
    for (const RegionSummary& region : table.regions)
        std::printf("%s: %" PRIu64 " entries, %s s inside\n", region.name.c_str(), region.entries,
                    FormatFixed6(region.timeInsideSeconds).c_str());
    return kExitOk;
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
