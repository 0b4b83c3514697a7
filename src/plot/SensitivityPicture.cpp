#include "plot/SensitivityPicture.h"

#include "plot/LabelFont.h"
#include "plot/PixelWalks.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace
{
// Layout, in plot pixels.
constexpr std::int32_t kTitleGap = 16;       // from the title's last line to the panels
constexpr std::int32_t kPanelGapAcross = 32; // between panels: wider than between a panel's charts
constexpr std::int32_t kPanelGapDown = 18;
constexpr std::int32_t kNameGap = 6;     // from the region's name to its charts
constexpr std::int32_t kAxisGap = 3;     // from a data area to its axes, clear of the points
constexpr std::int32_t kTickLength = 3;  // the marks, outside the axes
constexpr std::int32_t kTickTextGap = 2; // from a mark to its label
constexpr std::int32_t kChartGap = 12;   // from the left chart to the right one's axis
constexpr std::int32_t kPointHalf = 1;   // a point is 3 x 3
constexpr std::int32_t kRingHalf = 3;    // the current point's ring, a pixel clear of the point
constexpr std::int32_t kDashRows = 2;    // the current value's line: 2 rows drawn, 2 left
constexpr std::uint64_t kScaleTicks = 2; // 0, the step and the top
constexpr std::size_t kValueTicks = 2;   // the grid's ends and its middle

constexpr Rgb kNoteInk{110, 110, 110};

constexpr std::uint64_t kStepMultiples[] = {1, 2, 5};
constexpr std::uint64_t kTen = 10;

constexpr SensitivityParameter kParameters[] = {SensitivityParameter::MinVisit, SensitivityParameter::Margin};

const char* const kCaptions[] = {"min visit (s)", "margin (px)"};
const char* const kNoEntries = "no entries";
const char* const kNoRegions = "no regions";

static_assert((kSensitivityChartWidth - 1) % (kSensitivityMinVisitCount - 1) == 0 &&
                  (kSensitivityChartWidth - 1) % (kSensitivityMarginCount - 1) == 0,
              "every grid value lands on a whole column");

std::int32_t ChartRow(const Rect& chart, std::uint64_t entries, std::uint64_t top)
{
    assert(top > 0 && entries <= top && "entries within the scale");
    const auto span = static_cast<std::uint64_t>(kSensitivityChartHeight - 1);
    const std::uint64_t rise = (2 * entries * span + top) / (2 * top); // rounded, half up
    return chart.bottom - 1 - static_cast<std::int32_t>(rise);
}

std::int32_t AxisColumn(const Rect& chart)
{
    return chart.left - kAxisGap - 1;
}

std::int32_t AxisRow(const Rect& chart)
{
    return chart.bottom + kAxisGap;
}

std::uint64_t LargestEntries(const RegionSensitivity& region)
{
    std::uint64_t largest = 0;
    for (const SensitivityParameter parameter : kParameters)
        for (const SensitivityFigures& figures : region.Series(parameter))
            largest = std::max(largest, figures.entries);
    return largest;
}

std::string RegionTitle(const RegionSensitivity& region)
{
    const std::string name = PrintableText(region.name);
    return name.empty() ? "region " + std::to_string(region.region) : name;
}

// The panel's size and where its name and charts lie from its top-left corner, given the room
// the widest scale label of the picture needs.
struct PanelFrame
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::array<Rect, 2> charts; // from the panel's corner
};

PanelFrame FramePanel(std::int32_t labelRoom)
{
    PanelFrame frame;
    const std::int32_t top = kLabelFontHeight + kNameGap;
    const std::int32_t left = labelRoom + kTickTextGap + kTickLength + kAxisGap + 1;
    frame.charts[0] = Rect{left, top, left + kSensitivityChartWidth, top + kSensitivityChartHeight};
    const std::int32_t secondLeft =
        frame.charts[0].right + kPointHalf + kChartGap + kTickLength + kAxisGap + 1;
    frame.charts[1] =
        Rect{secondLeft, top, secondLeft + kSensitivityChartWidth, top + kSensitivityChartHeight};
    frame.width = frame.charts[1].right + kPointHalf + 1;
    frame.height =
        AxisRow(frame.charts[1]) + 1 + kTickLength + kTickTextGap + kPaperLineStep + kLabelFontHeight;
    return frame;
}

void DrawDot(CScaledPainter& painter, Point at, std::int32_t half, Rgb colour)
{
    painter.Fill(Rect{at.x - half, at.y - half, at.x + half + 1, at.y + half + 1}, colour);
}

