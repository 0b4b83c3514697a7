// Drawing one record: word decoding, the position marker, points and targets views.
#include "PlotTestSupport.h"
#include "plot/TrackPlot.h"
#include "support/TrackFileBuilder.h"

#include <gtest/gtest.h>
#include <limits>

namespace
{
constexpr Rgb kPurple{128, 0, 128};
constexpr ColorFilter kAllOn{};
constexpr ColorFilter kAllOff{false, false, false, false, false, false, false};

struct AttachedPlot
{
    explicit AttachedPlot(int width = 640, int height = 480) : surface(width, height)
    {
        plot.Attach(&surface, width, height, nullptr);
    }
    CDrawingSurface surface;
    CTrackPlot plot;
};

void AddRow(std::map<Pixel, Rgb>& map, int y, int fromX, int toX, Rgb c)
{
    for (int x = std::min(fromX, toX); x <= std::max(fromX, toX); ++x)
        map[{x, y}] = c;
}

void AddColumn(std::map<Pixel, Rgb>& map, int x, int fromY, int toY, Rgb c)
{
    for (int y = std::min(fromY, toY); y <= std::max(fromY, toY); ++y)
        map[{x, y}] = c;
}

TrackRecord RecordWithPoints(const std::vector<TrackWord>& points)
{
    TrackRecord record = MakeRecord(1, 300, 300, 0);
    for (std::size_t k = 0; k < kMaxPoints; ++k)
        record.points[k] = k < points.size() ? points[k] : 0;
    return record;
}
} // namespace

TEST(RecordDrawing, DecodeTrackWordClampsAndColours)
{
    struct Case
    {
        TrackWord word;
        ColorFilter filter;
        DecodedTrackWord want;
    };
    const Case cases[] = {
        {MakeTrackWord(4095, 4095), kAllOn, {639, 479, kBlack}},
        {MakeTrackWord(639, 479), kAllOn, {639, 479, kBlack}},
        {MakeTrackWord(638, 478), kAllOn, {638, 478, kBlack}},
        {MakeTrackWord(0, 0, kWordBitLum), kAllOn, {0, 0, {159, 159, 159}}},
        {MakeTrackWord(5, 6, kWordBitLum | kWordBitRR), kAllOn, {5, 6, {255, 159, 159}}},
        {MakeTrackWord(5, 6, kWordBitRR | kWordBitPR), kAllOn, {5, 6, {255, 0, 0}}},
        {MakeTrackWord(1, 1, kWordBitRG | kWordBitPB), kAllOn, {1, 1, {0, 255, 255}}},
        {MakeTrackWord(1, 1, kWordBitRB | kWordBitPG), kAllOn, {1, 1, {0, 255, 255}}},
        {MakeTrackWord(1, 1, kWordBitLum | kWordBitRR | kWordBitRG | kWordBitRB), kAllOn, {1, 1, kWhite}},
        {MakeTrackWord(1, 1, kWordBitLum | kWordBitRR), kAllOff, {1, 1, kBlack}},
        {MakeTrackWord(1, 1, kWordBitLum | kWordBitRR),
         {true, true, true, true, true, true, false},
         {1, 1, {255, 0, 0}}},
        {MakeTrackWord(1, 1, kWordBitRR | kWordBitPR),
         {false, true, true, true, true, true, true},
         {1, 1, {255, 0, 0}}},
        {MakeTrackWord(1, 1, kWordBitRR | kWordBitPR),
         {false, false, true, true, true, true, true},
         {1, 1, kBlack}},
        {MakeTrackWord(1, 1, kWordBitPG), {true, true, true, false, true, true, true}, {1, 1, kBlack}},
        {MakeTrackWord(1, 1, kWordBitRG), {true, true, false, true, true, true, true}, {1, 1, kBlack}},
        {MakeTrackWord(1, 1, kWordBitRB), {true, true, true, true, false, true, true}, {1, 1, kBlack}},
        {MakeTrackWord(1, 1, kWordBitPB), {true, true, true, true, true, false, true}, {1, 1, kBlack}},
        {MakeTrackWord(1, 1, 0x80000000u | kWordBitPB), kAllOn, {1, 1, {0, 0, 255}}}, // bit 31 ignored
    };
    AttachedPlot p;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << std::hex << c.word);
        EXPECT_EQ(p.plot.DecodeTrackWord(c.word, c.filter), c.want);
    }
}

