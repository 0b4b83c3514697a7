// Region outlines, the label row, RedrawRegions and the rubber band.
#include "PlotTestSupport.h"
#include "plot/TrackPlot.h"
#include "support/TrackFileBuilder.h"

#include <gtest/gtest.h>
#include <string>

namespace
{
struct AttachedPlot
{
    AttachedPlot() : surface(640, 480) { plot.Attach(&surface, 640, 480, nullptr); }
    CDrawingSurface surface;
    CTrackPlot plot;
};

PixelSet OutlineOf(const Rect& r)
{
    CDrawingSurface s(640, 480);
    s.SelectPen(kWhite);
    s.Rectangle(r.left, r.top, r.right, r.bottom);
    return LitPixels(s);
}

constexpr int kLabelTop = 5;
constexpr int kLabelHeight = 12;

// Colours found in a cell of the label row (black excluded).
std::set<std::tuple<int, int, int>> InkColours(const CDrawingSurface& s, int fromX, int toX)
{
    std::set<std::tuple<int, int, int>> colours;
    for (int y = kLabelTop; y < kLabelTop + kLabelHeight; ++y)
        for (int x = fromX; x < toX; ++x)
        {
            const Rgb p = s.GetPixel(x, y);
            if (p != kBlack)
                colours.insert({p.r, p.g, p.b});
        }
    return colours;
}
} // namespace

TEST(RegionDrawing, OutlineInItsColourOrRefusedWhenTooSmall)
{
    struct Case
    {
        Rect r;
        std::int32_t index;
        int result;
    };
    const Case cases[] = {
        {{50, 50, 175, 175}, 1, 0},   {{175, 175, 50, 50}, 8, 0},   {{10, 10, 12, 12}, 2, 0},
        {{10, 10, 11, 100}, 0, -603}, {{10, 10, 100, 9}, 0, -603},  {{10, 10, 10, 10}, 0, -603},
        {{30, 30, 60, 60}, 50, -603}, {{30, 30, 60, 60}, -1, -603},
    };
    for (const Case& c : cases)
    {
        AttachedPlot p;
        EXPECT_EQ(p.plot.DrawRegionOutline(c.r.left, c.r.top, c.r.right, c.r.bottom, c.index), c.result);
        if (c.result == 0)
        {
            EXPECT_EQ(PixelsOfColour(p.surface, kRegionColors[static_cast<std::size_t>(c.index)]),
                      OutlineOf(c.r));
            EXPECT_EQ(LitPixels(p.surface), OutlineOf(c.r));
        }
        else
            EXPECT_TRUE(LitPixels(p.surface).empty());
        EXPECT_EQ(p.surface.GetROP2(), RasterOp::Copy);
    }
}

TEST(RegionDrawing, XorOutlineTurnsACopyOutlineBlackWhateverWasUnder)
{
    AttachedPlot p;
    FillRandom(p.surface, 5);
    const std::vector<Rgb> before = AllPixels(p.surface);
    EXPECT_EQ(p.plot.DrawRegionOutline(20, 30, 200, 100, 4), 0);
    EXPECT_EQ(p.plot.XorRegionOutline(20, 30, 200, 100, 4), 0);
    const PixelSet outline = OutlineOf(Rect{20, 30, 200, 100});
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(p.surface.GetPixel(x, y),
                      outline.count({x, y}) ? kBlack : before[static_cast<std::size_t>(y * 640 + x)]);
    // Thin rectangles are refused in exclusive-or mode too.
    EXPECT_EQ(p.plot.XorRegionOutline(20, 30, 21, 100, 4), -603);
}

