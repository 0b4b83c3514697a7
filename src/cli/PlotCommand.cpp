// tracktool plot and tracktool frame: what the window's plot area shows after an entire-track plot
// or after a step to one record, drawn on a 640 x 480 surface and saved as the Save Plot command
// saves it, or as PNG when the output's name ends in .png; --scale enlarges it for print. The plot
// is the entire-track plot output (outputs/TrackPlotOutput.h) of one pass over the track.
#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "cli/CliChecks.h"
#include "cli/CliCommand.h"
#include "cli/CliPass.h"
#include "cli/RegionOptions.h"
#include "outputs/OutputLimits.h"
#include "outputs/PictureFile.h"
#include "outputs/TrackPlotOutput.h"
#include "plot/TrackPlot.h"
#include "trackfile/TrackFile.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace
{
constexpr std::int32_t kToolPlotWidth = 640;
constexpr std::int32_t kToolPlotHeight = 480;

// The arguments of both commands; plot uses everyNth, frame the record, the view and the filter.
struct PlotArgs
{
    std::string path;
    std::string out;
    CRegionOptions regions;
    std::optional<std::int32_t> selected; // by default the last region given
    std::uint32_t everyNth = kDefaultPlotEvery;
    std::uint32_t index = 0;
    ViewMode view = ViewMode::Points;
    ColorFilter filter;
    std::int32_t scale = kDefaultPlotScale; // pixels per plot pixel in the file
};

// LIST: names of the switches to turn on, all others off; an empty list turns every one off.
std::optional<ColorFilter> ParseColors(const std::string& text)
{
    ColorFilter filter{false, false, false, false, false, false, false};
    if (text.empty())
        return filter;
    const std::pair<const char*, bool ColorFilter::*> switches[] = {
        {"RR", &ColorFilter::rr},  {"PR", &ColorFilter::pr}, {"RG", &ColorFilter::rg},
        {"PG", &ColorFilter::pg},  {"RB", &ColorFilter::rb}, {"PB", &ColorFilter::pb},
        {"Lum", &ColorFilter::lum}};
    std::size_t start = 0;
    while (start <= text.size())
    {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string name = text.substr(start, comma - start);
        const auto* found = std::find_if(std::begin(switches), std::end(switches),
                                         [&name](const auto& entry) { return name == entry.first; });
        if (found == std::end(switches))
            return std::nullopt;
        filter.*(found->second) = true;
        start = comma + 1;
    }
    return filter;
}

// The regions (given one by one or as a layout), the selection and the scale: the arguments both
// commands share, declared after each command's own so that the usage lines read as before.
void AddRegionsAndSelection(CLI::App& command, const std::shared_ptr<PlotArgs>& args)
{
    args->regions.AddTo(command, RegionNaming::Unnamed);
    args->regions.AddLayoutTo(command);
    command
        .add_option_function<std::int32_t>(
            "--selected", [args](std::int32_t selected) { args->selected = selected; },
            "the selected region (default: the last --region given, or a layout's first; -1 = none)")
        ->type_name("K")
        ->transform(WholeNumber(-1, static_cast<std::int64_t>(kMaxRegions) - 1));
    AddWholeNumber(command, "--scale", args->scale, "K",
                   "pixels per plot pixel in the file, for print (default 1: the plot as it shows)", 1,
                   kMaxPictureScale);
}

constexpr const char* kOutDescription = "the picture to write: PNG when the name ends in .png, else a bitmap";

int RunPlot(PlotArgs& args)
{
    CCliPass pass("plot");
    if (pass.Open(args.path) != kOk)
        return kExitFailed; // the reader has said why
    if (args.regions.Load() != kOk)
        return kExitFailed; // the layout's fault has been told
    CTrackPlotOutput plot(args.out, args.regions.Table(), PlotSettings{args.everyNth, args.scale},
                          LongPlot::Ask, args.selected);
    ITrackOutput* outputs[] = {&plot};
    return pass.Run(outputs) == kOk ? kExitOk : kExitFailed;
}

int RunFrame(PlotArgs& args)
{
    CTrackFile reader;
    if (reader.Open(args.path) != kOk)
        return kExitFailed;
    if (args.regions.Load() != kOk)
        return kExitFailed; // the layout's fault has been told
    if (args.index >= reader.GetRecordCount())
    {
        ShowMessage("tracktool frame: no record " + std::to_string(args.index) + " (the file has " +
                    std::to_string(reader.GetRecordCount()) + ")");
        return kExitFailed;
    }
    CDrawingSurface surface(kToolPlotWidth, kToolPlotHeight);
    CTrackPlot plot;
    plot.Attach(&surface, kToolPlotWidth, kToolPlotHeight, &reader);
    TrackRecord record;
    if (plot.ShowRecord(record, args.index, args.regions.Rects(), args.regions.Shapes(), args.regions.Count(),
                        SelectedRegionOf(args.regions.Table(), args.selected), args.filter, args.view) != kOk)
        return kExitFailed; // the reader has said why
    CPictureFile picture(args.out, args.scale);
    Problem problem = picture.Prepare();
    if (problem.IsOk())
        problem = picture.Write(ViewOf(surface));
    Tell(problem);
    return problem.IsOk() ? kExitOk : kExitFailed;
}

CliRun AddPlot(CLI::App& command)
{
    auto args = std::make_shared<PlotArgs>();
    command.add_option("FILE", args->path, "the tracker file")->required();
    command.add_option("OUT", args->out, kOutDescription)->required();
    AddWholeNumber(command, "--every", args->everyNth, "N",
                   "every Nth record (default 60, 0 = every record)");
    AddRegionsAndSelection(command, args);
    return [args] { return RunPlot(*args); };
}

CliRun AddFrame(CLI::App& command)
{
    auto args = std::make_shared<PlotArgs>();
    command.add_option("FILE", args->path, "the tracker file")->required();
    AddWholeNumber(command, "INDEX", args->index, "INDEX", "the record to show, from 0")->required();
    command.add_option("OUT", args->out, kOutDescription)->required();
    command.add_flag_callback(
        "--targets", [args] { args->view = ViewMode::Targets; }, "show the targets instead of the points");
    command
        .add_option_function<std::string>(
            "--colors",
            [args](const std::string& text)
            {
                const auto filter = ParseColors(text);
                if (!filter)
                    throw CLI::ValidationError("--colors",
                                               "'" + text + "' is not a list of RR,PR,RG,PG,RB,PB,Lum");
                args->filter = *filter;
            },
            "the colour switches to leave on, comma-separated from RR,PR,RG,PG,RB,PB,Lum (default all)")
        ->type_name("LIST");
    AddRegionsAndSelection(command, args);
    return [args] { return RunFrame(*args); };
}

const CCliCommandRegistration kRegisterPlot(
    {"plot", "entire-track plot as a 640 x 480 picture, as the window's Plot Now shows it", &AddPlot});
const CCliCommandRegistration
    kRegisterFrame({"frame", "record INDEX as a step to it shows it, as a 640 x 480 picture", &AddFrame});
} // namespace
