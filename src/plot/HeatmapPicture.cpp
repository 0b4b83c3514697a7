#include "plot/HeatmapPicture.h"

#include "base/Regions.h"
#include "plot/DrawingSurface.h"
#include "plot/LabelFont.h"
#include "plot/OccupancyColours.h"
#include "plot/PaperPicture.h"
#include "plot/Viridis.h"
#include "trackfile/Arena.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace
{
// Layout, in plot pixels.
constexpr std::int32_t kTitleGap = 28;                        // from the title's last line to the plot
constexpr std::int32_t kBarGap = 24;                          // from the plot to the colour bar
constexpr std::int32_t kBarWidth = 18;                        // the colour bar
constexpr std::int32_t kTickLength = 4;                       // the scale's marks, right of the bar
constexpr std::int32_t kTickTextGap = 3;                      // from a mark to its label
constexpr std::int32_t kHeaderGap = 8;                        // from the bar's header to the bar
constexpr std::int32_t kSwatchGap = 8;                        // from the plot to the never-visited sample
constexpr std::int32_t kSwatchSize = 12;                      // the never-visited sample
constexpr std::int32_t kLabelPadding = 2;                     // around a region's name, on its dark box
constexpr std::int32_t kTickClearance = 2 * kLabelFontHeight; // rows kept free below the top's label
constexpr int kMaxTopDecimals = 6;
constexpr int kTopSignificantDigits = 3;
constexpr int kTargetTicks = 5;
constexpr int kMaxTicks = 20; // more than any round step gives; a bound whatever the arithmetic

constexpr Rgb kOutlineLight = kWhite;
constexpr Rgb kOutlineDark = kBlack;

// log10 of a power of ten may miss it by an ulp; this much is forgiven before rounding up.
constexpr double kLogSlack = 1e-9;

const char* const kBarHeader = "seconds";
const char* const kSwatchText = "never visited";

// Decimals that show a step of the scale exactly (0.5 needs 1, 0.02 needs 2, 5 needs none).
int DecimalsOfStep(double step)
{
    if (step >= 1.0)
        return 0;
    return std::clamp(static_cast<int>(std::ceil(-std::log10(step) - kLogSlack)), 0, kMaxTopDecimals);
}

// The round step of about kTargetTicks marks below top: 1, 2 or 5 times a power of ten.
double RoundStep(double top)
{
    const double raw = top / kTargetTicks;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double residual = raw / magnitude;
    constexpr double kToTwo = 1.5;
    constexpr double kToFive = 3.5;
    constexpr double kToTen = 7.5;
    constexpr double kFive = 5.0;
    constexpr double kTen = 10.0;
    if (residual < kToTwo)
        return magnitude;
    if (residual < kToFive)
        return 2.0 * magnitude;
    if (residual < kToTen)
        return kFive * magnitude;
    return kTen * magnitude;
}

Rect Intersect(const Rect& a, const Rect& b)
{
    const Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return r.left < r.right && r.top < r.bottom ? r : Rect{};
}

// A rectangle's outline one pixel wide, only where it lies inside clip.
void FrameClipped(CScaledPainter& painter, const Rect& rect, const Rect& clip, Rgb colour)
{
    const Rect r = NormalizedRect(rect);
    if (r.left == r.right || r.top == r.bottom)
        return;
    const Rect edges[] = {{r.left, r.top, r.right, r.top + 1},
                          {r.left, r.bottom - 1, r.right, r.bottom},
                          {r.left, r.top, r.left + 1, r.bottom},
                          {r.right - 1, r.top, r.right, r.bottom}};
    for (const Rect& edge : edges)
    {
        const Rect part = Intersect(edge, clip);
        if (part.left < part.right)
            painter.Fill(part, colour);
    }
}

// A rectangle in plot coordinates moved onto the picture's plot, its sides kept within the 32-bit
// range (regions may lie anywhere).
Rect OnPicture(const Rect& rect, const Rect& plot)
{
    const Rect r = NormalizedRect(rect);
    auto shift = [](std::int32_t v, std::int32_t by)
    {
        const std::int64_t moved = std::int64_t{v} + by;
        constexpr std::int64_t kFar = std::int64_t{1} << 24; // far beyond any picture
        return static_cast<std::int32_t>(std::clamp(moved, -kFar, kFar));
    };
    return Rect{shift(r.left, plot.left), shift(r.top, plot.top), shift(r.right, plot.left),
                shift(r.bottom, plot.top)};
}

// The pixels of a circle's or polygon's outline as the plot's surface draws it (the ellipse in the
// circle's box, the polygon's edges), as a mask of the plot with a one-pixel rim around it: the rim
// holds the outline pixels just off the plot, whose dark edging still reaches onto it.
class COutlineMask
{
public:
    COutlineMask() : m_surface(kArenaWidth + 2, kArenaHeight + 2) {}

    void Draw(const RegionShape& shape)
    {
        m_surface.FillOpaque(Rect{0, 0, m_surface.Width(), m_surface.Height()}, kBlack);
        m_surface.SelectPen(kWhite);
        const auto moved = MovedShape(shape, 1, 1); // into the mask's coordinates
        if (!moved)
            return; // far beyond the plot
        if (moved->kind == ShapeKind::Circle)
        {
            const Rect box = ShapeBox(*moved);
            m_surface.Ellipse(box.left, box.top, box.right, box.bottom);
        }
        else
            m_surface.Polygon(moved->points);
    }
    // Whether plot pixel (x, y) is on the outline; -1 and the plot's size are the rim.
    [[nodiscard]] bool At(std::int32_t x, std::int32_t y) const
    {
        return m_surface.GetPixel(x + 1, y + 1) != kBlack;
    }

private:
    CDrawingSurface m_surface;
};

// A circle's or polygon's outline, edged dark on every side like a rectangle's, within the plot.
void DrawShapeOutline(CScaledPainter& painter, COutlineMask& mask, const RegionShape& shape, const Rect& plot)
{
    mask.Draw(shape);
    const auto pixel = [&plot](std::int32_t x, std::int32_t y) {
        return Rect{plot.left + x, plot.top + y, plot.left + x + 1, plot.top + y + 1};
    };
    // Only the shape's box and the pixel around it can hold its outline or edging.
    const Rect box = ShapeBox(shape);
    const auto within = [](std::int64_t v, std::int32_t size)
    { return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, size)); };
    const std::int32_t fromX = within(std::int64_t{box.left} - 1, kArenaWidth);
    const std::int32_t fromY = within(std::int64_t{box.top} - 1, kArenaHeight);
    const std::int32_t toX = within(std::int64_t{box.right} + 2, kArenaWidth);
    const std::int32_t toY = within(std::int64_t{box.bottom} + 2, kArenaHeight);
    for (std::int32_t y = fromY; y < toY; ++y)
        for (std::int32_t x = fromX; x < toX; ++x)
        {
            bool near = false;
            for (std::int32_t dy = -1; dy <= 1 && !near; ++dy)
                for (std::int32_t dx = -1; dx <= 1 && !near; ++dx)
                    near = mask.At(x + dx, y + dy);
            if (near)
                painter.Fill(pixel(x, y), mask.At(x, y) ? kOutlineLight : kOutlineDark);
        }
}

