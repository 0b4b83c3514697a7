// tracktool quality: where tracking failed in a tracker file and how far the stored positions and
// headings are from what the targets give, as "name: value" lines; with --csv, one row per record
// too, in the same pass. The band is checked as convert checks it.
#include "base/ResultCodes.h"
#include "cli/CliChecks.h"
#include "cli/CliCommand.h"
#include "cli/CliPass.h"
#include "outputs/QualityOutput.h"
#include "recalc/TrackConverter.h"

#include <memory>

namespace
{
constexpr const char* kQualityNote =
    "Figures: the records of each case (computed, held, few, unterminated) with their share; the median,\n"
    "95th percentile (p95) and largest position distance and heading difference over computed records;\n"
    "steps of the stored position longer than --jump pixels between consecutive records, with the five\n"
    "largest; the longest run of records without a computed center. Percentiles interpolate linearly\n"
    "between the closest ranks, as numpy's and pandas' default does. Values that do not exist read "
    "\"none\".\n"
    "The table (--csv) has a row a record; its step_px is empty for record 0, which has no previous record.";

struct QualityArgs
{
    std::string path;
    QualityOptions options;
    std::string csvPath;
};

int RunQuality(const QualityArgs& args)
{
    // Nothing is opened when the band is refused.
    if (!ValidateTargetDistances(args.options.minDistance, args.options.maxDistance))
        return kExitFailed;
    CCliPass pass("quality");
    if (pass.Open(args.path) != kOk)
        return kExitFailed; // the reader has said why
    CQualityOutput quality(QualityDestination{{}, args.csvPath}, args.options);
    ITrackOutput* outputs[] = {&quality};
    if (pass.Run(outputs) != kOk)
        return kExitFailed; // told
    PrintLines(quality.SummaryLines());
    return kExitOk;
}

CliRun AddQuality(CLI::App& command)
{
    auto args = std::make_shared<QualityArgs>();
    command.add_option("FILE", args->path, "the tracker file")->required();
    AddWholeNumber(command, "--min", args->options.minDistance, "N",
                   "least distance between targets (default 10)");
    AddWholeNumber(command, "--max", args->options.maxDistance, "N",
                   "greatest distance between targets (default 100)");
    AddWholeNumber(command, "--jump", args->options.jumpPx, "PX",
                   "steps longer than this are jumps (default 40 pixels: 2,400 a second)");
    command.add_option("--csv", args->csvPath, "also write one row per record to this CSV file")
        ->type_name("OUT.csv")
        ->check(NonEmpty());
    command.footer(std::string(kQualityNote) + "\n\n" + command.get_footer());
    return [args] { return RunQuality(*args); };
}

const CCliCommandRegistration kRegisterQuality(
    {"quality", "how far stored positions and headings are from the targets, and where tracking failed",
     &AddQuality});
} // namespace
