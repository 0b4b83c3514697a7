// The sensitivity picture: the entries scale's top, where a grid value and its entries land, where
// the current value is marked, the panels' grid, and the exact pixels of the marks on a small case
// (the points, the current value's dashes and ring, an empty region, a name too long for its
// panel, no regions at all).
#include "plot/SensitivityPicture.h"

#include "plot/LabelFont.h"

#include <cmath>
#include <gtest/gtest.h>

namespace
{
// A result of regions whose entries are given per value; time inside is not drawn.
SensitivityResult
ResultOf(std::int32_t margin, double minVisitSeconds,
         const std::vector<std::pair<std::vector<std::uint64_t>, std::vector<std::uint64_t>>>& regions)
{
    SensitivityResult result;
    result.margin = margin;
    result.minVisitSeconds = minVisitSeconds;
    result.mergeGapSeconds = 0.5;
    for (std::size_t k = 0; k < kSensitivityMarginCount; ++k)
        if (static_cast<double>(2 * k) == margin)
            result.currentMarginIndex = k;
    for (std::size_t k = 0; k < kSensitivityMinVisitCount; ++k)
        if (std::lround(static_cast<double>(k) * 6) == std::lround(minVisitSeconds * 60))
            result.currentMinVisitIndex = k;
    for (const auto& [byMinVisit, byMargin] : regions)
    {
        RegionSensitivity region;
        region.region = static_cast<std::int32_t>(result.regions.size());
        region.name = "arm " + std::to_string(region.region);
        for (std::size_t k = 0; k < byMinVisit.size() && k < kSensitivityMinVisitCount; ++k)
            region.byMinVisit[k].entries = byMinVisit[k];
        for (std::size_t k = 0; k < byMargin.size() && k < kSensitivityMarginCount; ++k)
            region.byMargin[k].entries = byMargin[k];
        result.regions.push_back(region);
    }
    return result;
}

SensitivityPictureOptions Options(std::int32_t scale)
{
    SensitivityPictureOptions options;
    options.scale = scale;
    options.fileName = "run.qtf";
    return options;
}

// Whether every raster pixel of plot pixel (x, y) at scale is colour.
bool PlotPixelIs(const CRgbRaster& raster, std::int32_t scale, std::int32_t x, std::int32_t y, Rgb colour)
{
    for (std::int32_t dy = 0; dy < scale; ++dy)
        for (std::int32_t dx = 0; dx < scale; ++dx)
            if (raster.GetPixel(x * scale + dx, y * scale + dy) != colour)
                return false;
    return true;
}

// Raster pixels of colour in the plot-pixel box.
int CountIn(const CRgbRaster& raster, std::int32_t scale, const Rect& box, Rgb colour)
{
    int count = 0;
    for (std::int32_t y = box.top * scale; y < box.bottom * scale; ++y)
        for (std::int32_t x = box.left * scale; x < box.right * scale; ++x)
            count += raster.GetPixel(x, y) == colour ? 1 : 0;
    return count;
}

std::vector<std::uint64_t> Constant(std::size_t count, std::uint64_t entries)
{
    return std::vector<std::uint64_t>(count, entries);
}
} // namespace

TEST(SensitivityPicture, ScaleTopHoldsTheLargestInTwoRoundSteps)
{
    const std::pair<std::uint64_t, std::uint64_t> cases[] = {
        {0, 2},   {1, 2},   {2, 2},    {3, 4},     {4, 4},     {5, 10},     {10, 10},
        {11, 20}, {36, 40}, {41, 100}, {100, 100}, {101, 200}, {999, 1000}, {1001, 2000},
    };
    for (const auto& [largest, top] : cases)
        EXPECT_EQ(SensitivityScaleTop(largest), top) << largest;
}

TEST(SensitivityPicture, WhereAValueAndItsEntriesLand)
{
    const Rect chart{100, 50, 100 + kSensitivityChartWidth, 50 + kSensitivityChartHeight};
    struct Case
    {
        SensitivityParameter parameter;
        std::size_t k;
        std::uint64_t entries;
        std::uint64_t top;
        Point at;
    };
    const Case cases[] = {
        {SensitivityParameter::MinVisit, 0, 0, 2, {100, 110}}, // the bottom-left corner
        {SensitivityParameter::MinVisit, 20, 2, 2, {180, 50}}, // the top-right corner
        {SensitivityParameter::MinVisit, 1, 1, 2, {104, 80}},  // 0.1 s, half way up
        {SensitivityParameter::Margin, 4, 1, 4, {140, 95}},    // margin 8, a quarter up
        {SensitivityParameter::Margin, 8, 3, 40, {180, 105}},  // 4.5 rows round up to 5
        {SensitivityParameter::Margin, 1, 1, 200, {110, 110}}, // 0.3 of a row stays on the bottom
        {SensitivityParameter::MinVisit, 10, 100, 200, {140, 80}},
    };
    for (const Case& c : cases)
    {
        const Point at = SensitivityPointAt(chart, c.parameter, c.k, c.entries, c.top);
        EXPECT_EQ(at.x, c.at.x) << c.k << " " << c.entries;
        EXPECT_EQ(at.y, c.at.y) << c.k << " " << c.entries;
    }
}

