// The heatmap picture: its size at every scale, the scaled picture as the plot-pixel picture made
// of squares, bins and colour bar in the map's colours, the scale's marks and labels, the title's
// text, and region outlines and names kept on the plot.
#include "plot/HeatmapPicture.h"

#include "plot/OccupancyColours.h"
#include "plot/Viridis.h"

#include <gtest/gtest.h>
#include <set>

namespace
{
OccupancyMap MapOf(std::int32_t binPixels,
                   const std::vector<std::tuple<std::int32_t, std::int32_t, double>>& bins)
{
    OccupancyMap map = COccupancyGrid(binPixels).Map();
    for (const auto& [column, row, seconds] : bins)
        map.seconds[static_cast<std::size_t>(row) * static_cast<std::size_t>(map.columns) +
                    static_cast<std::size_t>(column)] = seconds;
    return map;
}

HeatmapPictureOptions Options(std::int32_t scale)
{
    HeatmapPictureOptions options;
    options.scale = scale;
    options.fileName = "run.qtf";
    options.secondsBinned = 600.0;
    options.recordsOffPlot = 3;
    return options;
}

// Colours in the box [x0, x1) x [y0, y1) of a raster.
std::set<std::tuple<int, int, int>> ColoursIn(const CRgbRaster& raster, const Rect& box)
{
    std::set<std::tuple<int, int, int>> colours;
    for (std::int32_t y = box.top; y < box.bottom; ++y)
        for (std::int32_t x = box.left; x < box.right; ++x)
        {
            const Rgb c = raster.GetPixel(x, y);
            colours.insert({c.r, c.g, c.b});
        }
    return colours;
}

const std::tuple<int, int, int> kWhiteTuple{255, 255, 255};
const std::tuple<int, int, int> kBlackTuple{0, 0, 0};
} // namespace

TEST(HeatmapPicture, SizeIsTheLayoutTimesTheScale)
{
    const OccupancyMap map = MapOf(10, {{2, 2, 1.0}});
    const HeatmapLayout layout = LayOutHeatmapPicture(map, Options(1));
    EXPECT_EQ(layout.plot.right - layout.plot.left, 640);
    EXPECT_EQ(layout.plot.bottom - layout.plot.top, 480);
    EXPECT_EQ(layout.bar.bottom - layout.bar.top, 480);
    EXPECT_GT(layout.bar.left, layout.plot.right);
    EXPECT_GT(layout.width, layout.bar.right);
    EXPECT_GT(layout.height, layout.swatch.bottom);
    const std::pair<std::int32_t, std::int32_t> scales[] = {{1, 1}, {2, 2},  {5, 5}, {8, 8},
                                                            {0, 1}, {-3, 1}, {9, 8}};
    for (const auto& [asked, used] : scales)
    {
        SCOPED_TRACE(asked);
        const CRgbRaster picture = DrawHeatmapPicture(map, Options(asked));
        EXPECT_EQ(picture.Width(), layout.width * used);
        EXPECT_EQ(picture.Height(), layout.height * used);
    }
}

// Test that the picture at scale k is the scale-1 picture with every pixel drawn as a k x k square:
// text, bins, outlines, bar and marks alike.
TEST(HeatmapPicture, ScaledPictureIsEveryPixelMadeASquare)
{
    const OccupancyMap map = MapOf(7, {{0, 0, 4.0}, {10, 20, 1.0}, {91, 68, 2.0}});
    HeatmapPictureOptions options = Options(1);
    options.regions = {{RegionShape::Rectangle(Rect{50, 50, 175, 175}), "open arm"},
                       {RegionShape::Rectangle(Rect{600, 400, 700, 520}), "Box1"}};
    const CRgbRaster plain = DrawHeatmapPicture(map, options);
    for (const std::int32_t k : {2, 3})
    {
        SCOPED_TRACE(k);
        options.scale = k;
        const CRgbRaster scaled = DrawHeatmapPicture(map, options);
        ASSERT_EQ(scaled.Width(), plain.Width() * k);
        ASSERT_EQ(scaled.Height(), plain.Height() * k);
        for (std::int32_t y = 0; y < scaled.Height(); ++y)
            for (std::int32_t x = 0; x < scaled.Width(); ++x)
                ASSERT_EQ(scaled.GetPixel(x, y), plain.GetPixel(x / k, y / k)) << x << "," << y;
    }
}

