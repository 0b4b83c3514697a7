// Test that the score from squared sides is the score from the arc cosines, to the bit, and that
// the triples with angles are the ones scored, on every small triangle and on many large ones, and that the
// entry filter never keeps out a triple that could enter the table.
#include "recalc/TriangleScore.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>

namespace
{
struct Corner
{
    std::int64_t x;
    std::int64_t y;
};

std::int64_t Squared(Corner a, Corner b)
{
    return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y);
}

// Both scorers on one triangle; a failure names it.
void ExpectSameScore(Corner a, Corner b, Corner c)
{
    const SquaredSides sides(static_cast<double>(Squared(a, b)), static_cast<double>(Squared(b, c)),
                             static_cast<double>(Squared(c, a)));
    std::int32_t fromSquares = -1;
    std::int32_t fromSides = -1;
    const bool squaresScored = ScoreFromSquaredSides(sides, fromSquares);
    const bool sidesScored =
        ScoreFromSides(std::sqrt(sides.ij), std::sqrt(sides.jk), std::sqrt(sides.ki), fromSides);
    ASSERT_EQ(squaresScored, sidesScored)
        << a.x << "," << a.y << " " << b.x << "," << b.y << " " << c.x << "," << c.y;
    if (sidesScored)
    {
        ASSERT_EQ(fromSquares, fromSides)
            << a.x << "," << a.y << " " << b.x << "," << b.y << " " << c.x << "," << c.y;
    }
}
} // namespace

// Every triangle with one corner at the origin and the others on a 25 x 25 grid around it:
// repeated corners, collinear corners (cosines of exactly 1 and -1), right angles, and every
// small whole-number triangle.
TEST(TriangleScore, SquaresGiveTheArcCosineScoreOnEverySmallTriangle)
{
    constexpr int kReach = 12;
    for (std::int64_t bx = -kReach; bx <= kReach; ++bx)
        for (std::int64_t by = -kReach; by <= kReach; ++by)
            for (std::int64_t cx = -kReach; cx <= kReach; ++cx)
                for (std::int64_t cy = -kReach; cy <= kReach; ++cy)
                    ExpectSameScore({0, 0}, {bx, by}, {cx, cy});
}

// Triangles of every shape across a 4096 x 4096 frame, and thin or nearly collinear ones whose
// cosines come within a hair of 1 and -1, and nearly equilateral ones.
TEST(TriangleScore, SquaresGiveTheArcCosineScoreOnLargeTriangles)
{
    std::mt19937_64 random(26);
    std::uniform_int_distribution<std::int64_t> frame(0, 4095);
    std::uniform_int_distribution<std::int64_t> nudge(-2, 2);
    for (int t = 0; t < 300000; ++t)
    {
        const Corner a{frame(random), frame(random)};
        const Corner b{frame(random), frame(random)};
        Corner c{frame(random), frame(random)};
        switch (t % 3)
        {
        case 1: // near the line through a and b
            c = Corner{(a.x + b.x) / 2 + nudge(random), (a.y + b.y) / 2 + nudge(random)};
            break;
        case 2: // near the third corner of the equilateral triangle on a, b
        {
            const double mx = (a.x + b.x) / 2.0;
            const double my = (a.y + b.y) / 2.0;
            const double h = std::sqrt(3.0) / 2.0;
            c = Corner{static_cast<std::int64_t>(mx - h * static_cast<double>(b.y - a.y)) + nudge(random),
                       static_cast<std::int64_t>(my + h * static_cast<double>(b.x - a.x)) + nudge(random)};
            break;
        }
        default:
            break;
        }
        ExpectSameScore(a, b, c);
    }
}

// Test the filter against the exact score: for every worst score, a triple it keeps out scores at
// least that much, and a triple scoring below it has sides within its ratio. Half the triangles
// are nearly equilateral, so that the lowest scores, where the filter is tightest, come often.
TEST(TriangleScore, EntryFilterOnlyKeepsOutTriplesThatCannotEnter)
{
    std::mt19937_64 random(4);
    std::uniform_int_distribution<std::int64_t> spot(0, 300);
    std::uniform_int_distribution<std::int64_t> nudge(-1, 1);
    int keptOut = 0;
    int belowOne = 0;
    int belowWorst = 0;
    for (const std::int32_t worst : {1, 2, 3, 5, 8, 13, 30, 59, 60, 61, 120, 400})
    {
        CEntryFilter filter;
        filter.SetWorstScore(worst);
        for (int t = 0; t < 40000; ++t)
        {
            const Corner a{spot(random), spot(random)};
            const Corner b{spot(random), spot(random)};
            Corner c{spot(random), spot(random)};
            if (t % 2 == 0)
            {
                const double h = std::sqrt(3.0) / 2.0;
                c = Corner{static_cast<std::int64_t>(
                               std::lround((a.x + b.x) / 2.0 - h * static_cast<double>(b.y - a.y))) +
                               nudge(random),
                           static_cast<std::int64_t>(
                               std::lround((a.y + b.y) / 2.0 + h * static_cast<double>(b.x - a.x))) +
                               nudge(random)};
            }
            const SquaredSides sides(static_cast<double>(Squared(a, b)), static_cast<double>(Squared(b, c)),
                                     static_cast<double>(Squared(c, a)));
            std::int32_t score = 0;
            if (!ScoreFromSides(std::sqrt(sides.ij), std::sqrt(sides.jk), std::sqrt(sides.ki), score))
                continue;
            if (filter.CannotEnter(sides))
            {
                ++keptOut;
                ASSERT_GE(score, worst) << "worst " << worst;
            }
            if (score < worst)
            {
                ++belowWorst;
                belowOne += score == 0 ? 1 : 0;
                const double longest = std::max({sides.ij, sides.jk, sides.ki});
                const double shortest = std::min({sides.ij, sides.jk, sides.ki});
                ASSERT_LE(longest, shortest * filter.SquaredSideRatio()) << "worst " << worst;
            }
        }
    }
    // Every side of the filter was exercised many times, triangles of score 0 included.
    EXPECT_GT(keptOut, 100000);
    EXPECT_GT(belowWorst, 10000);
    EXPECT_GT(belowOne, 100);
}

TEST(TriangleScore, EntryFilterLimits)
{
    CEntryFilter filter;
    // Before the table is full nothing is kept out.
    EXPECT_FALSE(filter.CannotEnter(SquaredSides(1.0, 10000.0, 10000.0)));
    EXPECT_EQ(filter.SquaredSideRatio(), std::numeric_limits<double>::infinity());
    // A worst score of 0: nothing can score below it.
    filter.SetWorstScore(0);
    EXPECT_TRUE(filter.CannotEnter(SquaredSides(100.0, 100.0, 100.0)));
    // A worst score of 3 keeps an equilateral triangle's angles of 60.03 (score 0) in and a
    // right isosceles one (score 30 + 15 + 15) out.
    filter.SetWorstScore(3);
    EXPECT_FALSE(filter.CannotEnter(SquaredSides(49.0, 49.0, 49.0)));
    EXPECT_TRUE(filter.CannotEnter(SquaredSides(100.0, 100.0, 200.0)));
    EXPECT_GT(filter.SquaredSideRatio(), 1.0);
    EXPECT_LT(filter.SquaredSideRatio(), 1.3);
}