TEST(SensitivityPicture, WhereTheCurrentValueIsMarked)
{
    const Rect chart{100, 50, 100 + kSensitivityChartWidth, 50 + kSensitivityChartHeight};
    struct Case
    {
        std::int32_t margin;
        double minVisitSeconds;
        std::optional<std::int32_t> marginColumn;
        std::optional<std::int32_t> minVisitColumn;
    };
    const Case cases[] = {
        {8, 0.25, 140, 110},                    // on the margins' grid; between 0.2 and 0.3 s
        {0, 0.0, 100, 100},                     // both grids' first values
        {16, 2.0, 180, 180},                    // both grids' last
        {3, 0.1, 115, 104},                     // between 2 and 4 px; on the grid
        {18, 2.05, std::nullopt, std::nullopt}, // past both grids: no mark
        {-2, 1.0 / 60, std::nullopt, 101},      // before the margins' grid; one record
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.margin) + " " + std::to_string(c.minVisitSeconds));
        const SensitivityResult result = ResultOf(c.margin, c.minVisitSeconds, {});
        EXPECT_EQ(SensitivityCurrentColumn(chart, result, SensitivityParameter::Margin), c.marginColumn);
        EXPECT_EQ(SensitivityCurrentColumn(chart, result, SensitivityParameter::MinVisit), c.minVisitColumn);
    }
}

TEST(SensitivityPicture, PanelsInAGridFiveWide)
{
    const std::pair<std::size_t, std::pair<std::int32_t, std::int32_t>> cases[] = {
        {0, {0, 0}}, {1, {1, 1}}, {5, {5, 1}}, {6, {5, 2}}, {50, {5, 10}},
    };
    for (const auto& [count, grid] : cases)
    {
        SCOPED_TRACE(count);
        const SensitivityResult result =
            ResultOf(8, 0.0, std::vector(count, std::pair{Constant(21, 3), Constant(9, 3)}));
        const SensitivityLayout layout = LayOutSensitivityPicture(result, Options(1));
        EXPECT_EQ(layout.columns, grid.first);
        EXPECT_EQ(layout.rows, grid.second);
        ASSERT_EQ(layout.panels.size(), count);
        for (std::size_t j = 0; j < count; ++j)
        {
            const SensitivityPanel& panel = layout.panels[j];
            EXPECT_GE(panel.box.left, kPaperMargin);
            EXPECT_LE(panel.box.right, layout.width - kPaperMargin);
            EXPECT_LE(panel.box.bottom, layout.height - kPaperMargin);
            // Below the name, the left chart before the right one, both inside the panel with room
            // for their axes' labels.
            EXPECT_GE(panel.charts[0].top, panel.box.top + kLabelFontHeight);
            EXPECT_LT(panel.charts[0].right, panel.charts[1].left);
            EXPECT_LT(panel.charts[1].right, panel.box.right);
            EXPECT_LT(panel.charts[1].bottom, panel.box.bottom - 2 * kLabelFontHeight);
            if (j > 0) // the next in its row, or the first of the next row
            {
                const Rect& before = layout.panels[j - 1].box;
                EXPECT_TRUE(j % 5 != 0 ? panel.box.left > before.right && panel.box.top == before.top
                                       : panel.box.top > before.bottom && panel.box.left == kPaperMargin);
            }
        }
        // Every scale on one panel; the large grids once (a grid of 50 at scale 8 is 300 MB).
        for (const std::int32_t scale : count == 1 ? std::vector{0, 1, 3, 9} : std::vector{1})
        {
            const CRgbRaster raster = DrawSensitivityPicture(result, Options(scale));
            const std::int32_t used = std::clamp(scale, 1, 8);
            EXPECT_EQ(raster.Width(), layout.width * used) << scale;
            EXPECT_EQ(raster.Height(), layout.height * used) << scale;
        }
    }
}

