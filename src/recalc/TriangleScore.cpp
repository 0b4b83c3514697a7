#include "recalc/TriangleScore.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace
{
// An angle truncates to 0 .. 180: the largest arc cosine, pi, reads 180.09 in the search's degrees.
constexpr int kWholeDegrees = 181;
// How close a cosine may come to the cosine of a whole degree before the arc cosine is taken.
// Between the exact cosine of a triangle with whole squared sides below 2^31 and the one the
// search computes from rounded roots lie at most about 1e-11; the arc cosine and the conversion
// to degrees add about 1e-13 degrees. A cosine 1e-8 away from a boundary is 5.7e-7 degrees away
// from a whole degree at least, so both ways truncate alike.
constexpr double kCosineMargin = 1e-8;
// The widening of the filter's limits: in degrees for its angles, as a factor for its ratio.
constexpr double kAngleMargin = 1e-6;
constexpr double kRatioMargin = 1.0 + 1e-9;
// Worst scores up to 59 bound the ratio of a triple's sides (its smallest angle stays above 1 degree).
constexpr std::int32_t kFilteredScores = 60;
// Cells of the signed squared cosine's range [-1, 1], each knowing the first degree it can hold.
constexpr int kCells = 8192;
constexpr double kCellsPerUnit = kCells / 2.0;

double SignedSquare(double v)
{
    return v * std::fabs(v);
}

// The signed squared cosines at which the truncated angle changes, with the margin around each.
// Degree k holds the signed squares in (top[k + 1], top[k]]; a value strictly between
// clearAbove[k] and clearBelow[k] is certainly of degree k, whichever way it is computed.
struct AngleTable
{
    std::array<double, kWholeDegrees + 1> top{};
    std::array<double, kWholeDegrees> clearAbove{};
    std::array<double, kWholeDegrees> clearBelow{};
    std::array<std::uint8_t, kCells> firstDegree{};
    // By worst score: the largest ratio of two squared sides of a triple scoring below it.
    std::array<double, kFilteredScores> squaredSideRatio{};

    [[nodiscard]] double SquaredSideRatio(std::int32_t worst) const
    {
        return worst < kFilteredScores ? squaredSideRatio[static_cast<std::size_t>(worst)]
                                       : std::numeric_limits<double>::infinity();
    }

    AngleTable()
    {
        // The cosine at which the angle reaches k degrees; cosines below -1 are no angle at all.
        std::array<double, kWholeDegrees + 1> cosine{};
        for (int k = 0; k < kWholeDegrees; ++k)
            cosine[static_cast<std::size_t>(k)] =
                std::cos(k / (kHalfTurnDegrees * kSearchDegreesPerRadianOver180));
        cosine[kWholeDegrees] = -1.0;
        for (std::size_t k = 0; k <= kWholeDegrees; ++k)
            top[k] = SignedSquare(cosine[k]);
        top[kWholeDegrees] = -std::numeric_limits<double>::infinity();
        for (std::size_t k = 0; k < kWholeDegrees; ++k)
        {
            clearBelow[k] = SignedSquare(cosine[k] - kCosineMargin);
            clearAbove[k] = SignedSquare(cosine[k + 1] + kCosineMargin);
        }
        // A cell starts at the degree of a value a little above its top, so that a value that
        // rounding put into the cell from above starts no further on than its own degree.
        std::size_t k = 0;
        for (int cell = kCells - 1; cell >= 0; --cell)
        {
            const double cellTop = -1.0 + (cell + 1) / kCellsPerUnit + kCosineMargin;
            while (cellTop <= top[k + 1])
                ++k;
            firstDegree[static_cast<std::size_t>(cell)] = static_cast<std::uint8_t>(k);
        }
        // A triple scoring below worst has every angle in [61 - worst, 60 + worst) degrees of the
        // search, give or take far less than kAngleMargin, and its sides are as the sines of their
        // opposite angles. Once an angle may come near 0 there is no bound.
        const double radiansPerDegree = 1.0 / (kHalfTurnDegrees * kSearchDegreesPerRadianOver180);
        for (std::int32_t worst = 0; worst < kFilteredScores; ++worst)
        {
            const double smallest = (kEquilateralScoreDegrees + 1 - worst - kAngleMargin) * radiansPerDegree;
            const double largest = (kEquilateralScoreDegrees + worst + kAngleMargin) * radiansPerDegree;
            const double highestSine = largest >= std::numbers::pi / 2 ? 1.0 : std::sin(largest);
            const double lowestSine = std::min(std::sin(smallest), std::sin(largest));
            const double ratio = highestSine / lowestSine;
            squaredSideRatio[static_cast<std::size_t>(worst)] = ratio * ratio * kRatioMargin;
        }
    }
};

const AngleTable& Angles()
{
    static const AngleTable table;
    return table;
}

// The truncated angle of the signed squared cosine, or -1 when it lies too near a boundary (or
// outside the cosines of any angle) to be sure. The answer never depends on the cells: they only
// say where to start looking, and the clear range of the degree found confirms it.
[[gnu::always_inline]] inline int TruncatedDegrees(const AngleTable& angles, double signedSquare)
{
    // A value outside [-1, 1] lands in an end cell and fails the clear range there. (The values are
    // ratios of products of whole numbers below 2^31, never not a number.)
    const double position = std::clamp((signedSquare + 1.0) * kCellsPerUnit, 0.0, kCells - 1.0);
    // Most cells hold one boundary at most: one step on is enough, and a value further on fails
    // the clear range below and is left to the arc cosine.
    std::size_t k = angles.firstDegree[static_cast<std::size_t>(position)];
    k += static_cast<std::size_t>(signedSquare <= angles.top[k + 1]);
    if (k >= kWholeDegrees || !(angles.clearAbove[k] < signedSquare && signedSquare < angles.clearBelow[k]))
        return -1;
    return static_cast<int>(k);
}

// One interior angle in the search's degrees from its two adjacent sides and the opposite one.
// False when it cannot be computed: a side of length 0, or a cosine that rounding has pushed
// outside [-1, 1] (collinear targets).
bool SearchAngle(double adjacent1, double adjacent2, double opposite, double& degrees)
{
    if (adjacent1 == 0.0 || adjacent2 == 0.0)
        return false;
    const double cosine =
        (adjacent1 * adjacent1 + adjacent2 * adjacent2 - opposite * opposite) / (2.0 * adjacent1 * adjacent2);
    if (!(cosine >= -1.0 && cosine <= 1.0))
        return false;
    degrees = std::acos(cosine) * kHalfTurnDegrees * kSearchDegreesPerRadianOver180;
    return true;
}

std::int32_t DegreesOff(int truncated)
{
    return std::abs(truncated - kEquilateralScoreDegrees);
}
} // namespace