void DrawAxes(CScaledPainter& painter, const Rect& chart, SensitivityParameter parameter, std::uint64_t top,
              bool withScaleLabels)
{
    const std::int32_t axisX = AxisColumn(chart);
    const std::int32_t axisY = AxisRow(chart);
    painter.Fill(Rect{axisX, chart.top - kAxisGap, axisX + 1, axisY + 1}, kPaperFrame);
    painter.Fill(Rect{axisX, axisY, chart.right + kPointHalf + 1, axisY + 1}, kPaperFrame);
    for (std::uint64_t k = 0; k <= kScaleTicks; ++k)
    {
        const std::uint64_t entries = top / kScaleTicks * k;
        const std::int32_t row = ChartRow(chart, entries, top);
        painter.Fill(Rect{axisX - kTickLength, row, axisX, row + 1}, kPaperFrame);
        if (!withScaleLabels)
            continue;
        const std::string label = std::to_string(entries);
        painter.Text(Point{axisX - kTickLength - kTickTextGap - LabelTextWidth(label), row - kDigitMiddleRow},
                     label, kPaperInk);
    }
    const std::size_t last = SensitivityValueCount(parameter) - 1;
    for (std::size_t tick = 0; tick <= kValueTicks; ++tick)
    {
        const std::size_t k = last / kValueTicks * tick;
        const std::int32_t column = SensitivityPointAt(chart, parameter, k, 0, top).x;
        painter.Fill(Rect{column, axisY + 1, column + 1, axisY + 1 + kTickLength}, kPaperFrame);
        const std::string label = FormatSensitivityValue(parameter, k);
        painter.Text(Point{column - LabelTextWidth(label) / 2, axisY + 1 + kTickLength + kTickTextGap}, label,
                     kPaperInk);
    }
    const std::string caption = kCaptions[SensitivityChartSlot(parameter)];
    const std::int32_t middle = (chart.left + chart.right) / 2;
    painter.Text(
        Point{middle - LabelTextWidth(caption) / 2, axisY + 1 + kTickLength + kTickTextGap + kPaperLineStep},
        caption, kPaperInk);
}

void DrawChart(CScaledPainter& painter, const SensitivityResult& result, const RegionSensitivity& region,
               const Rect& chart, SensitivityParameter parameter, std::uint64_t top)
{
    const std::optional<std::int32_t> current = SensitivityCurrentColumn(chart, result, parameter);
    if (current)
        for (std::int32_t row = chart.top; row < chart.bottom; ++row)
            if ((row - chart.top) % (2 * kDashRows) < kDashRows)
                painter.Fill(Rect{*current, row, *current + 1, row + 1}, kSensitivityCurrentColour);
    DrawAxes(painter, chart, parameter, top, parameter == kParameters[0]);

    const std::span<const SensitivityFigures> series = region.Series(parameter);
    std::vector<Point> points;
    for (std::size_t k = 0; k < series.size(); ++k)
        points.push_back(SensitivityPointAt(chart, parameter, k, series[k].entries, top));
    for (std::size_t k = 1; k < points.size(); ++k)
        WalkLine(points[k - 1].x, points[k - 1].y, points[k].x, points[k].y,
                 [&painter](std::int64_t x, std::int64_t y)
                 {
                     const auto px = static_cast<std::int32_t>(x);
                     const auto py = static_cast<std::int32_t>(y);
                     painter.Fill(Rect{px, py, px + 1, py + 1}, kSensitivitySeriesColour);
                 });
    for (const Point& point : points)
        DrawDot(painter, point, kPointHalf, kSensitivitySeriesColour);
    if (const std::optional<std::size_t> k = result.CurrentIndex(parameter))
    {
        const Point& at = points[*k];
        painter.Frame(Rect{at.x - kRingHalf, at.y - kRingHalf, at.x + kRingHalf + 1, at.y + kRingHalf + 1},
                      kSensitivityCurrentColour);
    }
}

void DrawPanel(CScaledPainter& painter, const SensitivityResult& result, const RegionSensitivity& region,
               const SensitivityPanel& panel)
{
    painter.Text(Point{panel.box.left, panel.box.top},
                 FitText(RegionTitle(region), panel.box.right - panel.box.left), kPaperInk);
    const bool empty = LargestEntries(region) == 0;
    for (const SensitivityParameter parameter : kParameters)
    {
        const Rect& chart = panel.charts[SensitivityChartSlot(parameter)];
        DrawChart(painter, result, region, chart, parameter, panel.top);
        if (empty)
            painter.Text(Point{(chart.left + chart.right - LabelTextWidth(kNoEntries)) / 2,
                               chart.top + (kSensitivityChartHeight - kLabelFontHeight) / 2},
                         kNoEntries, kNoteInk);
    }
}
} // namespace

std::size_t SensitivityChartSlot(SensitivityParameter parameter)
{
    return parameter == SensitivityParameter::MinVisit ? 0 : 1;
}

std::uint64_t SensitivityScaleTop(std::uint64_t largest)
{
    for (std::uint64_t power = 1;; power *= kTen)
        for (const std::uint64_t multiple : kStepMultiples)
        {
            const std::uint64_t step = multiple * power;
            if (kScaleTicks * step >= largest)
                return kScaleTicks * step;
        }
}

Point SensitivityPointAt(const Rect& chart, SensitivityParameter parameter, std::size_t k,
                         std::uint64_t entries, std::uint64_t top)
{
    const auto columnsPerValue =
        static_cast<std::int32_t>((kSensitivityChartWidth - 1) / (SensitivityValueCount(parameter) - 1));
    return Point{chart.left + static_cast<std::int32_t>(k) * columnsPerValue, ChartRow(chart, entries, top)};
}