// Test the worked marker at (100, 100) with angle 0, pixel for pixel: the purple dot, the white
// circle, the shaft (80, 100)-(120, 100), the strokes to (116, 103) and (116, 96), and the crossbar
// (99, 110)-(100, 90) that truncates to column 99 at its start.
TEST(RecordDrawing, MarkerAtAngleZeroIsExactlyTheWorkedExample)
{
    AttachedPlot p;
    EXPECT_EQ(p.plot.DrawPositionMarker(MakeRecord(1, 100, 100, 0)), 0);

    std::map<Pixel, Rgb> want;
    for (int y = 99; y <= 101; ++y)
        AddRow(want, y, 99, 101, kPurple);
    const char* const circle[] = {
        "...####...", "..#....#..", ".#......#.", "#........#", "#........#",
        "#........#", "#........#", ".#......#.", "..#....#..", "...####...",
    };
    for (int row = 0; row < 10; ++row)
        for (int column = 0; column < 10; ++column)
            if (circle[row][column] == '#')
                want[{95 + column, 95 + row}] = kWhite;
    AddRow(want, 100, 80, 119, kWhite);
    for (const Pixel& px : {Pixel{120, 100}, Pixel{119, 101}, Pixel{118, 101}, Pixel{117, 102}})
        want[px] = kWhite;
    for (const Pixel& px : {Pixel{120, 100}, Pixel{119, 99}, Pixel{118, 98}, Pixel{117, 97}})
        want[px] = kWhite;
    AddColumn(want, 99, 110, 100, kWhite);
    AddColumn(want, 100, 99, 91, kWhite);
    EXPECT_EQ(LitPixelColours(p.surface), want);
}

// Test that at angle 90 the tip truncates to (99, 120) and the tail to (100, 80): the shaft starts
// in column 100 at row 80 and ends in column 99, and the strokes leave from (99, 120).
TEST(RecordDrawing, MarkerAtAngleNinetyTruncatesTipAndTail)
{
    AttachedPlot p;
    p.plot.DrawPositionMarker(MakeRecord(1, 100, 100, 90));
    const auto lit = LitPixelColours(p.surface);
    auto colourAt = [&](int x, int y)
    {
        const auto it = lit.find({x, y});
        return it == lit.end() ? kBlack : it->second;
    };
    EXPECT_EQ(colourAt(100, 80), kWhite);
    EXPECT_EQ(colourAt(100, 79), kBlack);
    EXPECT_EQ(colourAt(99, 80), kBlack);
    EXPECT_EQ(colourAt(100, 94), kWhite);
    EXPECT_EQ(colourAt(99, 106), kWhite);
    EXPECT_EQ(colourAt(100, 106), kBlack);
    EXPECT_EQ(colourAt(99, 120), kWhite);  // first pixel of the strokes from the tip
    EXPECT_EQ(colourAt(100, 120), kBlack); // an untruncated tip would be here
    EXPECT_EQ(colourAt(99, 119), kWhite);
    // Nothing reaches below the tip.
    for (const auto& [px, colour] : lit)
        EXPECT_LE(px.second, 120);
}

// Test that a position near the surface's right and bottom edges, or left of it, draws just the
// parts of the marker that fall inside: the same pixels a larger surface shows there. (Cases are
// chosen so that no computed coordinate lies between -1 and 0, where truncation toward zero is not
// the same as on the shifted surface.)
TEST(RecordDrawing, MarkerAtTheEdgeIsClippedNotClamped)
{
    struct Case
    {
        std::int32_t x, y, angle;
    };
    for (const Case c : {Case{637, 478, 200}, Case{-3, 240, 180}, Case{630, 470, 315}})
    {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " @" << c.angle);
        AttachedPlot small(640, 480);
        AttachedPlot big(840, 680);
        small.plot.DrawPositionMarker(MakeRecord(1, c.x, c.y, c.angle));
        big.plot.DrawPositionMarker(MakeRecord(1, c.x + 100, c.y + 100, c.angle));
        const PixelSet want = LitPixelsInWindow(big.surface, 100, 100, 640, 480);
        EXPECT_FALSE(want.empty());
        EXPECT_EQ(LitPixels(small.surface), want);
    }
}

