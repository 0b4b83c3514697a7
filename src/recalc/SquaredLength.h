// Tests on lengths made on their squares. The center search and the quality figures compare square
// roots of whole numbers (side lengths, distances) with bounds; the square root is correctly
// rounded and never decreasing, so most of those comparisons can be made on the squares
// themselves, with the answer the root would give, and the root is only taken where the two are
// too close to tell.
#pragma once

#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>

// Squared lengths below this are whole numbers held exactly in a double, and so far from the
// next whole number's root that the band's tests below are exact on them. Coordinates that differ
// by less than kExactCoordinateSpan on each axis give such squares.
inline constexpr std::int64_t kExactSquaredLengthLimit = std::int64_t{1} << 31;
inline constexpr std::int64_t kExactCoordinateSpan = std::int64_t{1} << 15;

// The band min..max of the center search on squared lengths: Contains(d) is exactly
// min <= sqrt(d) <= max and StrictlyContains(d) exactly min < sqrt(d) < max, for whole d from 0
// to below kExactSquaredLengthLimit, whatever the two bounds. (For a bound m with m * m below
// 2^51 the root of m * m + 1 cannot round down to m, nor that of m * m - 1 up to m; a larger bound
// lies beyond every root of such a d.)
class CSquaredBand
{
public:
    CSquaredBand(std::int32_t min, std::int32_t max)
        : m_lowStrict(min < 0 ? -1 : Square(min)), m_highStrict(max <= 0 ? 0 : Square(max))
    {
        const std::int64_t low = min <= 0 ? 0 : Square(min);
        if (max < 0 || Square(max) < low)
            return; // no square: every one lies below m_lowInclusive and wraps far above the width 0
        m_lowInclusive = low;
        m_inclusiveWidth = static_cast<std::uint64_t>(Square(max) - low);
    }

    [[nodiscard]] bool Contains(std::int64_t squared) const
    {
        assert(squared >= 0 && squared < kExactSquaredLengthLimit && "a square outside the exact range");
        // A square below the band wraps around to far above it: one unsigned comparison.
        return static_cast<std::uint64_t>(squared - m_lowInclusive) <= m_inclusiveWidth;
    }
    [[nodiscard]] bool StrictlyContains(std::int64_t squared) const
    {
        assert(squared >= 0 && squared < kExactSquaredLengthLimit && "a square outside the exact range");
        return m_lowStrict < squared && squared < m_highStrict;
    }

private:
    static std::int64_t Square(std::int32_t v) { return std::int64_t{v} * v; }

    // The band's squares are m_lowInclusive .. m_lowInclusive + m_inclusiveWidth; an empty band
    // starts beyond every square.
    std::int64_t m_lowInclusive = std::numeric_limits<std::int64_t>::max();
    std::uint64_t m_inclusiveWidth = 0;
    std::int64_t m_lowStrict;
    std::int64_t m_highStrict;
};

namespace squared_length_detail
{
// Relative distance from a boundary beyond which the square alone decides: far above the
// rounding of a root (2^-53) and of a square (2^-53).
inline constexpr double kUndecidedBelow = 1.0 - 0x1p-40;
inline constexpr double kUndecidedAbove = 1.0 + 0x1p-40;
// Radii whose square neither underflows nor overflows, and squares well inside the normal range.
inline constexpr double kSmallestSquaredRadius = 0x1p-500;
inline constexpr double kLargestSquaredRadius = 0x1p+500;
inline constexpr double kSmallestSquare = 0x1p-1000;
inline constexpr double kLargestSquare = 0x1p+1000;
} // namespace squared_length_detail

// -1, 0 or 1 as std::sqrt(squared) is below, equal to or above radius; squared >= 0. The root is
// taken only when squared lies within a hair of radius squared, or for a radius too small, too
// large or not a number to square (any comparison with a NaN radius gives 1, so read the result
// with < 0 and <= 0).
[[nodiscard]] inline int CompareRoot(double squared, double radius)
{
    namespace d = squared_length_detail;
    assert(squared >= 0.0 && "a square is never negative");
    if (radius >= d::kSmallestSquaredRadius && radius <= d::kLargestSquaredRadius)
    {
        const double radiusSquared = radius * radius;
        if (squared < radiusSquared * d::kUndecidedBelow)
            return -1;
        if (squared > radiusSquared * d::kUndecidedAbove)
            return 1;
    }
    const double root = std::sqrt(squared);
    if (root < radius)
        return -1;
    return root == radius ? 0 : 1;
}

// std::sqrt(squared) <= std::sqrt(limitSquared), for squares >= 0; a root is taken only when the
// two lie within a hair of each other.
[[nodiscard]] inline bool RootAtMostRootOf(double squared, double limitSquared)
{
    namespace d = squared_length_detail;
    assert(squared >= 0.0 && limitSquared >= 0.0 && "a square is never negative");
    if (squared <= limitSquared)
        return true;
    // Squares too small to carry every bit (subnormal) or too large to scale are left to the roots.
    if (limitSquared >= d::kSmallestSquare && limitSquared <= d::kLargestSquare &&
        squared > limitSquared * d::kUndecidedAbove)
        return false;
    return std::sqrt(squared) <= std::sqrt(limitSquared);
}