std::optional<std::int32_t> SensitivityCurrentColumn(const Rect& chart, const SensitivityResult& result,
                                                     SensitivityParameter parameter)
{
    if (const std::optional<std::size_t> k = result.CurrentIndex(parameter))
        return SensitivityPointAt(chart, parameter, *k, 0, 1).x;
    const double value = result.CurrentValue(parameter);
    const double last = SensitivityValue(parameter, SensitivityValueCount(parameter) - 1);
    if (!(value >= 0.0 && value <= last))
        return std::nullopt;
    return chart.left + static_cast<std::int32_t>(std::lround(value / last * (kSensitivityChartWidth - 1)));
}

std::vector<std::string> SensitivitySubtitle(const SensitivityResult& result)
{
    return {"entries per region against the minimum visit (left, at the current margin, merge gap " +
                FormatShortest(result.mergeGapSeconds) + " s) and the margin (right)",
            "current settings, dashed: minimum visit " + FormatShortest(result.minVisitSeconds) +
                " s, margin " + std::to_string(result.margin) + " px"};
}

SensitivityLayout LayOutSensitivityPicture(const SensitivityResult& result,
                                           const SensitivityPictureOptions& options)
{
    SensitivityLayout layout;
    layout.title = Point{kPaperMargin, kPaperMargin};
    std::int32_t titleWidth = LabelTextWidth(PrintableText(options.fileName));
    const std::vector<std::string> subtitle = SensitivitySubtitle(result);
    for (const std::string& line : subtitle)
        titleWidth = std::max(titleWidth, LabelTextWidth(line));
    const std::int32_t gridTop =
        kPaperMargin + static_cast<std::int32_t>(1 + subtitle.size()) * kPaperLineStep + kTitleGap;

    std::vector<std::uint64_t> tops;
    std::int32_t labelRoom = 0;
    for (const RegionSensitivity& region : result.regions)
    {
        tops.push_back(SensitivityScaleTop(LargestEntries(region)));
        labelRoom = std::max(labelRoom, LabelTextWidth(std::to_string(tops.back())));
    }
    const auto count = static_cast<std::int32_t>(result.regions.size());
    if (count == 0)
    {
        layout.width = kPaperMargin + std::max(titleWidth, LabelTextWidth(kNoRegions)) + kPaperMargin;
        layout.height = gridTop + kLabelFontHeight + kPaperMargin;
        return layout;
    }
    layout.columns = std::min(count, kSensitivityPanelColumns);
    layout.rows = (count + layout.columns - 1) / layout.columns;
    const PanelFrame frame = FramePanel(labelRoom);
    for (std::int32_t j = 0; j < count; ++j)
    {
        const Point corner{kPaperMargin + (j % layout.columns) * (frame.width + kPanelGapAcross),
                           gridTop + (j / layout.columns) * (frame.height + kPanelGapDown)};
        SensitivityPanel panel;
        panel.box = Rect{corner.x, corner.y, corner.x + frame.width, corner.y + frame.height};
        for (std::size_t slot = 0; slot < panel.charts.size(); ++slot)
        {
            const Rect& chart = frame.charts[slot];
            panel.charts[slot] = Rect{chart.left + corner.x, chart.top + corner.y, chart.right + corner.x,
                                      chart.bottom + corner.y};
        }
        panel.top = tops[static_cast<std::size_t>(j)];
        layout.panels.push_back(panel);
    }
    const std::int32_t gridWidth = layout.columns * frame.width + (layout.columns - 1) * kPanelGapAcross;
    layout.width = kPaperMargin + std::max(titleWidth, gridWidth) + kPaperMargin;
    layout.height = gridTop + layout.rows * frame.height + (layout.rows - 1) * kPanelGapDown + kPaperMargin;
    return layout;
}

CRgbRaster DrawSensitivityPicture(const SensitivityResult& result, const SensitivityPictureOptions& options)
{
    const std::int32_t scale = std::clamp(options.scale, kMinSensitivityScale, kMaxSensitivityScale);
    const SensitivityLayout layout = LayOutSensitivityPicture(result, options);
    CRgbRaster raster(layout.width * scale, layout.height * scale, kPaperBackground);
    CScaledPainter painter(raster, scale);

    std::vector<std::string> title = SensitivitySubtitle(result);
    title.insert(title.begin(), PrintableText(options.fileName));
    painter.TextLines(layout.title, title, kPaperInk);
    if (layout.panels.empty())
    {
        painter.Text(
            Point{layout.title.x,
                  layout.title.y + static_cast<std::int32_t>(title.size()) * kPaperLineStep + kTitleGap},
            kNoRegions, kPaperInk);
        return raster;
    }
    for (std::size_t j = 0; j < layout.panels.size(); ++j)
        DrawPanel(painter, result, result.regions[j], layout.panels[j]);
    return raster;
}