// Test the marker at (-10, -10) heading 45 degrees: only the shaft's end and the arrowhead reach the
// surface. The tip (4.14, 4.14) truncates to (4, 4); the shaft from (-24, -24) is a pure diagonal;
// the strokes end at (-0.86, 4.14) and (4.14, -0.86), which truncate toward zero to (0, 4) and (4, 0).
TEST(RecordDrawing, MarkerOffTheTopLeftShowsOnlyWhatFallsInside)
{
    AttachedPlot p;
    p.plot.DrawPositionMarker(MakeRecord(1, -10, -10, 45));
    const PixelSet want = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {3, 4},
                           {2, 4}, {1, 4}, {4, 3}, {4, 2}, {4, 1}};
    EXPECT_EQ(LitPixels(p.surface), want);
    EXPECT_EQ(PixelsOfColour(p.surface, kWhite), want);
}

TEST(RecordDrawing, MarkerAtExtremePositionsDrawsNothing)
{
    AttachedPlot p;
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    for (const auto& [x, y] :
         {std::pair{kMax, kMax}, std::pair{kMin, kMin}, std::pair{kMin, 100}, std::pair{100, kMax}})
        EXPECT_EQ(p.plot.DrawPositionMarker(MakeRecord(1, x, y, kMax)), 0);
    EXPECT_TRUE(LitPixels(p.surface).empty());
}

// Test the points view: each segment takes the colour of the point it starts from, a black point
// starts no segment, and the list ends at the first zero word.
TEST(RecordDrawing, PointsViewColoursSegmentsByTheirStartPoint)
{
    const TrackRecord record =
        RecordWithPoints({MakeTrackWord(10, 10, kWordBitRR), MakeTrackWord(20, 10, kWordBitRG),
                          MakeTrackWord(20, 20, kWordBitRB), MakeTrackWord(30, 20, kWordBitRR), 0,
                          MakeTrackWord(50, 50, kWordBitRR)});
    struct Case
    {
        ColorFilter filter;
        bool red, green, blue; // which of the three segments show
    };
    const Case cases[] = {
        {kAllOn, true, true, true},
        {{true, true, false, true, true, true, true}, true, false, true},
        {{false, true, true, true, true, true, true}, false, true, true},
        {kAllOff, false, false, false},
    };
    for (const Case& c : cases)
    {
        AttachedPlot p;
        p.plot.DrawPointsOrTargets(record, c.filter, ViewMode::Points);
        std::map<Pixel, Rgb> want;
        if (c.red)
            AddRow(want, 10, 10, 19, Rgb{255, 0, 0});
        if (c.green)
            AddColumn(want, 20, 10, 19, Rgb{0, 255, 0});
        if (c.blue)
            AddRow(want, 20, 20, 29, Rgb{0, 0, 255});
        EXPECT_EQ(LitPixelColours(p.surface), want);
    }
}

TEST(RecordDrawing, PointsViewOfFullListDraws399SegmentsAndEmptyListNothing)
{
    std::vector<TrackWord> points;
    for (std::uint32_t k = 0; k < kMaxPoints; ++k)
        points.push_back(MakeTrackWord(k + 1, 100, kWordBitRR));
    AttachedPlot p;
    p.plot.DrawPointsOrTargets(RecordWithPoints(points), kAllOn, ViewMode::Points);
    EXPECT_EQ(PixelsOfColour(p.surface, Rgb{255, 0, 0}).size(), 399u); // columns 1 to 399
    EXPECT_EQ(p.surface.GetPixel(400, 100), kBlack);

    AttachedPlot empty;
    empty.plot.DrawRecord(
        RecordWithPoints({0, MakeTrackWord(5, 5, kWordBitRR), MakeTrackWord(9, 9, kWordBitRR)}), kAllOn,
        ViewMode::Points);
    AttachedPlot markerOnly;
    markerOnly.plot.DrawPositionMarker(RecordWithPoints({}));
    EXPECT_EQ(LitPixelColours(empty.surface), LitPixelColours(markerOnly.surface));
}