TEST(SensitivityPicture, TitleSaysTheRulesAndTheCurrentValues)
{
    const std::vector<std::string> subtitle = SensitivitySubtitle(ResultOf(8, 0.25, {}));
    ASSERT_EQ(subtitle.size(), 2u);
    EXPECT_EQ(subtitle[0], "entries per region against the minimum visit (left, at the current margin, "
                           "merge gap 0.5 s) and the margin (right)");
    EXPECT_EQ(subtitle[1], "current settings, dashed: minimum visit 0.25 s, margin 8 px");
}

// Test the marks that carry the figures, pixel for pixel, at two scales: region 0 falls from 4
// entries to 0 over the minimum visits and rises over the margins, at margin 8 (on the grid: a
// ring) and a minimum visit of 0.25 s (off it: dashes only); region 1 is never entered.
TEST(SensitivityPicture, PointsCurrentMarksAndAnEmptyRegion)
{
    std::vector<std::uint64_t> falling(kSensitivityMinVisitCount, 0);
    for (std::size_t k = 0; k < 5; ++k)
        falling[k] = 4;
    const std::vector<std::uint64_t> rising = {0, 1, 1, 2, 2, 3, 3, 3, 4};
    const SensitivityResult result =
        ResultOf(8, 0.25, {{falling, rising}, {Constant(21, 0), Constant(9, 0)}});
    for (const std::int32_t scale : {1, 2})
    {
        SCOPED_TRACE(scale);
        const SensitivityLayout layout = LayOutSensitivityPicture(result, Options(scale));
        const CRgbRaster raster = DrawSensitivityPicture(result, Options(scale));
        ASSERT_EQ(layout.panels.size(), 2u);
        const SensitivityPanel& panel = layout.panels[0];
        EXPECT_EQ(panel.top, 4u);
        const Rect& minVisits = panel.charts[0];
        const Rect& margins = panel.charts[1];

        // Each point's 3 x 3 square: 4 entries at the top row, 0 at the bottom row.
        for (std::size_t k = 0; k < kSensitivityMinVisitCount; ++k)
        {
            const Point at = SensitivityPointAt(minVisits, SensitivityParameter::MinVisit, k, falling[k], 4);
            EXPECT_EQ(at.y, falling[k] == 4 ? minVisits.top : minVisits.bottom - 1) << k;
            EXPECT_EQ(CountIn(raster, scale, Rect{at.x - 1, at.y - 1, at.x + 2, at.y + 2},
                              kSensitivitySeriesColour),
                      9 * scale * scale)
                << k;
        }
        for (std::size_t k = 0; k < kSensitivityMarginCount; ++k)
        {
            const Point at = SensitivityPointAt(margins, SensitivityParameter::Margin, k, rising[k], 4);
            EXPECT_TRUE(PlotPixelIs(raster, scale, at.x, at.y, kSensitivitySeriesColour)) << k;
        }
        // Between 0.4 s (4 entries) and 0.5 s (none) the line falls through the middle row.
        const std::int32_t middle = (minVisits.top + minVisits.bottom - 1) / 2;
        EXPECT_EQ(CountIn(raster, scale, Rect{minVisits.left + 17, middle, minVisits.left + 19, middle + 1},
                          kSensitivitySeriesColour),
                  scale * scale);

        // The current margin, 8 px: a ring 7 x 7 around its point (2 entries), a pixel clear of it.
        const Point current = SensitivityPointAt(margins, SensitivityParameter::Margin, 4, 2, 4);
        EXPECT_TRUE(PlotPixelIs(raster, scale, current.x - 3, current.y - 3, kSensitivityCurrentColour));
        EXPECT_TRUE(PlotPixelIs(raster, scale, current.x + 3, current.y + 3, kSensitivityCurrentColour));
        EXPECT_TRUE(PlotPixelIs(raster, scale, current.x - 2, current.y - 2, kPaperBackground));
        // and its dashes from the top row: two drawn, two left, over the chart's height.
        for (std::int32_t row = margins.top; row < margins.top + 8; ++row)
            EXPECT_TRUE(
                PlotPixelIs(raster, scale, current.x, row,
                            (row - margins.top) % 4 < 2 ? kSensitivityCurrentColour : kPaperBackground))
                << row;
        // The current minimum visit, 0.25 s, off the grid: dashes at column 10, no ring anywhere.
        const std::int32_t dashes = minVisits.left + 10;
        EXPECT_TRUE(PlotPixelIs(raster, scale, dashes, minVisits.top + 4, kSensitivityCurrentColour));
        EXPECT_TRUE(PlotPixelIs(raster, scale, dashes, minVisits.top + 6, kPaperBackground));
        EXPECT_EQ(CountIn(raster, scale, minVisits, kSensitivityCurrentColour),
                  (kSensitivityChartHeight / 4 * 2 + 1) * scale * scale -
                      scale * scale); // the top point covers one

        // The scale: marks left of the axis at 0, 2 and 4 entries.
        const std::int32_t axis = minVisits.left - 4;
        for (const std::uint64_t entries : {0u, 2u, 4u})
            EXPECT_TRUE(PlotPixelIs(
                raster, scale, axis - 1,
                SensitivityPointAt(minVisits, SensitivityParameter::MinVisit, 0, entries, 4).y, kPaperFrame))
                << entries;

        // Region 1, never entered: every point on the bottom row, nothing of the series above it.
        const SensitivityPanel& empty = layout.panels[1];
        EXPECT_EQ(empty.top, 2u);
        for (const SensitivityParameter parameter :
             {SensitivityParameter::MinVisit, SensitivityParameter::Margin})
        {
            const Rect& chart = empty.charts[SensitivityChartSlot(parameter)];
            // The current margin's ring crosses the bottom row either side of its point.
            const int ringSides = parameter == SensitivityParameter::Margin ? 2 : 0;
            EXPECT_EQ(CountIn(raster, scale,
                              Rect{chart.left - 1, chart.top - 1, chart.right + 1, chart.bottom - 2},
                              kSensitivitySeriesColour),
                      0);
            EXPECT_EQ(CountIn(raster, scale,
                              Rect{chart.left - 1, chart.bottom - 1, chart.right + 1, chart.bottom},
                              kSensitivitySeriesColour),
                      (kSensitivityChartWidth + 2 - ringSides) * scale * scale);
        }
    }
}