// Test the label row for three regions with region 1 selected: "0 1 2 " from (5, 5), each number
// in its colour (dim unless selected), every cell on black.
TEST(RegionDrawing, LabelsForThreeRegionsWithOneSelected)
{
    AttachedPlot p;
    p.surface.FillOpaque(Rect{0, 0, 640, 480}, Rgb{1, 1, 1});
    EXPECT_EQ(p.plot.DrawRegionLabels(3, 1), 0);
    // Cells: "0" 5-10, " " 11-14, "1" 15-20, " " 21-24, "2" 25-30, " " 31-34.
    using C = std::set<std::tuple<int, int, int>>;
    EXPECT_EQ(InkColours(p.surface, 5, 11), (C{{143, 143, 143}}));
    EXPECT_EQ(InkColours(p.surface, 11, 15), C{});
    EXPECT_EQ(InkColours(p.surface, 15, 21), (C{{255, 0, 0}}));
    EXPECT_EQ(InkColours(p.surface, 21, 25), C{});
    EXPECT_EQ(InkColours(p.surface, 25, 31), (C{{0, 127, 0}}));
    EXPECT_EQ(InkColours(p.surface, 31, 35), C{});
    // Outside the row the background is untouched.
    EXPECT_EQ(p.surface.GetPixel(4, 5), (Rgb{1, 1, 1}));
    EXPECT_EQ(p.surface.GetPixel(35, 5), (Rgb{1, 1, 1}));
    EXPECT_EQ(p.surface.GetPixel(5, 4), (Rgb{1, 1, 1}));
    EXPECT_EQ(p.surface.GetPixel(5, 17), (Rgb{1, 1, 1}));
    EXPECT_EQ(p.surface.GetPixel(34, 16), kBlack);

    // The same layout as the text drawn in one piece.
    CDrawingSurface text(640, 480);
    text.FillOpaque(Rect{0, 0, 640, 480}, Rgb{1, 1, 1});
    text.SetTextColor(kWhite);
    text.SetBkColor(kBlack);
    text.DrawText(5, 5, "0 1 2 ");
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
        {
            const Rgb label = p.surface.GetPixel(x, y);
            const bool ink = label != kBlack && label != Rgb{1, 1, 1};
            ASSERT_EQ(text.GetPixel(x, y) == kWhite, ink) << x << "," << y;
        }
}

TEST(RegionDrawing, TwoDigitLabelsAndEraseLeavesBlackCells)
{
    AttachedPlot p;
    p.surface.FillOpaque(Rect{0, 0, 640, 480}, Rgb{1, 1, 1});
    p.plot.DrawRegionLabels(12, -1);
    // Ten one-digit labels and two two-digit ones: 10 * 10 + 2 * 16 = 132 pixels from x = 5.
    EXPECT_EQ(p.surface.GetPixel(136, 10), kBlack);
    EXPECT_EQ(p.surface.GetPixel(137, 10), (Rgb{1, 1, 1}));
    EXPECT_EQ(InkColours(p.surface, 105, 117),
              (std::set<std::tuple<int, int, int>>{{143, 143, 143}}));                              // "10"
    EXPECT_EQ(InkColours(p.surface, 121, 127), (std::set<std::tuple<int, int, int>>{{127, 0, 0}})); // "11"
    p.plot.EraseRegionLabels(12);
    for (int y = kLabelTop; y < kLabelTop + kLabelHeight; ++y)
        for (int x = 5; x < 137; ++x)
            ASSERT_EQ(p.surface.GetPixel(x, y), kBlack);
}

// Test that when the count falls, the outlines and labels that went away are taken off and the rest
// of the picture stays as it was.
TEST(RegionDrawing, RedrawWithFewerRegionsErasesOutlinesAndLabels)
{
    AttachedPlot p;
    const Rect rects[3] = {{50, 50, 175, 175}, {300, 60, 400, 200}, {100, 300, 500, 420}};
    p.plot.DrawPositionMarker(MakeRecord(1, 600, 400, 30));
    const auto marker = LitPixelColours(p.surface);
    EXPECT_EQ(p.plot.RedrawRegions(rects, 3, 2), 0);
    EXPECT_EQ(p.plot.m_nDrawnRegions, 3u);
    EXPECT_EQ(PixelsOfColour(p.surface, kRegionColors[1]), OutlineOf(rects[1]));

    EXPECT_EQ(p.plot.RedrawRegions(rects, 1, 0), 0);
    EXPECT_EQ(p.plot.m_nDrawnRegions, 1u);
    EXPECT_EQ(p.plot.m_drawnRegionRects[0], rects[0]);
    CDrawingSurface expected(640, 480);
    CTrackPlot reference;
    reference.Attach(&expected, 640, 480, nullptr);
    reference.DrawPositionMarker(MakeRecord(1, 600, 400, 30));
    reference.DrawRegionOutline(50, 50, 175, 175, 0);
    reference.DrawRegionLabels(1, 0);
    EXPECT_EQ(AllPixels(p.surface), AllPixels(expected));

    // Deleting the last region takes its outline and label off too.
    EXPECT_EQ(p.plot.RedrawRegions(rects, 0, 0), 0);
    EXPECT_EQ(LitPixelColours(p.surface), marker);
}

TEST(RegionDrawing, ThinRegionIsNeitherDrawnNorErasedButLabelled)
{
    AttachedPlot p;
    const Rect rects[2] = {{50, 50, 175, 175}, {300, 60, 301, 200}};
    p.surface.SetPixelV(300, 100, Rgb{9, 9, 9});
    p.plot.RedrawRegions(rects, 2, 1);
    EXPECT_EQ(p.surface.GetPixel(300, 100), (Rgb{9, 9, 9}));
    EXPECT_FALSE(InkColours(p.surface, 15, 21).empty()); // label "1"
    p.plot.RedrawRegions(rects, 2, 1);
    EXPECT_EQ(p.surface.GetPixel(300, 100), (Rgb{9, 9, 9}));
    EXPECT_EQ(PixelsOfColour(p.surface, kRegionColors[0]), OutlineOf(rects[0]));
}

