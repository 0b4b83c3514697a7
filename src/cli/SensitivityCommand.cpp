// tracktool sensitivity: how much each region's entries and time inside depend on the entry rules,
// in one pass over the file: <track>_sensitivity.csv (the figures at minimum visits of 0 to 2 s and
// margins of 0 to 16) and <track>_sensitivity.png (a panel per region) in the output folder, and one
// line per region on stdout ("open arm: 12 entries; 9 to 12 over minimum visits 0 to 2 s, 11 to 14
// over margins 0 to 16").
//
// Exit status: 2 for a malformed command line (also no region, --layout with --region, more than
// 50 regions, an empty --out, a scale outside 1 to 8); 1 when the file or the layout cannot be read
// or a file cannot be written; else 0.
#include "base/ResultCodes.h"
#include "cli/CliChecks.h"
#include "cli/CliCommand.h"
#include "cli/CliPass.h"
#include "cli/RegionOptions.h"
#include "outputs/SensitivityOutput.h"
#include "plot/SensitivityPicture.h"

#include <memory>

namespace
{
struct SensitivityArgs
{
    std::string path;
    CRegionOptions regions;
    std::string out = ".";
    std::int32_t scale = kDefaultSensitivityScale;
};

int RunSensitivity(SensitivityArgs& args)
{
    if (args.regions.Load() != kOk)
        return kExitFailed; // the layout's fault has been told
    const int ran = RunOutputIntoFolder("sensitivity", args.path, args.out,
                                        [&](const TrackOutputPlace& place)
                                        {
                                            return std::make_unique<CSensitivityOutput>(
                                                place, args.regions.Table(), args.regions.Margin(),
                                                AnalysisSettings{}, args.scale);
                                        });
    return ran == kOk ? kExitOk : kExitFailed; // a failure has been told
}

CliRun AddSensitivity(CLI::App& command)
{
    auto args = std::make_shared<SensitivityArgs>();
    command.add_option("FILE", args->path, "the tracker file")->required();
    args->regions.AddLayoutTo(command);
    args->regions.AddTo(command, RegionNaming::Named);
    args->regions.AddMarginTo(command);
    args->regions.RequireRegions(command);
    command
        .add_option("--out", args->out,
                    "the folder to write the CSV file and the picture into, made when missing (default: the "
                    "current one)")
        ->type_name("DIR")
        ->check(NonEmpty());
    AddWholeNumber(command, "--scale", args->scale, "K",
                   "the picture's pixels per plot pixel, for print (default 2)", kMinSensitivityScale,
                   kMaxSensitivityScale);
    command.footer(
        "The figures are counted at minimum visits of 0, 0.1, ..., 2 s (at the margin given) and at\n"
        "margins of 0, 2, ..., 16 (with no minimum visit), as the visit tables of tracktool visits\n"
        "would count them; the current margin is marked in the picture.\n\n" +
        command.get_footer());
    return [args] { return RunSensitivity(*args); };
}

const CCliCommandRegistration kRegisterSensitivity(
    {"sensitivity",
     "each region's entries and time inside against the minimum visit and the margin, as CSV and PNG",
     &AddSensitivity});
} // namespace