void DrawRegions(CScaledPainter& painter, const std::vector<HeatmapRegion>& regions, const Rect& plot)
{
    // Each outline is light on the region's own edge with dark lines either side, so that it shows
    // on the darkest and the brightest colours of the map.
    std::optional<COutlineMask> mask; // made for the first circle or polygon
    for (const HeatmapRegion& region : regions)
    {
        if (region.shape.kind != ShapeKind::Rectangle)
        {
            if (!mask)
                mask.emplace();
            DrawShapeOutline(painter, *mask, region.shape, plot);
            continue;
        }
        const Rect r = OnPicture(region.shape.rect, plot);
        FrameClipped(painter, InflateRect(r, 1, 1), plot, kOutlineDark);
        FrameClipped(painter, InflateRect(r, -1, -1), plot, kOutlineDark);
        FrameClipped(painter, r, plot, kOutlineLight);
    }
    // The names after every outline, so that no outline crosses a name.
    for (const HeatmapRegion& region : regions)
    {
        const Rect r = OnPicture(ShapeBox(region.shape), plot);
        const std::string name = PrintableText(region.name);
        if (name.empty() || Intersect(r, plot).left == Intersect(r, plot).right)
            continue;
        const std::int32_t width = LabelTextWidth(name) + 2 * kLabelPadding;
        const std::int32_t height = kLabelFontHeight + kLabelPadding;
        // Inside the region's top-left corner, moved as far as needed to lie wholly on the plot.
        const std::int32_t x =
            std::clamp(r.left + kLabelPadding, plot.left, std::max(plot.left, plot.right - width));
        const std::int32_t y =
            std::clamp(r.top + kLabelPadding, plot.top, std::max(plot.top, plot.bottom - height));
        painter.Fill(Intersect(Rect{x, y, x + width, y + height}, plot), kOutlineDark);
        painter.Text(Point{x + kLabelPadding, y}, name, kOutlineLight);
    }
}

