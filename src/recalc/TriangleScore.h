// The score of a triple of targets in the center search: how far its three interior angles,
// truncated to whole degrees, are from 60. The angles are arc cosines of the law of cosines,
// converted with 180/3.14 rather than 180/pi (so an exact 60-degree angle reads 60.03); the
// centers the conversion writes depend on these scores, so they are reproduced to the bit.
//
// Two ways to the same score. ScoreFromSides takes the arc cosines, as the search always did.
// ScoreFromSquaredSides only places each angle's cosine between the cosines of whole degrees,
// computed once, and takes the arc cosines only for a cosine within a hair of such a boundary;
// it needs whole squared sides below kExactSquaredLengthLimit, which every pair of target
// coordinates gives.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// The search's radians to degrees, in two steps (radians * 180, then * this), as the scores rely on.
inline constexpr double kSearchDegreesPerRadianOver180 = 0.3184713375796178;
inline constexpr double kHalfTurnDegrees = 180.0;
// The angle of an equilateral triangle: a triple's score is how far its angles are from it.
inline constexpr std::int32_t kEquilateralScoreDegrees = 60;

// The score of the triangle with these side lengths; false when the triple is rejected by its
// angles (one that cannot be computed: a side of length 0 or a cosine outside [-1, 1] from
// rounding, or one that comes out as 0).
bool ScoreFromSides(double ij, double jk, double ki, std::int32_t& score);

// The sides of a triple as squares of whole lengths (held exactly in doubles), and the signed
// squares of the cosines of its angles over a common denominator: the angle at corner i has
// cosine c with c * |c| = atI / denominator, and so on. Only multiplications: the cosines are
// compared, never divided out, while a triple is only being filtered.
struct SquaredSides
{
    SquaredSides(double ijSquared, double jkSquared, double kiSquared)
        : ij(ijSquared), jk(jkSquared), ki(kiSquared), atI(SignedSquare(ij + ki - jk) * jk),
          atJ(SignedSquare(ij + jk - ki) * ki), atK(SignedSquare(jk + ki - ij) * ij),
          denominator(kTwoSquared * ij * jk * ki)
    {
    }
    [[nodiscard]] bool Degenerate() const { return ij == 0.0 || jk == 0.0 || ki == 0.0; }

    double ij;
    double jk;
    double ki;
    double atI;
    double atJ;
    double atK;
    double denominator;

private:
    // The law of cosines divides by 2ab; its square by 4 a^2 b^2.
    static constexpr double kTwoSquared = 4.0;
    static double SignedSquare(double v) { return v * std::fabs(v); }
};

// Whether ScoreFromSides scores the triple at all (rather than rejecting it), to the bit, with an
// arc cosine only for an angle within a hair of 0 or 180 degrees.
bool TriangleHasAngles(const SquaredSides& sides);

// ScoreFromSides on the roots of the squared sides, to the bit, with the arc cosines taken only
// when an angle lies within a hair of a whole degree (or of 0 or 180).
bool ScoreFromSquaredSides(const SquaredSides& sides, std::int32_t& score);

// Once the triangle table is full, a triple enters only with a score below the worst kept one.
// A triple's score is at least |trunc(angle) - 60| for each of its angles, so one with an angle
// certainly at or beyond 60 + worst, or certainly at or below 60 - worst, cannot enter and need
// not be scored: two comparisons a corner against cosines with a wide margin, so that only
// triples certain to stay out are skipped and the table is the same as without the filter.
class CEntryFilter
{
public:
    // Nothing is filtered until the worst score of a full table is known.
    void SetWorstScore(std::int32_t worst);

    // The largest ratio of two squared sides of a triple that can enter; infinite until the
    // worst score is known or while it allows angles near 0 or 180.
    [[nodiscard]] double SquaredSideRatio() const { return m_squaredSideRatio; }
    // Whether the ratio bounds the sides at all.
    [[nodiscard]] bool BoundsSides() const
    {
        return m_squaredSideRatio < std::numeric_limits<double>::infinity();
    }
    [[nodiscard]] double InverseSquaredSideRatio() const { return m_inverseSquaredSideRatio; }

    [[nodiscard]] bool CannotEnter(const SquaredSides& sides) const
    {
        const double low = m_lowest * sides.denominator;
        const double high = m_highest * sides.denominator;
        return sides.atI <= low || sides.atJ <= low || sides.atK <= low || sides.atI >= high ||
               sides.atJ >= high || sides.atK >= high;
    }

private:
    double m_lowest = -std::numeric_limits<double>::infinity();
    double m_highest = std::numeric_limits<double>::infinity();
    double m_squaredSideRatio = std::numeric_limits<double>::infinity();
    double m_inverseSquaredSideRatio = 0.0;
    std::int32_t m_worst = -1;
};