// Test that each bin shows its time's colour over its own plot pixels, never-visited bins grey, and
// the bar runs from the map's first entry at the bottom to its last at the top.
TEST(HeatmapPicture, BinsAndBarInTheMapsColours)
{
    const OccupancyMap map = MapOf(7, {{0, 0, 4.0}, {1, 0, 1.0}, {91, 68, 2.0}});
    struct Case
    {
        std::optional<double> vmax;
        Rgb first;
        Rgb second;
        Rgb last;
    };
    const Case cases[] = {
        {std::nullopt, kViridis[255], kViridis[64], kViridis[128]},
        {2.0, kViridis[255], kViridis[128], kViridis[255]},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.vmax.value_or(0.0));
        HeatmapPictureOptions options = Options(1);
        options.vmax = c.vmax;
        const HeatmapLayout layout = LayOutHeatmapPicture(map, options);
        const CRgbRaster picture = DrawHeatmapPicture(map, options);
        const std::int32_t px = layout.plot.left;
        const std::int32_t py = layout.plot.top;
        EXPECT_EQ(picture.GetPixel(px, py), c.first);
        EXPECT_EQ(picture.GetPixel(px + 6, py + 6), c.first);
        EXPECT_EQ(picture.GetPixel(px + 7, py), c.second);
        EXPECT_EQ(picture.GetPixel(px + 14, py), kNeverVisitedColour);
        EXPECT_EQ(picture.GetPixel(px + 637, py + 476), c.last);
        EXPECT_EQ(picture.GetPixel(px + 639, py + 479), c.last);
        EXPECT_EQ(picture.GetPixel(px + 636, py + 479), kNeverVisitedColour);
        EXPECT_NE(picture.GetPixel(px + 640, py + 479), c.last); // the plot's frame
        const std::int32_t barX = (layout.bar.left + layout.bar.right) / 2;
        EXPECT_EQ(picture.GetPixel(barX, layout.bar.top), kViridis[255]);
        EXPECT_EQ(picture.GetPixel(barX, layout.bar.bottom - 1), kViridis[0]);
        EXPECT_EQ(picture.GetPixel(barX, (layout.bar.top + layout.bar.bottom) / 2), kViridis[127]);
        EXPECT_EQ(picture.GetPixel(layout.swatch.left + 5, layout.swatch.top + 5), kNeverVisitedColour);
    }
}

