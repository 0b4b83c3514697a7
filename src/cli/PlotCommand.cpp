// tracktool plot and tracktool frame: what the window's plot area shows after an entire-track plot
// or after a step to one record, drawn on a 640 x 480 surface and saved as the Save Plot command
// saves it.
#include "base/MessageSink.h"
#include "cli/CliCommand.h"
#include "plot/BitmapFile.h"
#include "plot/TrackPlot.h"
#include "trackfile/TrackFile.h"

#include <cstdio>
#include <limits>
#include <vector>

namespace
{
int RunPlot(const std::vector<std::string>& args);
int RunFrame(const std::vector<std::string>& args);

const CliCommand kPlot{
    "plot",
    "FILE OUT.bmp [--every N] [--region L,T,R,B]... [--selected K]\n"
    "           N: every Nth record (default 60, 0 = every record); K: the selected region, by "
    "default the last --region given (-1 = none)",
    "entire-track plot as a 640 x 480 bitmap, as the window's Plot Now shows it", &RunPlot};
const CliCommand kFrame{
    "frame",
    "FILE INDEX OUT.bmp [--targets] [--colors LIST] [--region L,T,R,B]... [--selected K]\n"
    "           LIST: comma-separated subset of RR,PR,RG,PG,RB,PB,Lum (default all on); K as for plot",
    "record INDEX as a step to it shows it, as a 640 x 480 bitmap", &RunFrame};
const CCliCommandRegistration kRegisterPlot(kPlot);
const CCliCommandRegistration kRegisterFrame(kFrame);

constexpr std::int32_t kToolPlotWidth = 640;
constexpr std::int32_t kToolPlotHeight = 480;
constexpr std::uint32_t kDefaultEveryNth = 60;

// Messages go to stderr; the long-plot question is answered Yes, as a user who asked for the plot.
class CToolMessageSink final : public IMessageSink
{
public:
    void ShowMessage(std::string_view text) override
    {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
    bool AskYesNo(std::string_view text) override
    {
        std::fprintf(stderr, "%.*s [Yes]\n", static_cast<int>(text.size()), text.data());
        return true;
    }
    std::optional<std::string> AskFileName(const FileDialogRequest&) override { return std::nullopt; }
};

// Options shared by both commands.
struct PlotOptions
{
    std::vector<std::string> positional;
    std::vector<Rect> regions;
    std::optional<std::int32_t> selected;
    std::uint32_t everyNth = kDefaultEveryNth;
    bool targets = false;
    ColorFilter filter;
};

std::optional<Rect> ParseRegion(const std::string& text)
{
    std::int32_t values[4] = {};
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i)
    {
        const std::size_t comma = text.find(',', start);
        if ((i < 3) != (comma != std::string::npos))
            return std::nullopt;
        const auto value = ParseCliSigned(
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!value)
            return std::nullopt;
        values[i] = static_cast<std::int32_t>(*value);
        start = comma + 1;
    }
    return Rect{values[0], values[1], values[2], values[3]};
}

// LIST: names of the switches to turn on, all others off; an empty list turns every one off.
std::optional<ColorFilter> ParseColors(const std::string& text)
{
    ColorFilter filter{false, false, false, false, false, false, false};
    std::size_t start = 0;
    while (start <= text.size() && !text.empty())
    {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        const std::string name = text.substr(start, comma - start);
        if (name == "RR")
            filter.rr = true;
        else if (name == "PR")
            filter.pr = true;
        else if (name == "RG")
            filter.rg = true;
        else if (name == "PG")
            filter.pg = true;
        else if (name == "RB")
            filter.rb = true;
        else if (name == "PB")
            filter.pb = true;
        else if (name == "Lum")
            filter.lum = true;
        else
            return std::nullopt;
        start = comma + 1;
    }
    return filter;
}

// Parses the arguments; a usage error's exit code, or nothing when they are fine.
std::optional<int> ParseOptions(const CliCommand& command, const std::vector<std::string>& args,
                                bool frameOptions, PlotOptions& options)
{
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--region" && hasValue)
        {
            const auto region = ParseRegion(args[++i]);
            if (!region)
                return CliUsageError(command, "not a region L,T,R,B: " + args[i]);
            if (options.regions.size() == static_cast<std::size_t>(kMaxRegions))
                return CliUsageError(command, "at most 50 regions");
            options.regions.push_back(*region);
        }
        else if (arg == "--selected" && hasValue)
        {
            const auto value = ParseCliSigned(args[++i]);
            if (!value || *value < -1 || *value >= kMaxRegions)
                return CliUsageError(command, "not a region index (-1 to 49): " + args[i]);
            options.selected = static_cast<std::int32_t>(*value);
        }
        else if (!frameOptions && arg == "--every" && hasValue)
        {
            const auto value = ParseCliUnsigned(args[++i], std::numeric_limits<std::uint32_t>::max());
            if (!value)
                return CliUsageError(command, "not a whole number: " + args[i]);
            options.everyNth = static_cast<std::uint32_t>(*value);
        }
        else if (frameOptions && arg == "--targets")
            options.targets = true;
        else if (frameOptions && arg == "--colors" && hasValue)
        {
            const auto filter = ParseColors(args[++i]);
            if (!filter)
                return CliUsageError(command, "not a list of RR,PR,RG,PG,RB,PB,Lum: " + args[i]);
            options.filter = *filter;
        }
        else if (!arg.empty() && arg[0] == '-')
            return CliUsageError(command, "unknown or incomplete option " + arg);
        else
            options.positional.push_back(arg);
    }
    return std::nullopt;
}

