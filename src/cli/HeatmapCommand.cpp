// tracktool heatmap: the occupancy heatmap of a tracker file as a PNG picture for a paper, and on
// request its matrix as CSV, from one pass of the block reader. The picture and the matrix are
// committed together or not at all. Prints the time binned and the records off the plot.
//
// Exit status: 2 for a malformed command line (a bin under 1 pixel, a negative sigma, a top of the
// scale that is not positive, a scale outside 1 to 8, a picture whose name does not end in .png,
// the matrix given the picture's name, or --layout with --region); 1 when the file or the layout
// cannot be read or an output cannot be written; else 0.
#include "base/ResultCodes.h"
#include "cli/CliChecks.h"
#include "cli/CliCommand.h"
#include "cli/CliPass.h"
#include "cli/DecimalChecks.h"
#include "cli/RegionOptions.h"
#include "outputs/HeatmapOutput.h"
#include "outputs/OutputLimits.h"
#include "plot/PngFile.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

namespace
{

struct HeatmapArgs
{
    std::string path;
    HeatmapDestination destination;
    HeatmapSettings settings;
    std::optional<double> sigma;
    CRegionOptions regions;
};

// Whether two names lead to one file ("a.png" and "./a.png"), whether it exists yet or not.
bool NameSameFile(const std::string& a, const std::string& b)
{
    std::error_code errorA;
    std::error_code errorB;
    const std::filesystem::path pathA = std::filesystem::weakly_canonical(a, errorA);
    const std::filesystem::path pathB = std::filesystem::weakly_canonical(b, errorB);
    return a == b || (!errorA && !errorB && pathA == pathB);
}

int RunHeatmap(HeatmapArgs& args)
{
    CCliPass pass("heatmap");
    if (pass.Open(args.path) != kOk)
        return kExitFailed; // the reader has said why
    if (args.regions.Load() != kOk)
        return kExitFailed; // the layout's fault has been told
    args.settings.sigmaBins = args.sigma.value_or(0.0);
    CHeatmapOutput heatmap(args.destination, args.settings, HeatmapRegionsOf(args.regions.Table()));
    ITrackOutput* outputs[] = {&heatmap};
    if (pass.Run(outputs) != kOk)
        return kExitFailed; // told, naming the file
    PrintLines(heatmap.SummaryLines());
    return kExitOk;
}

CliRun AddHeatmap(CLI::App& command)
{
    auto args = std::make_shared<HeatmapArgs>();
    command.add_option("FILE", args->path, "the tracker file")->required();
    command.add_option("OUT.png", args->destination.picturePath, "the picture to write (PNG)")
        ->required()
        ->check(CLI::Validator(
            [](const std::string& text) -> std::string
            { return HasPngExtension(text) ? std::string() : "'" + text + "' does not end in .png"; },
            std::string()));
    AddWholeNumber(command, "--bin", args->settings.binPixels, "PX",
                   "the bins' size in plot pixels (default 10)", 1, kMaxBinPixels);
    AddDecimal(command, "--sigma", args->sigma, "BINS",
               "Gaussian smoothing, its sigma in bins (default 0: none)", 0.0, LowerBound::Included,
               kMaxSigmaBins);
    AddDecimal(command, "--vmax", args->settings.vmax, "SECONDS",
               "the top of the colour scale, so that pictures compare (default: the largest bin)", 0.0,
               LowerBound::Excluded, kMaxScaleSeconds);
    args->regions.AddTo(command, RegionNaming::Named);
    args->regions.AddLayoutTo(command);
    command
        .add_option("--csv", args->destination.matrixPath,
                    "also write the matrix: seconds per bin, a line per bin row from the top")
        ->type_name("OUT.csv")
        ->check(NonEmpty());
    AddWholeNumber(command, "--scale", args->settings.scale, "K",
                   "pixels per plot pixel, for print (default 2)", kMinHeatmapScale, kMaxHeatmapScale);
    command.callback(
        [args]
        {
            const HeatmapDestination& destination = args->destination;
            if (!destination.matrixPath.empty() &&
                NameSameFile(destination.matrixPath, destination.picturePath))
                throw CLI::ValidationError("--csv", "the matrix cannot be written to the picture's file");
        });
    return [args] { return RunHeatmap(*args); };
}

const CCliCommandRegistration kRegisterHeatmap(
    {"heatmap", "occupancy heatmap as a PNG picture with a colour bar in seconds, and its matrix as CSV",
     &AddHeatmap});
} // namespace