TEST(RecordDrawing, TargetsViewDrawsBlocksUpToTheFirstZero)
{
    struct Case
    {
        std::size_t zeroAt; // kMaxTargets: none
        std::size_t blocks;
    };
    for (const Case c : {Case{kMaxTargets, 50}, Case{3, 3}, Case{0, 0}})
    {
        std::vector<TrackWord> targets;
        for (std::uint32_t k = 0; k < kMaxTargets; ++k)
            targets.push_back(
                k == c.zeroAt ? 0 : MakeTrackWord(10 + 5 * (k % 25), 10 + 40 * (k / 25), kWordBitPG));
        TrackRecord record = MakeRecord(1, 400, 400, 0);
        SetTargets(record, targets);
        AttachedPlot p;
        p.plot.DrawPointsOrTargets(record, kAllOn, ViewMode::Targets);
        EXPECT_EQ(PixelsOfColour(p.surface, Rgb{0, 255, 0}).size(), 9 * c.blocks);
        EXPECT_EQ(LitPixels(p.surface).size(), 9 * c.blocks);
    }
}

TEST(RecordDrawing, TargetsOnTopOfTheMarkerAndAtTheEdge)
{
    TrackRecord record = MakeRecord(
        1, 200, 200, 0, {MakeTrackWord(200, 200, kWordBitRR), MakeTrackWord(4095, 4095, kWordBitLum)});
    AttachedPlot p;
    p.plot.DrawRecord(record, kAllOff, ViewMode::Targets);
    // All classes off: a black block over the marker's dot and shaft.
    for (int y = 199; y <= 201; ++y)
        for (int x = 199; x <= 201; ++x)
            EXPECT_EQ(p.surface.GetPixel(x, y), kBlack);
    EXPECT_EQ(p.surface.GetPixel(202, 200), kWhite); // the shaft beyond the block

    AttachedPlot lum;
    lum.plot.DrawPointsOrTargets(record, kAllOn, ViewMode::Targets);
    const PixelSet grey = PixelsOfColour(lum.surface, Rgb{159, 159, 159});
    EXPECT_EQ(grey, (PixelSet{{638, 478}, {639, 478}, {638, 479}, {639, 479}}));
    EXPECT_EQ(PixelsOfColour(lum.surface, Rgb{255, 0, 0}).size(), 9u);
}

TEST(RecordDrawing, DrawRecordDoesNotClearAndDrawsTheMarkerFirst)
{
    AttachedPlot p;
    p.surface.SetPixelV(600, 10, Rgb{3, 4, 5});
    const TrackRecord record =
        RecordWithPoints({MakeTrackWord(290, 300, kWordBitRB), MakeTrackWord(310, 300, kWordBitRB)});
    p.plot.DrawRecord(record, kAllOn, ViewMode::Points);
    EXPECT_EQ(p.surface.GetPixel(600, 10), (Rgb{3, 4, 5}));
    EXPECT_EQ(p.surface.GetPixel(300, 300), (Rgb{0, 0, 255})); // the point run lies over the dot
    EXPECT_EQ(p.surface.GetPixel(300, 301), kPurple);
}

TEST(RecordDrawing, NothingIsDrawnWithoutASurface)
{
    CTrackPlot plot;
    const TrackRecord record = MakeRecord(1, 10, 10, 0, {MakeTrackWord(1, 1, kWordBitRR)});
    EXPECT_EQ(plot.DrawPositionMarker(record), -601);
    EXPECT_EQ(plot.DrawPointsOrTargets(record, kAllOn, ViewMode::Points), -601);
    EXPECT_EQ(plot.DrawRecord(record, kAllOn, ViewMode::Targets), -601);
    EXPECT_EQ(plot.Clear(), -601);
    EXPECT_EQ(plot.Attach(nullptr, 640, 480, nullptr), 0);
    EXPECT_EQ(plot.Clear(), -601);
}