std::int32_t SelectedRegion(const PlotOptions& options)
{
    return options.selected.value_or(static_cast<std::int32_t>(options.regions.size()) - 1);
}

int SaveBitmap(const CDrawingSurface& surface, const std::string& out)
{
    return WriteSurfaceBitmap(surface, kToolPlotWidth, kToolPlotHeight, out) == 0 ? kExitOk : kExitFailed;
}

int RunPlot(const std::vector<std::string>& args)
{
    PlotOptions options;
    if (const auto usage = ParseOptions(kPlot, args, false, options))
        return *usage;
    if (options.positional.size() != 2)
        return CliUsageError(kPlot, "expected FILE and OUT.bmp");

    CToolMessageSink sink;
    CScopedMessageSink scopedSink(sink);
    CTrackFile reader;
    if (reader.Open(options.positional[0]) != 0)
        return kExitFailed;
    CDrawingSurface surface(kToolPlotWidth, kToolPlotHeight);
    CTrackPlot plot;
    plot.Attach(&surface, kToolPlotWidth, kToolPlotHeight, &reader);
    const int plotted =
        plot.PlotEntireTrack(options.regions.data(), static_cast<std::int32_t>(options.regions.size()),
                             SelectedRegion(options), options.everyNth);
    // A record that cannot be read ends the plot; the picture so far is still saved.
    const int saved = SaveBitmap(surface, options.positional[1]);
    return plotted == 0 ? saved : kExitFailed;
}

int RunFrame(const std::vector<std::string>& args)
{
    PlotOptions options;
    if (const auto usage = ParseOptions(kFrame, args, true, options))
        return *usage;
    if (options.positional.size() != 3)
        return CliUsageError(kFrame, "expected FILE, INDEX and OUT.bmp");
    const auto index = ParseCliUnsigned(options.positional[1], std::numeric_limits<std::uint32_t>::max());
    if (!index)
        return CliUsageError(kFrame, "not a record index: " + options.positional[1]);

    CToolMessageSink sink;
    CScopedMessageSink scopedSink(sink);
    CTrackFile reader;
    if (reader.Open(options.positional[0]) != 0)
        return kExitFailed;
    if (*index >= reader.GetRecordCount())
    {
        std::fprintf(stderr, "tracktool frame: no record %lu (the file has %u)\n", *index,
                     static_cast<unsigned>(reader.GetRecordCount()));
        return kExitFailed;
    }
    CDrawingSurface surface(kToolPlotWidth, kToolPlotHeight);
    CTrackPlot plot;
    plot.Attach(&surface, kToolPlotWidth, kToolPlotHeight, &reader);
    TrackRecord record;
    if (plot.ShowRecord(record, static_cast<std::uint32_t>(*index), options.regions.data(),
                        static_cast<std::int32_t>(options.regions.size()), SelectedRegion(options),
                        options.filter, options.targets ? ViewMode::Targets : ViewMode::Points) != 0)
        return kExitFailed; // the reader has said why
    return SaveBitmap(surface, options.positional[2]);
}
} // namespace