void DrawBins(CScaledPainter& painter, const OccupancyMap& map, const Rect& plot, double top)
{
    const std::int64_t b = map.binPixels;
    for (std::int32_t row = 0; row < map.rows && row * b < kArenaHeight; ++row)
    {
        const auto y0 = static_cast<std::int32_t>(row * b);
        const auto y1 = static_cast<std::int32_t>(std::min<std::int64_t>(y0 + b, kArenaHeight));
        for (std::int32_t column = 0; column < map.columns && column * b < kArenaWidth; ++column)
        {
            const auto x0 = static_cast<std::int32_t>(column * b);
            const auto x1 = static_cast<std::int32_t>(std::min<std::int64_t>(x0 + b, kArenaWidth));
            painter.Fill(Rect{plot.left + x0, plot.top + y0, plot.left + x1, plot.top + y1},
                         OccupancyColour(map.At(column, row), top));
        }
    }
}

void DrawColourBar(CScaledPainter& painter, const HeatmapLayout& layout,
                   const std::vector<ColourBarTick>& ticks)
{
    const Rect& bar = layout.bar;
    const std::int32_t rows = bar.bottom - bar.top;
    for (std::int32_t row = 0; row < rows; ++row)
    {
        // The bottom row is the map's first entry, the top row its last.
        const double fraction = rows > 1 ? static_cast<double>(rows - 1 - row) / (rows - 1) : 1.0;
        const auto entry =
            static_cast<std::size_t>(std::lround(fraction * static_cast<double>(kViridisEntries - 1)));
        painter.Fill(Rect{bar.left, bar.top + row, bar.right, bar.top + row + 1}, kViridis[entry]);
    }
    painter.Frame(InflateRect(bar, 1, 1), kPaperFrame);
    for (const ColourBarTick& tick : ticks)
    {
        const std::int32_t y = bar.top + tick.row;
        painter.Fill(Rect{bar.right + 1, y, bar.right + 1 + kTickLength, y + 1}, kPaperInk);
        painter.Text(Point{bar.right + 1 + kTickLength + kTickTextGap, y - kDigitMiddleRow}, tick.label,
                     kPaperInk);
    }
    painter.Text(layout.barHeader, kBarHeader, kPaperInk);
}

} // namespace

std::vector<HeatmapRegion> HeatmapRegionsOf(const CRegionTable& table)
{
    std::vector<HeatmapRegion> regions;
    const std::int32_t count = std::clamp(table.m_nRegionCount, 0, kMaxRegions);
    for (std::int32_t j = 0; j < count; ++j)
        regions.push_back(HeatmapRegion{table.ShapeOf(j), table.m_regionNames[static_cast<std::size_t>(j)]});
    return regions;
}

ScaleTopKind KindOfScaleTop(const OccupancyMap& map, std::optional<double> vmax)
{
    if (!vmax || OccupancyScaleTop(map, vmax) != *vmax)
        return ScaleTopKind::LargestBin;
    return map.Largest() > *vmax ? ScaleTopKind::FixedBelowLargest : ScaleTopKind::Fixed;
}

std::vector<ColourBarTick> ColourBarTicks(double top, std::int32_t barRows, ScaleTopKind kind)
{
    std::vector<ColourBarTick> ticks;
    if (!(top > 0.0) || !std::isfinite(top) || barRows < 2)
        return ticks;
    const double step = RoundStep(top);
    const int decimals = DecimalsOfStep(step);
    const double lastRow = barRows - 1;
    auto rowOf = [&](double seconds)
    { return static_cast<std::int32_t>(std::lround((1.0 - seconds / top) * lastRow)); };
    for (int k = 0; k < kMaxTicks; ++k)
    {
        const double seconds = k * step;
        if (rowOf(seconds) < kTickClearance)
            break; // too near the top's label (or past the top)
        ticks.push_back(ColourBarTick{seconds, FormatDecimals(seconds, decimals), rowOf(seconds)});
    }
    std::string topLabel;
    if (kind == ScaleTopKind::LargestBin)
    {
        const int significant = kTopSignificantDigits - 1 - static_cast<int>(std::floor(std::log10(top)));
        topLabel = FormatDecimals(top, std::clamp(std::max(decimals, significant), 0, kMaxTopDecimals));
    }
    else
    {
        topLabel = (kind == ScaleTopKind::FixedBelowLargest ? ">= " : "") + FormatShortest(top);
    }
    ticks.push_back(ColourBarTick{top, topLabel, 0});
    return ticks;
}

