// The colour map of occupancy and the window's view of a grid: the map's entries at its ends and
// middle, which entry a time takes on a scale, the never-visited grey, and the bins drawn one to
// one on the plot surface.
#include "plot/OccupancyColours.h"

#include "plot/Viridis.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace
{
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

OccupancyMap MapOf(std::int32_t binPixels,
                   const std::vector<std::tuple<std::int32_t, std::int32_t, double>>& bins)
{
    OccupancyMap map = COccupancyGrid(binPixels).Map();
    for (const auto& [column, row, seconds] : bins)
        map.seconds[static_cast<std::size_t>(row) * static_cast<std::size_t>(map.columns) +
                    static_cast<std::size_t>(column)] = seconds;
    return map;
}

double Luminance(Rgb c)
{
    return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
}
} // namespace

TEST(OccupancyColours, ViridisEndsAndMiddle)
{
    EXPECT_EQ(kViridis.size(), 256u);
    EXPECT_EQ(kViridis[0], (Rgb{68, 1, 84}));
    EXPECT_EQ(kViridis[128], (Rgb{33, 145, 140}));
    EXPECT_EQ(kViridis[255], (Rgb{253, 231, 37}));
    // The map grows lighter from its first entry to its last, so more time always reads lighter.
    for (std::size_t i = 1; i < kViridis.size(); ++i)
        EXPECT_GT(Luminance(kViridis[i]), Luminance(kViridis[i - 1]) - 0.5) << i;
    EXPECT_GT(Luminance(kViridis[255]), Luminance(kViridis[0]) + 150.0);
}

TEST(OccupancyColours, TimeTakesItsShareOfTheMap)
{
    struct Case
    {
        double seconds;
        double top;
        std::size_t index;
    };
    const Case cases[] = {
        {1e-9, 1.0, 0},
        {1.0 / 256.0, 1.0, 1},
        {0.5, 1.0, 128},
        {1.0, 2.0, 128},
        {255.5 / 256.0, 1.0, 255},
        {254.9 / 256.0, 1.0, 254},
        {1.0, 1.0, 255},
        {2.0, 1.0, 255},
        {kInfinity, 1.0, 255},
        {30.0, 60.0, 128},
        {0.0, 1.0, 0},
        {1.0, kNaN, 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OccupancyColourIndex(c.seconds, c.top), c.index) << c.seconds << " of " << c.top;
}

// Test that a bin no record reached is grey, not the map's first entry, and that the grey is far
// from every entry of the map.
TEST(OccupancyColours, NeverVisitedIsAGreyOffTheMap)
{
    for (const double seconds : {0.0, -0.0, -1.0, kNaN})
        EXPECT_EQ(OccupancyColour(seconds, 1.0), kNeverVisitedColour) << seconds;
    EXPECT_EQ(OccupancyColour(1e-12, 1.0), kViridis[0]);
    EXPECT_EQ(OccupancyColour(3.0, 1.0), kViridis[255]);
    EXPECT_EQ(kNeverVisitedColour.r, kNeverVisitedColour.g);
    EXPECT_EQ(kNeverVisitedColour.g, kNeverVisitedColour.b);
    for (const Rgb& entry : kViridis)
    {
        const int dr = entry.r - kNeverVisitedColour.r;
        const int dg = entry.g - kNeverVisitedColour.g;
        const int db = entry.b - kNeverVisitedColour.b;
        EXPECT_GT(dr * dr + dg * dg + db * db, 40 * 40);
    }
}

TEST(OccupancyColours, ScaleTopIsTheFixedTopOrTheLargestBin)
{
    const OccupancyMap map = MapOf(10, {{3, 4, 2.5}, {5, 5, 0.5}});
    const OccupancyMap empty = MapOf(10, {});
    struct Case
    {
        const OccupancyMap* map;
        std::optional<double> vmax;
        double top;
    };
    const Case cases[] = {
        {&map, std::nullopt, 2.5}, {&map, 1.0, 1.0},
        {&map, 10.0, 10.0},        {&map, 0.0, 2.5},
        {&map, -3.0, 2.5},         {&map, kNaN, 2.5},
        {&map, kInfinity, 2.5},    {&empty, std::nullopt, 1.0 / 60.0},
        {&empty, 4.0, 4.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OccupancyScaleTop(*c.map, c.vmax), c.top) << c.vmax.value_or(-99.0);
}

// Test that the window's view paints bin (column, row) over its own pixels, the last narrow bins
// cut at the plot, never-visited bins grey, nothing beyond the 640 x 480 plot, and leaves the text
// background colour of the surface as it was.
TEST(OccupancyColours, BinsAreDrawnOneToOneOnThePlot)
{
    const Rgb before{1, 2, 3};
    const OccupancyMap map = MapOf(7, {{0, 0, 4.0}, {91, 68, 2.0}, {1, 0, 1.0}});
    struct Case
    {
        std::optional<double> vmax;
        Rgb first;  // bin (0, 0)
        Rgb second; // bin (1, 0)
        Rgb last;   // bin (91, 68)
    };
    const Case cases[] = {
        {std::nullopt, kViridis[255], kViridis[64], kViridis[128]},
        {2.0, kViridis[255], kViridis[128], kViridis[255]},
        {8.0, kViridis[128], kViridis[32], kViridis[64]},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.vmax.value_or(0.0));
        CDrawingSurface surface(700, 500);
        surface.FillOpaque(Rect{0, 0, 700, 500}, before);
        surface.SetBkColor(kBlack);
        DrawOccupancyBins(surface, map, c.vmax);
        EXPECT_EQ(surface.GetBkColor(), kBlack);
        const std::pair<Point, Rgb> pixels[] = {
            {{0, 0}, c.first},
            {{6, 6}, c.first},
            {{7, 0}, c.second},
            {{13, 6}, c.second},
            {{14, 0}, kNeverVisitedColour},
            {{7, 7}, kNeverVisitedColour},
            {{637, 476}, c.last},
            {{639, 479}, c.last},
            {{636, 476}, kNeverVisitedColour},
            {{640, 479}, before},
            {{639, 480}, before},
            {{699, 499}, before},
        };
        for (const auto& [at, colour] : pixels)
            EXPECT_EQ(surface.GetPixel(at.x, at.y), colour) << at.x << "," << at.y;
    }
}

TEST(OccupancyColours, MalformedMapDrawsNothing)
{
    OccupancyMap shortMap = MapOf(10, {{1, 1, 1.0}});
    shortMap.seconds.pop_back();
    OccupancyMap noBins = MapOf(10, {});
    noBins.binPixels = 0;
    for (const OccupancyMap& map : {shortMap, noBins, OccupancyMap{}})
    {
        CDrawingSurface surface(640, 480);
        DrawOccupancyBins(surface, map, std::nullopt);
        EXPECT_EQ(surface.GetPixel(15, 15), kBlack);
        EXPECT_EQ(surface.GetPixel(0, 0), kBlack);
    }
}