TEST(RegionDrawing, OutlineThroughTheLabelRowIsCoveredByTheCells)
{
    AttachedPlot p;
    const Rect rects[2] = {{0, 8, 300, 200}, {7, 0, 9, 300}};
    p.plot.RedrawRegions(rects, 2, 1);
    // Row 8 of the outline is black inside the label cells (x 5 to 24) and grey beyond them.
    for (int x = 5; x < 25; ++x)
        EXPECT_NE(p.surface.GetPixel(x, 8), kRegionColors[0]) << x;
    EXPECT_EQ(p.surface.GetPixel(25, 8), kRegionColors[0]);
    EXPECT_EQ(p.surface.GetPixel(4, 8), kRegionColors[0]);
    EXPECT_EQ(p.surface.GetPixel(7, 17), kRegionColors[1]);
}

TEST(RegionDrawing, RedrawKeepsAtMostFiftyRegionsAndNeedsASurface)
{
    std::vector<Rect> rects;
    for (int i = 0; i < 60; ++i)
        rects.push_back(Rect{10 + i, 100, 20 + i * 5, 300});
    AttachedPlot p;
    EXPECT_EQ(p.plot.RedrawRegions(rects.data(), 60, 55), 0);
    EXPECT_EQ(p.plot.m_nDrawnRegions, 50u);
    EXPECT_EQ(p.plot.m_drawnRegionRects[49], rects[49]);
    EXPECT_EQ(p.plot.RedrawRegions(nullptr, 5, 0), 0);
    EXPECT_EQ(p.plot.m_nDrawnRegions, 0u);

    CTrackPlot unattached;
    EXPECT_EQ(unattached.RedrawRegions(rects.data(), 3, 0), -601);
    EXPECT_EQ(unattached.m_nDrawnRegions, 0u);
    EXPECT_EQ(unattached.DrawRegionLabels(3, 0), -601);
}

TEST(RubberBand, TrackMovesTheBandAndEndRestoresThePicture)
{
    AttachedPlot p;
    FillRandom(p.surface, 21);
    const std::vector<Rgb> before = AllPixels(p.surface);
    EXPECT_EQ(p.plot.BeginBand(100, 120), 0);
    EXPECT_EQ(p.plot.m_ptBandAnchor, (Point{100, 120}));
    EXPECT_FALSE(p.plot.m_bBandShown);
    EXPECT_EQ(AllPixels(p.surface), before);

    EXPECT_EQ(p.plot.TrackBand(40, 300), 0);
    EXPECT_TRUE(p.plot.m_bBandShown);
    EXPECT_EQ(p.plot.TrackBand(200, 50), 0);
    EXPECT_EQ(p.plot.m_ptBandCorner, (Point{200, 50}));
    // Only the band at the last corner is shown: white XOR background on its outline.
    const PixelSet band = OutlineOf(Rect{100, 120, 200, 50});
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
        {
            Rgb want = before[static_cast<std::size_t>(y * 640 + x)];
            if (band.count({x, y}))
                want = Rgb{static_cast<std::uint8_t>(want.r ^ 255), static_cast<std::uint8_t>(want.g ^ 255),
                           static_cast<std::uint8_t>(want.b ^ 255)};
            ASSERT_EQ(p.surface.GetPixel(x, y), want) << x << "," << y;
        }
    EXPECT_EQ(p.surface.GetROP2(), RasterOp::Copy);

    EXPECT_EQ(p.plot.EndBand(), 0);
    EXPECT_FALSE(p.plot.m_bBandShown);
    EXPECT_EQ(AllPixels(p.surface), before);
    EXPECT_EQ(p.plot.EndBand(), -602);
    EXPECT_EQ(AllPixels(p.surface), before);
}

TEST(RubberBand, WithoutASurface)
{
    CTrackPlot plot;
    EXPECT_EQ(plot.BeginBand(1, 2), 0);
    EXPECT_EQ(plot.TrackBand(5, 5), -601);
    EXPECT_FALSE(plot.m_bBandShown);
    EXPECT_EQ(plot.m_ptBandCorner, (Point{0, 0}));
    plot.m_bBandShown = true;
    EXPECT_EQ(plot.EndBand(), -601);
    EXPECT_FALSE(plot.m_bBandShown);
}
