// Test that the production center search gives exactly the results of the plain reference walk
// over all triples, on many generated target sets, degenerate ones included.
#include "recalc/CenterFinder.h"
#include "recalc/ReferenceCenterFinder.h"

#include <gtest/gtest.h>
#include <vector>

namespace
{
class CSplitMix
{
public:
    explicit CSplitMix(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t m_state;
};

// Target sets of several kinds: scattered, clustered like a head of lights, on a line, on a grid
// (equal X and Y, sides exactly at round lengths), with repeated points, 3-4-5 right triangles
// whose sides land exactly on the band's bounds, a triangular lattice (many triples of one
// score, so that ties decide what the table keeps), sets spread wider than 2^15 pixels (measured
// on rounded lengths rather than squares) or just under it, and targets at the ends of the
// coordinates a target word holds.
std::vector<Point> MakePoints(CSplitMix& rng, int kind)
{
    const int n = kind == 0 ? 50 : rng.Below(kind == 1 ? 12 : (kind == 6 ? 40 : 30));
    std::vector<Point> points;
    const int cx = 50 + rng.Below(540);
    const int cy = 50 + rng.Below(380);
    for (int p = 0; p < n; ++p)
    {
        switch (kind)
        {
        case 0:
        case 1:
            points.push_back({cx + rng.Below(61) - 30, cy + rng.Below(61) - 30});
            break;
        case 2:
            points.push_back({rng.Below(640), rng.Below(480)});
            break;
        case 3:
            points.push_back({cx + 10 * p, cy + (rng.Below(4) == 0 ? 0 : 10 * p)});
            break;
        case 4:
            points.push_back({cx + 10 * rng.Below(6), cy + 10 * rng.Below(6)});
            break;
        case 6:
        {
            // Rows of a triangular lattice, 10 apart: every small triangle is nearly equilateral.
            const int row = rng.Below(6);
            points.push_back({cx + 10 * rng.Below(6) + (row % 2) * 5, cy + 9 * row});
            break;
        }
        case 7:
        {
            // Up to 40,000 pixels apart along X (the reference's int squares stay in range).
            const int span = rng.Below(2) == 0 ? 32767 : 40000;
            points.push_back({p == 0 ? 0 : (p == 1 ? span : rng.Below(span + 1)), rng.Below(200)});
            break;
        }
        case 8:
        {
            // Near the corners of the coordinates a word holds, 0 and 4095.
            const int x = rng.Below(2) == 0 ? rng.Below(40) : 4095 - rng.Below(40);
            const int y = rng.Below(2) == 0 ? rng.Below(40) : 4095 - rng.Below(40);
            points.push_back({x, y});
            break;
        }
        default:
        {
            // Corners of a 30-40-50 triangle (or twice that): sides exactly at round bounds.
            const int k = 1 + rng.Below(2);
            const int corner[3][2] = {{0, 0}, {30 * k, 0}, {0, 40 * k}};
            const int which = rng.Below(3);
            points.push_back({cx + corner[which][0], cy + corner[which][1]});
            break;
        }
        }
        if (!points.empty() && rng.Below(10) == 0)
            points.push_back(points[static_cast<std::size_t>(rng.Below(static_cast<int>(points.size())))]);
    }
    if (points.size() > 50)
        points.resize(50);
    return points;
}
} // namespace

TEST(CenterSearchReference, ProductionMatchesTheReferenceEverywhere)
{
    CSplitMix rng(20261207);
    const int bands[][2] = {{10, 100}, {0, 50},  {10, 30},  {30, 90},
                            {-5, 40},  {20, 21}, {0, 1000}, {0, 45000}};
    int written = 0;
    constexpr int kCases = 12000;
    for (int c = 0; c < kCases; ++c)
    {
        // One set in 40 has the full 50 targets.
        const int kind = c % 40 == 0 ? 0 : 1 + c % 8;
        const std::vector<Point> points = MakePoints(rng, kind);
        const auto& band = bands[rng.Below(8)];
        CCenterFinder finder;
        finder.SetDistanceLimits(band[0], band[1]);
        Point production{-9999, -9999};
        Point expected{-9999, -9999};
        const int n = static_cast<int>(points.size());
        const int result = finder.FindCenter(points.data(), n, production);
        ASSERT_EQ(result, reference::FindCenter(band[0], band[1], points.data(), n, expected))
            << "case " << c;
        ASSERT_EQ(production, expected)
            << "case " << c << " n " << n << " band " << band[0] << ".." << band[1];
        written += production != Point{-9999, -9999};
    }
    // The generated sets reach both outcomes often.
    EXPECT_GT(written, kCases / 5);
    EXPECT_LT(written, kCases * 4 / 5);
}