bool ScoreFromSides(double ij, double jk, double ki, std::int32_t& score)
{
    double angleI = 0.0;
    double angleJ = 0.0;
    double angleK = 0.0;
    if (!SearchAngle(ij, ki, jk, angleI) || !SearchAngle(ij, jk, ki, angleJ) ||
        !SearchAngle(jk, ki, ij, angleK))
        return false;
    if (!(angleI > 0.0 && angleJ > 0.0 && angleK > 0.0))
        return false;
    score = DegreesOff(static_cast<int>(angleI)) + DegreesOff(static_cast<int>(angleJ)) +
            DegreesOff(static_cast<int>(angleK));
    return true;
}

bool ScoreFromSquaredSides(const SquaredSides& sides, std::int32_t& score)
{
    // Two targets at one spot: a side of length 0, adjacent to two of the angles.
    if (sides.Degenerate())
        return false;
    const AngleTable& angles = Angles();
    const double perDenominator = 1.0 / sides.denominator;
    const int atI = TruncatedDegrees(angles, sides.atI * perDenominator);
    const int atJ = TruncatedDegrees(angles, sides.atJ * perDenominator);
    const int atK = TruncatedDegrees(angles, sides.atK * perDenominator);
    if (atI < 0 || atJ < 0 || atK < 0)
        return ScoreFromSides(std::sqrt(sides.ij), std::sqrt(sides.jk), std::sqrt(sides.ki), score);
    // Every angle lies clear inside a degree, so it is above 0 and was computable.
    score = DegreesOff(atI) + DegreesOff(atJ) + DegreesOff(atK);
    return true;
}

bool TriangleHasAngles(const SquaredSides& sides)
{
    if (sides.Degenerate())
        return false;
    // Every angle clear of 0 and of 180 degrees: each computable, and none 0.
    const AngleTable& angles = Angles();
    const double highest = angles.clearBelow[0] * sides.denominator;
    const double lowest = angles.clearAbove[kWholeDegrees - 1] * sides.denominator;
    if (sides.atI < highest && sides.atJ < highest && sides.atK < highest && sides.atI > lowest &&
        sides.atJ > lowest && sides.atK > lowest)
        return true;
    std::int32_t score = 0;
    return ScoreFromSides(std::sqrt(sides.ij), std::sqrt(sides.jk), std::sqrt(sides.ki), score);
}

void CEntryFilter::SetWorstScore(std::int32_t worst)
{
    assert(worst >= 0 && "scores are never negative");
    if (worst == m_worst)
        return;
    m_worst = worst;
    const AngleTable& angles = Angles();
    if (worst == 0)
    {
        // Nothing scores below 0: every triple stays out.
        m_lowest = std::numeric_limits<double>::infinity();
        m_squaredSideRatio = 0.0;
        m_inverseSquaredSideRatio = std::numeric_limits<double>::infinity();
        return;
    }
    // An angle certainly at 60 + worst degrees or more, or certainly below 61 - worst.
    const std::int32_t wide = kEquilateralScoreDegrees + worst;
    const std::int32_t narrow = kEquilateralScoreDegrees - worst;
    m_lowest = wide < kWholeDegrees ? angles.clearBelow[static_cast<std::size_t>(wide)]
                                    : -std::numeric_limits<double>::infinity();
    m_highest = narrow >= 0 ? angles.clearAbove[static_cast<std::size_t>(narrow)]
                            : std::numeric_limits<double>::infinity();

    m_squaredSideRatio = angles.SquaredSideRatio(worst);
    m_inverseSquaredSideRatio = 1.0 / m_squaredSideRatio;
}
