// Test that the tests made on squares answer as the same tests on square roots do, at and around
// every boundary.
#include "recalc/SquaredLength.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

// Every square near the band's bounds, for bounds that are negative, zero, small, at the end of
// the exact range and far beyond it.
TEST(SquaredLength, BandOnSquaresIsTheBandOnRoots)
{
    const std::int32_t bounds[] = {
        std::numeric_limits<std::int32_t>::min(), -100, -1, 0, 1, 2, 10, 99, 100, 4095, 46340, 46341, 1 << 20,
        std::numeric_limits<std::int32_t>::max()};
    std::vector<std::int64_t> squares{0, 1, 2, 3, kExactSquaredLengthLimit - 1};
    for (const std::int32_t bound : bounds)
    {
        const std::int64_t square = std::int64_t{bound} * bound;
        for (std::int64_t near = square - 3; near <= square + 3; ++near)
            if (near >= 0 && near < kExactSquaredLengthLimit)
                squares.push_back(near);
    }
    for (const std::int32_t min : bounds)
    {
        for (const std::int32_t max : bounds)
        {
            const CSquaredBand band(min, max);
            for (const std::int64_t square : squares)
            {
                const double root = std::sqrt(static_cast<double>(square));
                EXPECT_EQ(band.Contains(square), min <= root && root <= max)
                    << min << ".." << max << " " << square;
                EXPECT_EQ(band.StrictlyContains(square), min < root && root < max)
                    << min << ".." << max << " " << square;
            }
        }
    }
}

// Squares a few units in the last place either side of a radius squared, of whole and of
// fractional radii across many magnitudes, and the edges: 0, infinity, NaN, negative radii.
TEST(SquaredLength, ComparisonsOnSquaresAreThoseOnRoots)
{
    std::mt19937_64 random(9);
    std::vector<double> radii{0.0,
                              1e-300,
                              0x1p-520,
                              0.5,
                              1.0,
                              5.0,
                              5.522680508593631,
                              40.0,
                              1e10,
                              1e200,
                              std::numeric_limits<double>::infinity(),
                              -1.0,
                              std::numeric_limits<double>::quiet_NaN()};
    std::uniform_real_distribution<double> anywhere(0.0, 3000.0);
    for (int r = 0; r < 2000; ++r)
        radii.push_back(anywhere(random));
    int equal = 0;
    for (const double radius : radii)
    {
        std::vector<double> squares{0.0, std::numeric_limits<double>::infinity()};
        if (radius >= 0.0 && std::isfinite(radius))
        {
            double below = radius * radius;
            double above = below;
            for (int step = 0; step < 6; ++step)
            {
                squares.push_back(below);
                squares.push_back(above);
                below = std::nextafter(below, 0.0);
                above = std::nextafter(above, std::numeric_limits<double>::infinity());
            }
            squares.push_back(radius * radius * 0.999);
            squares.push_back(radius * radius * 1.001);
        }
        for (const double square : squares)
        {
            const double root = std::sqrt(square);
            const int expected = root < radius ? -1 : (root == radius ? 0 : 1);
            EXPECT_EQ(CompareRoot(square, radius) < 0, root < radius) << square << " " << radius;
            EXPECT_EQ(CompareRoot(square, radius) <= 0, root <= radius) << square << " " << radius;
            if (!std::isnan(radius))
            {
                EXPECT_EQ(CompareRoot(square, radius), expected) << square << " " << radius;
            }
            equal += expected == 0 ? 1 : 0;
            if (radius >= 0.0)
            {
                const double limit = radius * radius;
                EXPECT_EQ(RootAtMostRootOf(square, limit), root <= std::sqrt(limit))
                    << square << " " << limit;
            }
        }
    }
    // Squares whose root is the radius itself, though not its square, were among them.
    EXPECT_GT(equal, 2000);
}