HeatmapLayout LayOutHeatmapPicture(const OccupancyMap& map, const HeatmapPictureOptions& options)
{
    HeatmapLayout layout;
    layout.title = Point{kPaperMargin, kPaperMargin};
    const std::int32_t plotTop = kPaperMargin + kPaperLineStep + kTitleGap;
    layout.plot = Rect{kPaperMargin, plotTop, kPaperMargin + kArenaWidth, plotTop + kArenaHeight};
    const std::int32_t barLeft = layout.plot.right + kBarGap;
    layout.bar = Rect{barLeft, layout.plot.top, barLeft + kBarWidth, layout.plot.bottom};
    layout.barHeader = Point{barLeft, layout.plot.top - kHeaderGap - kLabelFontHeight};
    layout.swatch = Rect{layout.plot.left, layout.plot.bottom + kSwatchGap, layout.plot.left + kSwatchSize,
                         layout.plot.bottom + kSwatchGap + kSwatchSize};

    const double top = OccupancyScaleTop(map, options.vmax);
    std::int32_t labelWidth = 0;
    for (const ColourBarTick& tick :
         ColourBarTicks(top, layout.bar.bottom - layout.bar.top, KindOfScaleTop(map, options.vmax)))
        labelWidth = std::max(labelWidth, LabelTextWidth(tick.label));
    const std::int32_t barSide = std::max(layout.bar.right + 1 + kTickLength + kTickTextGap + labelWidth,
                                          barLeft + LabelTextWidth(kBarHeader));
    const std::int32_t titleSide = kPaperMargin + std::max(LabelTextWidth(PrintableText(options.fileName)),
                                                           LabelTextWidth(HeatmapSubtitle(map, options)));
    layout.width = std::max(barSide, titleSide) + kPaperMargin;
    layout.height = layout.swatch.bottom + kPaperMargin;
    return layout;
}

std::string HeatmapSubtitle(const OccupancyMap& map, const HeatmapPictureOptions& options)
{
    const std::string offPlot =
        options.recordsOffPlot == 1 ? "1 record" : std::to_string(options.recordsOffPlot) + " records";
    const std::string smoothing = options.sigmaBins > 0.0
                                      ? "smoothed, sigma " + FormatShortest(options.sigmaBins) +
                                            (options.sigmaBins == 1.0 ? " bin" : " bins")
                                      : "not smoothed";
    return FormatDecimals(options.secondsBinned, 2) + " s binned, " + offPlot + " off the plot; bins of " +
           std::to_string(map.binPixels) + " px, " + smoothing;
}

CRgbRaster DrawHeatmapPicture(const OccupancyMap& map, const HeatmapPictureOptions& options)
{
    const std::int32_t scale = std::clamp(options.scale, kMinHeatmapScale, kMaxHeatmapScale);
    const HeatmapLayout layout = LayOutHeatmapPicture(map, options);
    CRgbRaster raster(layout.width * scale, layout.height * scale, kPaperBackground);
    CScaledPainter painter(raster, scale);

    const std::string title[] = {PrintableText(options.fileName), HeatmapSubtitle(map, options)};
    painter.TextLines(layout.title, title, kPaperInk);

    painter.Frame(InflateRect(layout.plot, 1, 1), kPaperFrame);
    const double top = OccupancyScaleTop(map, options.vmax);
    const std::size_t bins =
        static_cast<std::size_t>(std::max(map.columns, 0)) * static_cast<std::size_t>(std::max(map.rows, 0));
    if (bins > 0 && map.seconds.size() == bins && map.binPixels >= 1)
        DrawBins(painter, map, layout.plot, top);
    else
        painter.Fill(layout.plot, kNeverVisitedColour);
    DrawRegions(painter, options.regions, layout.plot);

    DrawColourBar(painter, layout,
                  ColourBarTicks(top, layout.bar.bottom - layout.bar.top, KindOfScaleTop(map, options.vmax)));

    painter.Fill(layout.swatch, kNeverVisitedColour);
    painter.Frame(layout.swatch, kPaperFrame);
    painter.Text(Point{layout.swatch.right + kTickTextGap + 1, layout.swatch.top}, kSwatchText, kPaperInk);
    return raster;
}