TEST(HeatmapPicture, ScaleMarksAreRoundStepsUnderTheTop)
{
    struct Case
    {
        double top;
        ScaleTopKind kind;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {1.25, ScaleTopKind::LargestBin, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0", "1.25"}},
        {47.8333, ScaleTopKind::LargestBin, {"0", "10", "20", "30", "40", "47.8"}},
        {600.0, ScaleTopKind::LargestBin, {"0", "100", "200", "300", "400", "500", "600"}},
        {1.0 / 60.0,
         ScaleTopKind::LargestBin,
         {"0.000", "0.002", "0.004", "0.006", "0.008", "0.010", "0.012", "0.014", "0.0167"}},
        {0.5, ScaleTopKind::Fixed, {"0.0", "0.1", "0.2", "0.3", "0.4", "0.5"}},
        {0.5, ScaleTopKind::FixedBelowLargest, {"0.0", "0.1", "0.2", "0.3", "0.4", ">= 0.5"}},
        {1000000000.0,
         ScaleTopKind::Fixed,
         {"0", "200000000", "400000000", "600000000", "800000000", "1000000000"}},
        {3.0, ScaleTopKind::LargestBin, {"0.0", "0.5", "1.0", "1.5", "2.0", "2.5", "3.00"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.top);
        const std::vector<ColourBarTick> ticks = ColourBarTicks(c.top, 480, c.kind);
        std::vector<std::string> labels;
        for (const ColourBarTick& tick : ticks)
            labels.push_back(tick.label);
        EXPECT_EQ(labels, c.labels);
        ASSERT_FALSE(ticks.empty());
        EXPECT_EQ(ticks.front().row, 479);
        EXPECT_EQ(ticks.back().row, 0);
        for (std::size_t i = 1; i < ticks.size(); ++i)
            EXPECT_GE(ticks[i - 1].row - ticks[i].row, 24) << "marks crowd each other at " << ticks[i].label;
    }
    EXPECT_TRUE(ColourBarTicks(0.0, 480, ScaleTopKind::LargestBin).empty());
    EXPECT_TRUE(ColourBarTicks(1.0, 1, ScaleTopKind::LargestBin).empty());
}

TEST(HeatmapPicture, KindOfTheTopFollowsTheFixedTop)
{
    const OccupancyMap map = MapOf(10, {{1, 1, 2.0}});
    EXPECT_EQ(KindOfScaleTop(map, std::nullopt), ScaleTopKind::LargestBin);
    EXPECT_EQ(KindOfScaleTop(map, 3.0), ScaleTopKind::Fixed);
    EXPECT_EQ(KindOfScaleTop(map, 2.0), ScaleTopKind::Fixed);
    EXPECT_EQ(KindOfScaleTop(map, 1.0), ScaleTopKind::FixedBelowLargest);
    EXPECT_EQ(KindOfScaleTop(map, 0.0), ScaleTopKind::LargestBin); // not a top: the largest bin's
}

TEST(HeatmapPicture, TitleSaysTheTimeBinnedAndHow)
{
    const OccupancyMap map10 = MapOf(10, {});
    const OccupancyMap map7 = MapOf(7, {});
    struct Case
    {
        const OccupancyMap* map;
        double seconds;
        std::uint64_t offPlot;
        double sigma;
        std::string text;
    };
    const Case cases[] = {
        {&map10, 600.0, 0, 0.0, "600.00 s binned, 0 records off the plot; bins of 10 px, not smoothed"},
        {&map10, 1.0, 2, 1.0, "1.00 s binned, 2 records off the plot; bins of 10 px, smoothed, sigma 1 bin"},
        {&map7, 1.0 / 60.0, 1, 1.5,
         "0.02 s binned, 1 record off the plot; bins of 7 px, smoothed, sigma 1.5 bins"},
        {&map10, 12345.678, 42, 0.25,
         "12345.68 s binned, 42 records off the plot; bins of 10 px, smoothed, sigma "
         "0.25 bins"},
    };
    for (const Case& c : cases)
    {
        HeatmapPictureOptions options;
        options.secondsBinned = c.seconds;
        options.recordsOffPlot = c.offPlot;
        options.sigmaBins = c.sigma;
        EXPECT_EQ(HeatmapSubtitle(*c.map, options), c.text);
    }
    // Both lines are drawn in ink on the paper above the plot; an empty name leaves its line blank.
    for (const std::string name : {"run.qtf", ""})
    {
        HeatmapPictureOptions options = Options(1);
        options.fileName = name;
        const HeatmapLayout layout = LayOutHeatmapPicture(map10, options);
        const CRgbRaster picture = DrawHeatmapPicture(map10, options);
        const Rect firstLine{layout.title.x, layout.title.y, layout.plot.right, layout.title.y + 12};
        const Rect secondLine{layout.title.x, layout.title.y + 14, layout.plot.right, layout.title.y + 26};
        EXPECT_EQ(ColoursIn(picture, firstLine).count(kBlackTuple), name.empty() ? 0u : 1u);
        EXPECT_EQ(ColoursIn(picture, secondLine),
                  (std::set<std::tuple<int, int, int>>{kWhiteTuple, kBlackTuple}));
    }
}

TEST(HeatmapPicture, TextOutsidePrintableAsciiShowsAsQuestionMarks)
{
    const std::pair<std::string, std::string> cases[] = {
        {"open arm", "open arm"},
        {"Zone \xc3\xa4", "Zone ?"},
        {"\xe6\x97\xa5\xe6\x9c\xac", "??"},
        {"a\tb", "a?b"},
        {"", ""},
        {"\xff", "?"},
    };
    for (const auto& [text, printable] : cases)
        EXPECT_EQ(PrintableText(text), printable) << text;
}

// Test that a region's outline is light on its edge with dark lines either side, its name is drawn
// light on a dark box inside it, and nothing of a region that reaches off the plot is drawn outside
// the plot.
TEST(HeatmapPicture, RegionsAreOutlinedAndNamedOnThePlotOnly)
{
    const OccupancyMap map = MapOf(10, {{30, 30, 1.0}});
    HeatmapPictureOptions plainOptions = Options(1);
    HeatmapPictureOptions options = plainOptions;
    options.regions = {
        {RegionShape::Rectangle(Rect{175, 175, 50, 50}), "open arm"},           // corners reversed
        {RegionShape::Rectangle(Rect{-100, 300, 100, 900}), "reaches off"},     // off the left and bottom
        {RegionShape::Rectangle(Rect{2000000000, 5, -2000000000, 6}), "thin"}}; // far beyond on both sides
    const HeatmapLayout layout = LayOutHeatmapPicture(map, options);
    const CRgbRaster plain = DrawHeatmapPicture(map, plainOptions);
    const CRgbRaster picture = DrawHeatmapPicture(map, options);
    ASSERT_EQ(picture.Width(), plain.Width());
    const std::int32_t px = layout.plot.left;
    const std::int32_t py = layout.plot.top;
    EXPECT_EQ(picture.GetPixel(px + 50, py + 100), kWhite);
    EXPECT_EQ(picture.GetPixel(px + 49, py + 100), kBlack);
    EXPECT_EQ(picture.GetPixel(px + 51, py + 100), kBlack);
    EXPECT_EQ(picture.GetPixel(px + 174, py + 100), kWhite);
    EXPECT_EQ(picture.GetPixel(px + 100, py + 174), kWhite);
    EXPECT_EQ(picture.GetPixel(px + 100, py + 100), kNeverVisitedColour); // inside is left alone
    EXPECT_EQ(ColoursIn(picture, Rect{px + 53, py + 53, px + 100, py + 66}),
              (std::set<std::tuple<int, int, int>>{kWhiteTuple, kBlackTuple}));
    // The name of the region that starts off the plot lies at the plot's left edge.
    EXPECT_EQ(ColoursIn(picture, Rect{px, py + 302, px + 40, py + 316}),
              (std::set<std::tuple<int, int, int>>{kWhiteTuple, kBlackTuple}));
    EXPECT_EQ(picture.GetPixel(px + 100, py + 479), kBlack); // its right edge's dark line, to the bottom
    // Outside the plot the pictures are the same.
    for (std::int32_t y = 0; y < picture.Height(); ++y)
        for (std::int32_t x = 0; x < picture.Width(); ++x)
        {
            const bool onPlot = x >= layout.plot.left && x < layout.plot.right && y >= layout.plot.top &&
                                y < layout.plot.bottom;
            if (!onPlot)
            {
                ASSERT_EQ(picture.GetPixel(x, y), plain.GetPixel(x, y)) << x << "," << y;
            }
        }
}