TEST(SensitivityPicture, ALongNameStaysInItsPanel)
{
    SensitivityResult result =
        ResultOf(8, 0.0, {{Constant(21, 1), Constant(9, 1)}, {Constant(21, 1), Constant(9, 1)}});
    result.regions[0].name = std::string(200, 'W');
    const SensitivityLayout layout = LayOutSensitivityPicture(result, Options(1));
    const CRgbRaster raster = DrawSensitivityPicture(result, Options(1));
    const Rect& first = layout.panels[0].box;
    const Rect& second = layout.panels[1].box;
    const Rect between{first.right, first.top, second.left, first.top + kLabelFontHeight};
    EXPECT_EQ(CountIn(raster, 1, between, kPaperBackground),
              (between.right - between.left) * kLabelFontHeight);
    EXPECT_LT(CountIn(raster, 1, Rect{first.left, first.top, first.right, first.top + kLabelFontHeight},
                      kPaperBackground),
              (first.right - first.left) * kLabelFontHeight);

    const std::pair<std::string, std::int32_t> fits[] = {{"arm", 100}, {"", 0}, {"WWWWWWWW", 20}, {"abc", 0}};
    for (const auto& [text, width] : fits)
    {
        const std::string fitted = FitText(text, width);
        EXPECT_TRUE(fitted == text ||
                    (fitted.ends_with("...") && text.starts_with(fitted.substr(0, fitted.size() - 3))))
            << text;
        EXPECT_EQ(fitted == text, LabelTextWidth(text) <= width) << text;
        if (fitted != text && fitted.size() > 3)
        {
            EXPECT_LE(LabelTextWidth(fitted), width) << text;
        }
    }
}

TEST(SensitivityPicture, NoRegionsGivesTheTitleAndASentence)
{
    const SensitivityResult result = ResultOf(8, 0.0, {});
    const SensitivityLayout layout = LayOutSensitivityPicture(result, Options(2));
    const CRgbRaster raster = DrawSensitivityPicture(result, Options(2));
    EXPECT_TRUE(layout.panels.empty());
    EXPECT_GT(layout.width, LabelTextWidth(SensitivitySubtitle(result)[0]));
    EXPECT_EQ(CountIn(raster, 2, Rect{0, 0, layout.width, layout.height}, kSensitivitySeriesColour), 0);
    // Ink on the last text line, "no regions", below the title.
    const Rect sentence{0, layout.height - kPaperMargin - kLabelFontHeight, layout.width, layout.height};
    EXPECT_GT(CountIn(raster, 2, sentence, kPaperInk), 0);
}
