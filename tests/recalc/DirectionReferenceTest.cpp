// Test that the production direction finder gives exactly the heading of the plain reference, to
// the bit, on many generated target lists: heads of one red, one green and two blue targets as the
// tracker sees them, lists with several reds and greens, targets of several colours at once,
// blue targets equally near both sides, repeated targets and targets below the flip row.
#include "recalc/DirectionFinder.h"
#include "recalc/ReferenceDirectionFinder.h"

#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace
{
constexpr TrackWord kColourBits[] = {kWordBitRR, kWordBitRG, kWordBitRB, kWordBitPR,
                                     kWordBitPG, kWordBitPB, kWordBitLum};

TrackWord RandomColours(std::mt19937_64& random)
{
    TrackWord colours = 0;
    for (const TrackWord bit : kColourBits)
        colours |= random() % 3 == 0 ? bit : 0;
    return colours;
}

std::array<TrackWord, kMaxTargets> MakeTargets(std::mt19937_64& random, int kind)
{
    std::array<TrackWord, kMaxTargets> targets{};
    const auto cx = static_cast<std::uint32_t>(40 + random() % 560);
    const auto cy = static_cast<std::uint32_t>(40 + random() % 400);
    const auto Near = [&](std::uint32_t spread)
    {
        return std::pair<std::uint32_t, std::uint32_t>{
            cx + static_cast<std::uint32_t>(random() % (2 * spread + 1)) - spread,
            cy + static_cast<std::uint32_t>(random() % (2 * spread + 1)) - spread};
    };
    std::size_t n = 0;
    switch (kind)
    {
    case 0: // the usual head: one red, one green, two blue, now and then a stray target
    {
        const TrackWord colours[] = {kWordBitRR, kWordBitRG, kWordBitRB, kWordBitPB};
        for (const TrackWord colour : colours)
        {
            const auto [x, y] = Near(20);
            targets[n++] = MakeTrackWord(x, y, colour | (random() % 8 == 0 ? kWordBitLum : 0));
        }
        if (random() % 4 == 0)
            targets[n++] = MakeTrackWord(static_cast<std::uint32_t>(random() % 640),
                                         static_cast<std::uint32_t>(random() % 480), RandomColours(random));
        break;
    }
    case 1: // blue targets on the perpendicular bisector of the red and the green: equal means
    {
        targets[n++] = MakeTrackWord(cx - 10, cy, kWordBitRR);
        targets[n++] = MakeTrackWord(cx + 10, cy, kWordBitPG);
        for (int b = 0; b < 3; ++b)
            targets[n++] = MakeTrackWord(cx, cy + static_cast<std::uint32_t>(random() % 30), kWordBitRB);
        break;
    }
    case 2: // many targets of any colours, some repeated, up to all 50 (no list end)
    {
        n = 3 + random() % 48;
        for (std::size_t t = 0; t < n; ++t)
        {
            const auto [x, y] = Near(60);
            targets[t] = t > 0 && random() % 6 == 0 ? targets[random() % t]
                                                    : MakeTrackWord(x, y, RandomColours(random));
        }
        break;
    }
    default: // anywhere in the word's range, Y beyond the flip row included
        n = 3 + random() % 10;
        for (std::size_t t = 0; t < n; ++t)
            targets[t] = MakeTrackWord(static_cast<std::uint32_t>(random() % 4096),
                                       static_cast<std::uint32_t>(random() % 4096), RandomColours(random));
        break;
    }
    // A zero word has no colour and no place; one that came out as 0 becomes a luminance spot.
    for (std::size_t t = 0; t < n; ++t)
        targets[t] = targets[t] == 0 ? kWordBitLum : targets[t];
    if (n + 1 < kMaxTargets && random() % 5 == 0)
        targets[n + 1] = MakeTrackWord(1, 1, kWordBitRB); // after the list's end: ignored
    return targets;
}
} // namespace

TEST(DirectionReference, ProductionMatchesTheReferenceToTheBit)
{
    std::mt19937_64 random(20260301);
    int headings = 0;
    for (int c = 0; c < 60000; ++c)
    {
        const std::array<TrackWord, kMaxTargets> targets = MakeTargets(random, c % 4);
        const int x = static_cast<int>(random() % 700) - 30;
        const int y = static_cast<int>(random() % 700) - 30;
        const double production = CDirectionFinder::FindDirection(targets, x, y);
        const double expected = reference::FindDirection(targets, x, y);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(production), std::bit_cast<std::uint64_t>(expected))
            << "case " << c << ": " << production << " against " << expected;
        const std::span<const TrackWord> listed(targets.data(), CountListEntries(targets));
        ASSERT_EQ(CDirectionFinder::FindWholeDirection(listed, x, y), static_cast<std::int32_t>(expected))
            << "case " << c;
        headings += production != 0.0 && production != 360.0 ? 1 : 0;
    }
    // Most lists give a heading, not one of the fallbacks.
    EXPECT_GT(headings, 30000);
}

// Test the whole-degree heading on every direction vector of a 121 x 121 grid: along both axes,
// on the diagonals and at every small whole-number slope, where the heading falls on or within a
// hair of a whole degree. The blue target that is also red is the front, the one that is also
// green the back, so the vector is the one from the second to the first.
TEST(DirectionReference, WholeDegreesOfEverySmallVector)
{
    constexpr int kReach = 60;
    int onWholeDegrees = 0;
    for (int dx = -kReach; dx <= kReach; ++dx)
    {
        for (int dy = -kReach; dy <= kReach; ++dy)
        {
            constexpr std::uint32_t kBack = 1000;
            std::array<TrackWord, kMaxTargets> targets{};
            targets[0] = MakeTrackWord(static_cast<std::uint32_t>(static_cast<int>(kBack) + dx),
                                       static_cast<std::uint32_t>(static_cast<int>(kBack) - dy),
                                       kWordBitRB | kWordBitRR);
            targets[1] = MakeTrackWord(kBack, kBack, kWordBitPB | kWordBitPG);
            targets[2] = MakeTrackWord(5, 5, kWordBitLum);
            const double expected = reference::FindDirection(targets, 0, 0);
            ASSERT_EQ(
                CDirectionFinder::FindWholeDirection(std::span<const TrackWord>(targets.data(), 3), 0, 0),
                static_cast<std::int32_t>(expected))
                << dx << ", " << dy << ": " << expected;
            onWholeDegrees += std::fabs(expected - std::round(expected)) < 1e-6 ? 1 : 0;
        }
    }
    // The axes and diagonals alone put several hundred headings within a hair of a whole degree.
    EXPECT_GT(onWholeDegrees, 400);
}
