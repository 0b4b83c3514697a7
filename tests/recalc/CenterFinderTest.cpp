#include "recalc/CenterFinder.h"

#include <gtest/gtest.h>
#include <vector>

namespace
{
CCenterFinder Band(int min, int max)
{
    CCenterFinder finder;
    finder.SetDistanceLimits(min, max);
    return finder;
}

// The center for the points, or nullopt when FindCenter does not write it; ComputeCenter, which
// the conversion's per-record step uses, must give the same.
std::optional<Point> CenterOf(const CCenterFinder& finder, const std::vector<Point>& points)
{
    Point center{-7777, -7777};
    const int result = finder.FindCenter(points.data(), static_cast<int>(points.size()), center);
    EXPECT_EQ(result, points.size() < 3 ? -1 : 0);
    const std::optional<Point> written =
        center == Point{-7777, -7777} ? std::nullopt : std::optional<Point>(center);
    EXPECT_EQ(finder.ComputeCenter(points.data(), static_cast<int>(points.size())), written);
    return written;
}
} // namespace

// Test the worked triangle: truncated angles 59, 60, 59, score 2, bisectors meeting at (219, 135),
// (219, 135) and (220, 134), center (219, 134).
TEST(CenterFinder, WorkedTriangle)
{
    const CCenterFinder finder = Band(10, 100);
    const std::vector<Point> points{{200, 100}, {260, 135}, {200, 170}};
    TriangleEntry table[kTriangleSlots];
    ASSERT_EQ(finder.FindTriangles(points.data(), 3, table), 1);
    EXPECT_EQ(table[0].score, 2);

    BisectorLine lines[3];
    ASSERT_EQ(finder.GetBisector(lines[0], 200, 100, 260, 135), 1);
    ASSERT_EQ(finder.GetBisector(lines[1], 260, 135, 200, 170), 1);
    ASSERT_EQ(finder.GetBisector(lines[2], 200, 170, 200, 100), 1);
    Point meets[3];
    ASSERT_EQ(CCenterFinder::IntersectLines(lines, 3, meets), 3);
    EXPECT_EQ(meets[0], (Point{219, 135}));
    EXPECT_EQ(meets[1], (Point{219, 135}));
    EXPECT_EQ(meets[2], (Point{220, 134}));
    EXPECT_EQ(CenterOf(finder, points), (Point{219, 134}));
}

