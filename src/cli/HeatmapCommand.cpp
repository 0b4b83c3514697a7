// tracktool heatmap: the occupancy heatmap of a tracker file as a PNG picture for a paper, and on
// request its matrix as CSV, from one pass of the block reader. The picture and the matrix are
// committed together or not at all. Prints the time binned and the records off the plot.
//
// Exit status: 2 for a malformed command line (a bin under 1 pixel, a negative sigma, a top of the
// scale that is not positive, a scale outside 1 to 8, a picture whose name does not end in .png,
// the matrix given the picture's name, or --layout with --region); 1 when the file or the layout
// cannot be read or an output cannot be written; else 0.
#include "analysis/Occupancy.h"
#include "base/CsvBuilder.h"
#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "cli/CliChecks.h"
#include "cli/CliCommand.h"
#include "cli/CliProgress.h"
#include "cli/DecimalChecks.h"
#include "cli/PictureLimits.h"
#include "cli/RegionOptions.h"
#include "plot/HeatmapFiles.h"
#include "plot/HeatmapPicture.h"
#include "plot/PngFile.h"
#include "trackfile/BlockReader.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace
{

struct HeatmapArgs
{
    std::string path;
    std::string out;
    std::int32_t binPixels = kDefaultBinPixels;
    std::optional<double> sigma;
    std::optional<double> vmax;
    std::string csv;
    std::int32_t scale = kDefaultHeatmapScale;
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

std::vector<HeatmapRegion> RegionsOf(const CRegionOptions& regions)
{
    return HeatmapRegionsOf(regions.Table());
}

int RunHeatmap(HeatmapArgs& args)
{
    CBlockReader reader;
    if (reader.Open(args.path) != kOk)
        return kExitFailed; // the reader has said why
    if (args.regions.Load() != kOk)
        return kExitFailed; // the layout's fault has been told
    COccupancyGrid grid(args.binPixels);
    IRecordConsumer* consumers[] = {&grid};
    const int result = RunWithProgress(reader, consumers, "heatmap");
    if (result != kOk)
        return kExitFailed; // the reader has said why

    const double sigma = args.sigma.value_or(0.0);
    const OccupancyMap map = grid.Map(sigma);
    HeatmapPictureOptions options;
    options.scale = args.scale;
    options.vmax = args.vmax;
    options.fileName = reader.Info().fileName;
    options.secondsBinned = grid.SecondsBinned();
    options.recordsOffPlot = grid.RecordsOffPlot();
    options.sigmaBins = sigma;
    options.regions = RegionsOf(args.regions);
    const CRgbRaster picture = DrawHeatmapPicture(map, options);
    if (WriteHeatmapFiles(args.out, picture.View(), args.csv, map) != kOk)
        return kExitFailed; // the message names the file
    std::printf("%s: %s s binned, %" PRIu64 " records off the plot\n", reader.Info().fileName.c_str(),
                FormatFixed6(grid.SecondsBinned()).c_str(), grid.RecordsOffPlot());
    return kExitOk;
}

CliRun AddHeatmap(CLI::App& command)
{
    auto args = std::make_shared<HeatmapArgs>();
    command.add_option("FILE", args->path, "the tracker file")->required();
    command.add_option("OUT.png", args->out, "the picture to write (PNG)")
        ->required()
        ->check(CLI::Validator(
            [](const std::string& text) -> std::string
            { return HasPngExtension(text) ? std::string() : "'" + text + "' does not end in .png"; },
            std::string()));
    AddWholeNumber(command, "--bin", args->binPixels, "PX", "the bins' size in plot pixels (default 10)", 1,
                   kMaxBinPixels);
    AddDecimal(command, "--sigma", args->sigma, "BINS",
               "Gaussian smoothing, its sigma in bins (default 0: none)", 0.0, LowerBound::Included,
               kMaxSigmaBins);
    AddDecimal(command, "--vmax", args->vmax, "SECONDS",
               "the top of the colour scale, so that pictures compare (default: the largest bin)", 0.0,
               LowerBound::Excluded, kMaxScaleSeconds);
    args->regions.AddTo(command, RegionNaming::Named);
    args->regions.AddLayoutTo(command);
    command
        .add_option("--csv", args->csv,
                    "also write the matrix: seconds per bin, a line per bin row from the top")
        ->type_name("OUT.csv")
        ->check(NonEmpty());
    AddWholeNumber(command, "--scale", args->scale, "K", "pixels per plot pixel, for print (default 2)",
                   kMinHeatmapScale, kMaxHeatmapScale);
    command.callback(
        [args]
        {
            if (!args->csv.empty() && NameSameFile(args->csv, args->out))
                throw CLI::ValidationError("--csv", "the matrix cannot be written to the picture's file");
        });
    return [args] { return RunHeatmap(*args); };
}

const CCliCommandRegistration kRegisterHeatmap(
    {"heatmap", "occupancy heatmap as a PNG picture with a colour bar in seconds, and its matrix as CSV",
     &AddHeatmap});
} // namespace
