#include "recalc/DirectionFinder.h"

#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace
{
std::array<TrackWord, kMaxTargets> Targets(const std::vector<TrackWord>& words)
{
    std::array<TrackWord, kMaxTargets> targets{};
    for (std::size_t k = 0; k < words.size(); ++k)
        targets[k] = words[k];
    return targets;
}

TrackWord Red(std::uint32_t x, std::uint32_t y)
{
    return MakeTrackWord(x, y, kWordBitRR);
}
TrackWord Green(std::uint32_t x, std::uint32_t y)
{
    return MakeTrackWord(x, y, kWordBitPG);
}
TrackWord Blue(std::uint32_t x, std::uint32_t y)
{
    return MakeTrackWord(x, y, kWordBitRB);
}
} // namespace

TEST(DirectionFinder, DecodeTargetFlipsYAndCountsEveryColourBit)
{
    struct Case
    {
        TrackWord word;
        Point point;
        TargetColor colour;
    };
    const Case cases[] = {
        {MakeTrackWord(10, 20, kWordBitLum), {10, 460}, {159, 159, 159}},
        {MakeTrackWord(10, 20, kWordBitLum | kWordBitRR), {10, 460}, {255, 159, 159}},
        {MakeTrackWord(10, 20, kWordBitRR | kWordBitPR), {10, 460}, {255, 0, 0}},
        {MakeTrackWord(0, 500, kWordBitPG | kWordBitPB), {0, -20}, {0, 255, 255}},
        {MakeTrackWord(4095, 4095), {4095, 480 - 4095}, {0, 0, 0}},
    };
    for (const Case& c : cases)
    {
        Point point;
        TargetColor colour;
        ASSERT_EQ(CDirectionFinder::DecodeTarget(c.word, point, colour), 0);
        EXPECT_EQ(point, c.point);
        EXPECT_EQ(colour.red, c.colour.red);
        EXPECT_EQ(colour.green, c.colour.green);
        EXPECT_EQ(colour.blue, c.colour.blue);
    }
    Point untouched{1, 1};
    TargetColor colour{7, 7, 7};
    EXPECT_EQ(CDirectionFinder::DecodeTarget(0, untouched, colour), -1);
    EXPECT_EQ(untouched, (Point{1, 1}));
    EXPECT_EQ(colour.red, 7);
}

// Test the stored (truncated) heading for the worked layouts and every quadrant boundary.
TEST(DirectionFinder, StoredHeadings)
{
    struct Case
    {
        const char* what;
        std::vector<TrackWord> targets;
        int x, y;
        int stored;
    };
    const Case cases[] = {
        {"red-side above the green-side",
         {Red(300, 150), Green(300, 250), Blue(300, 170), Blue(300, 230)},
         0,
         0,
         270},
        {"pointing +X", {Red(350, 200), Green(250, 200), Blue(330, 200), Blue(270, 200)}, 0, 0, 359},
        {"pointing -X", {Red(250, 200), Green(350, 200), Blue(270, 200), Blue(330, 200)}, 0, 0, 180},
        {"pointing +Y (down)", {Red(300, 250), Green(300, 150), Blue(300, 230), Blue(300, 170)}, 0, 0, 89},
        // A vector of length 0 becomes (1e-11, 1e-11): 314.99999999...
        {"record on its green-side blue", {Red(100, 100), Green(300, 200), Blue(290, 200)}, 290, 200, 314},
        // Only a green-side blue: from it to the record's position.
        {"green side only", {Red(100, 100), Green(300, 200), Blue(290, 200)}, 400, 200, 359},
        // Only a red-side blue: from the record's position to it.
        {"red side only", {Red(300, 200), Green(100, 100), Blue(290, 200)}, 200, 200, 359},
        // A record position at the ends of the int range (kept from the file when every target
        // slot is filled) still gives its heading: up and to the right, a little more
        // up, and down and to the right, a little more to the right.
        {"far record, green side only",
         {Red(100, 100), Green(300, 200), Blue(290, 200)},
         std::numeric_limits<std::int32_t>::max(),
         std::numeric_limits<std::int32_t>::min(),
         314},
        {"far record, red side only",
         {Red(300, 200), Green(100, 100), Blue(290, 200)},
         std::numeric_limits<std::int32_t>::min(),
         std::numeric_limits<std::int32_t>::min(),
         44},
        {"no blue", {Red(1, 1), Green(2, 2), Red(3, 3)}, 0, 0, 0},
        {"blue and red, no green", {Red(1, 1), Blue(2, 2), Red(3, 3)}, 0, 0, 360},
        {"blue and green, no red", {Green(1, 1), Blue(2, 2), Green(3, 3)}, 0, 0, 360},
        {"two targets", {Red(1, 1), Blue(2, 2)}, 0, 0, 0},
        {"first word zero", {0, Red(1, 1), Green(2, 2), Blue(3, 3)}, 0, 0, 0},
    };
    for (const Case& c : cases)
    {
        const double heading = CDirectionFinder::FindDirection(Targets(c.targets), c.x, c.y);
        EXPECT_EQ(static_cast<int>(heading), c.stored) << c.what << " " << heading;
    }
}

TEST(DirectionFinder, WorkedValuesBeforeTruncation)
{
    const double up = CDirectionFinder::FindDirection(
        Targets({Red(300, 150), Green(300, 250), Blue(300, 170), Blue(300, 230)}), 0, 0);
    EXPECT_GT(up, 270.0);
    EXPECT_LT(up, 270.000001);
    const double right = CDirectionFinder::FindDirection(
        Targets({Red(350, 200), Green(250, 200), Blue(330, 200), Blue(270, 200)}), 0, 0);
    EXPECT_LT(right, 360.0);
    EXPECT_GT(right, 359.9999);
}

TEST(DirectionFinder, TargetsAfterTheFirstZeroWordAreIgnored)
{
    const auto withTail = Targets({Red(300, 150), Green(300, 250), Blue(300, 170), 0, Blue(300, 100)});
    const auto without = Targets({Red(300, 150), Green(300, 250), Blue(300, 170)});
    EXPECT_EQ(CDirectionFinder::FindDirection(withTail, 10, 10),
              CDirectionFinder::FindDirection(without, 10, 10));
}