TEST(CenterFinder, WhenNoCenterIsWritten)
{
    struct Case
    {
        const char* what;
        int min, max;
        std::vector<Point> points;
        std::optional<Point> center;
    };
    const Case cases[] = {
        {"two points", 10, 100, {{0, 0}, {50, 0}}, std::nullopt},
        {"sides outside the band", 10, 20, {{200, 100}, {260, 135}, {200, 170}}, std::nullopt},
        // A side exactly at a bound enters the table but its bisector (strict bounds) fails.
        {"side equal to max", 10, 70, {{200, 100}, {260, 135}, {200, 170}}, std::nullopt},
        {"side equal to min", 70, 100, {{200, 100}, {270, 135}, {200, 170}}, std::nullopt},
        // A horizontal side has no bisector slope.
        {"equal Y", 10, 100, {{200, 100}, {260, 100}, {230, 150}}, std::nullopt},
        // Equal X is fine: the vertical side of the worked triangle.
        {"equal X", 10, 100, {{200, 100}, {260, 135}, {200, 170}}, Point{219, 134}},
        {"collinear", 10, 100, {{100, 100}, {130, 130}, {160, 160}}, std::nullopt},
        // With a band reaching 0, two targets at one spot make a side of length 0.
        {"zero side", -1, 100, {{100, 100}, {100, 100}, {130, 150}}, std::nullopt},
        // Nearly collinear: the angles are computable and the triple is kept, but its bisectors
        // meet nowhere, so the kept entry is invalid rather than a center at (0, 0).
        {"kept triple without meeting points", 1, 5000, {{0, 0}, {2001, 1}, {4001, 2}}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CenterOf(Band(c.min, c.max), c.points), c.center) << c.what;
}

// Test that only the 10 best scores survive and that a tie never evicts.
TEST(CenterFinder, TableKeepsTheTenBestAndTiesNeverEvict)
{
    // Groups far apart, so that each group's own triangle is the only one to qualify.
    std::vector<Point> points;
    for (int t = 0; t < 4; ++t)
    {
        const int x = 100 + 200 * (t % 4);
        points.insert(points.end(), {{x, 100}, {x + 40, 100 + 5}, {x + 10, 140}});
    }
    const CCenterFinder finder = Band(10, 60);
    TriangleEntry table[kTriangleSlots];
    const int first = finder.FindTriangles(points.data(), static_cast<int>(points.size()), table);
    EXPECT_EQ(first, 4);

    // A direct construction of the rule: 11 triples of equal score, then a better one.
    std::vector<Point> fan;
    for (int t = 0; t < 12; ++t)
    {
        const int x = 100 * t;
        fan.insert(fan.end(), {{x, 1000}, {x + 30, 1000 + 1}, {x + 15, 1000 + 27}});
    }
    // Worse triangles first (not near equilateral), then an exact-ish one at the end.
    std::vector<Point> bad;
    for (int t = 0; t < 11; ++t)
        bad.insert(bad.end(), {{100 * t, 2000}, {100 * t + 40, 2001}, {100 * t + 5, 2030}});
    bad.insert(bad.end(), {{3000, 3000}, {3030, 3001}, {3015, 3027}});
    const CCenterFinder wide = Band(10, 50);
    TriangleEntry badTable[kTriangleSlots];
    ASSERT_EQ(wide.FindTriangles(bad.data(), static_cast<int>(bad.size()), badTable), kTriangleSlots);
    // The last (good) triangle evicted the lowest slot among the equal worst ones: slot 0.
    EXPECT_EQ(badTable[0].i, 33);
    EXPECT_LT(badTable[0].score, badTable[1].score);
    for (int s = 1; s < kTriangleSlots; ++s)
        EXPECT_EQ(badTable[s].i, 3 * s) << s;

    TriangleEntry fanTable[kTriangleSlots];
    ASSERT_EQ(wide.FindTriangles(fan.data(), static_cast<int>(fan.size()), fanTable), kTriangleSlots);
    // Equal scores: the 11th and 12th triangles replace nothing.
    for (int s = 0; s < kTriangleSlots; ++s)
        EXPECT_EQ(fanTable[s].i, 3 * s) << s;
}

TEST(CenterFinder, OutlierPassKeepsTheCentersWithinTheRmsDistance)
{
    struct Case
    {
        std::vector<Point> centers;
        Point firstMean;
        double rms;
        Point result;
    };
    const Case cases[] = {
        {{{100, 100}, {111, 100}}, {105, 100}, 5.522680508593631, {100, 100}},
        {{{100, 100}, {110, 100}}, {105, 100}, 5.0, {105, 100}},
        {{{100, 100}, {102, 100}, {101, 101}, {200, 300}}, {125, 150}, 0.0, {101, 100}},
    };
    for (const Case& c : cases)
    {
        const int n = static_cast<int>(c.centers.size());
        double rms = 0.0;
        ASSERT_EQ(CCenterFinder::GetRmsDistance(c.centers.data(), n, c.firstMean.x, c.firstMean.y, rms), 0);
        if (c.rms > 0.0)
        {
            EXPECT_DOUBLE_EQ(rms, c.rms);
        }
        Point mean{0, 0};
        ASSERT_EQ(CCenterFinder::GetMeanWithin(c.centers.data(), n, c.firstMean.x, c.firstMean.y, rms, mean),
                  0);
        EXPECT_EQ(mean, c.result);
    }
    Point untouched{1, 2};
    double rms = 3.0;
    const Point one{5, 5};
    EXPECT_EQ(CCenterFinder::GetRmsDistance(&one, 1, 0, 0, rms), -1);
    EXPECT_EQ(rms, 3.0);
    EXPECT_EQ(CCenterFinder::GetMeanWithin(&one, 1, 0, 0, 1.0, untouched), -1);
    EXPECT_EQ(CCenterFinder::GetMeanWithin(&one, 0, 0, 0, 100.0, untouched), -1);
    EXPECT_EQ(untouched, (Point{1, 2}));
}

TEST(CenterFinder, IntersectLinesSkipsParallelPairsAndFarMeetings)
{
    BisectorLine lines[3] = {{0, 0, 1.0, 0.0}, {0, 0, 1.0, 5.0}, {0, 0, -1.0, 10.0}};
    Point out[3];
    EXPECT_EQ(CCenterFinder::IntersectLines(lines, 1, out), -1);
    ASSERT_EQ(CCenterFinder::IntersectLines(lines, 3, out), 2);
    EXPECT_EQ(out[0], (Point{5, 5}));
    EXPECT_EQ(out[1], (Point{2, 7})); // X = trunc(2.5) = 2, Y from the truncated X on line 1
    // Nearly parallel lines meet beyond any coordinate: that meeting point is left out.
    BisectorLine far[2] = {{0, 0, 1.0, 0.0}, {0, 0, 1.0 + 1e-12, 5.0}};
    EXPECT_EQ(CCenterFinder::IntersectLines(far, 2, out), 0);
}

TEST(CenterFinder, GetBisectorBoundsAreStrict)
{
    const CCenterFinder finder = Band(10, 50);
    BisectorLine line;
    EXPECT_EQ(finder.GetBisector(line, 0, 0, 30, 40), -1); // length 50 = max
    EXPECT_EQ(finder.GetBisector(line, 0, 0, 6, 8), -1);   // length 10 = min
    EXPECT_EQ(finder.GetBisector(line, 0, 0, 40, 0), -1);  // horizontal
    ASSERT_EQ(finder.GetBisector(line, 0, 0, 0, 40), 1);   // vertical: horizontal bisector
    EXPECT_EQ(line.slope, 0.0);
    EXPECT_EQ(line.intercept, 20.0);
    ASSERT_EQ(finder.GetBisector(line, 1, 1, 20, 30), 1);
    EXPECT_EQ(line.midX, 10.0); // (1 + 20) / 2 truncated
    EXPECT_EQ(line.midY, 15.0);
    EXPECT_DOUBLE_EQ(line.slope, -19.0 / 29.0);
}
