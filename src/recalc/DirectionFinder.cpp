#include "recalc/DirectionFinder.h"

#include "base/ResultCodes.h"
#include "recalc/ScratchArray.h"

#include <array>
#include <bit>
#include <cmath>
#include <limits>

namespace
{
// The direction converts radians with 1/pi itself (unlike the center search).
constexpr double kDirectionOneOverPi = 0.31830988614222805;
// Added to both components so that neither is ever 0 and every direction falls in a quadrant.
constexpr double kDirectionNudge = 1e-11;
// Headings are measured in degrees from the quadrant the direction falls in.
constexpr double kFullTurn = 360.0;
constexpr double kHalfTurn = 180.0;
constexpr double kQuarterTurn = 90.0;
constexpr double kThreeQuarterTurn = 270.0;

constexpr std::int32_t kFullIntensity = 255;
constexpr std::int32_t kLuminanceIntensity = 159;

// A colour's intensity is full exactly when either of its two bits is set: the luminance bit
// alone gives 159, never 255.
constexpr TrackWord kRedBits = kWordBitRR | kWordBitPR;
constexpr TrackWord kGreenBits = kWordBitRG | kWordBitPG;
constexpr TrackWord kBlueBits = kWordBitRB | kWordBitPB;

std::int32_t Intensity(TrackWord word, TrackWord bits, std::int32_t base)
{
    // Each set bit adds a full intensity; the sum is clamped to it.
    const std::int32_t value = base + kFullIntensity * std::popcount(word & bits);
    return value > kFullIntensity ? kFullIntensity : value;
}

Point TargetPoint(TrackWord word)
{
    return Point{static_cast<std::int32_t>(TrackWordX(word)),
                 kDirectionFlipRow - static_cast<std::int32_t>(TrackWordY(word))};
}

// Squared distance between two decoded targets: a whole number below 2^25 (X within 0..4095,
// flipped Y within -3615..480), held exactly in a double.
double SquaredDistance(const Point& a, const Point& b)
{
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    return dx * dx + dy * dy;
}

// The decoded list: targets, and which of them are red, green and blue (bit t for target t).
struct DecodedTargets
{
    CScratchArray<Point, kMaxTargets> points;
    std::uint64_t red = 0;
    std::uint64_t green = 0;
    std::uint64_t blue = 0;
    int count = 0;
};

// The front (red-side) and back (green-side) blue targets, as indices, -1 for none.
struct Sides
{
    int red = -1;
    int green = -1;
};

// Picks the sides from every blue target's nearness to the red targets and to the green ones,
// each as a key that orders as the mean distance does: a blue target nearer the reds than the
// greens is a red-side candidate, otherwise a green-side one, and the nearest candidate of each
// side wins, the first in list order on ties.
template <class Nearness> Sides PickSides(const DecodedTargets& targets, const Nearness& nearness)
{
    Sides sides;
    double bestRed = 0.0;
    double bestGreen = 0.0;
    for (std::uint64_t blues = targets.blue; blues != 0; blues &= blues - 1)
    {
        const int b = std::countr_zero(blues);
        double toRed = 0.0;
        double toGreen = 0.0;
        nearness(b, toRed, toGreen);
        if (toRed < toGreen)
        {
            if (sides.red < 0 || toRed < bestRed)
            {
                sides.red = b;
                bestRed = toRed;
            }
        }
        else if (sides.green < 0 || toGreen < bestGreen)
        {
            sides.green = b;
            bestGreen = toGreen;
        }
    }
    return sides;
}

Sides FindSides(const DecodedTargets& targets)
{
    if (targets.red == 0 || targets.green == 0)
        return {};
    if (std::has_single_bit(targets.red) && std::has_single_bit(targets.green))
    {
        // One red and one green target, the tracker's usual head: each mean is one distance, and
        // distinct squares below 2^25 have distinct roots, so the squares order the blue targets
        // exactly as their distances do and no root is taken.
        const Point& red = targets.points[std::countr_zero(targets.red)];
        const Point& green = targets.points[std::countr_zero(targets.green)];
        return PickSides(targets,
                         [&](int b, double& toRed, double& toGreen)
                         {
                             toRed = SquaredDistance(targets.points[b], red);
                             toGreen = SquaredDistance(targets.points[b], green);
                         });
    }
    // The sums of every blue target's distances to the reds and to the greens, each in list order
    // as the means are defined, but all blue targets at once, target by target: the sums of
    // different blue targets do not wait on each other. A target that is not red adds 0 to the red
    // sums, which leaves them as they are.
    const int blues = std::popcount(targets.blue);
    CScratchArray<Point, kMaxTargets> blue;
    double redSums[kMaxTargets] = {};
    double greenSums[kMaxTargets] = {};
    int index = 0;
    for (std::uint64_t bs = targets.blue; bs != 0; bs &= bs - 1)
        blue[static_cast<std::size_t>(index++)] =
            targets.points[static_cast<std::size_t>(std::countr_zero(bs))];
    for (std::uint64_t ts = targets.red | targets.green; ts != 0; ts &= ts - 1)
    {
        const int t = std::countr_zero(ts);
        const Point& target = targets.points[static_cast<std::size_t>(t)];
        const std::uint64_t bit = std::uint64_t{1} << t;
        const double toRed = (targets.red & bit) != 0 ? 1.0 : 0.0;
        const double toGreen = (targets.green & bit) != 0 ? 1.0 : 0.0;
        for (int b = 0; b < blues; ++b)
        {
            const double distance = std::sqrt(SquaredDistance(blue[static_cast<std::size_t>(b)], target));
            redSums[b] += distance * toRed;
            greenSums[b] += distance * toGreen;
        }
    }
    const double reds = std::popcount(targets.red);
    const double greens = std::popcount(targets.green);
    int next = 0;
    return PickSides(targets,
                     [&](int /*b*/, double& toRed, double& toGreen)
                     {
                         // PickSides asks for the blue targets in list order.
                         toRed = redSums[next] / reds;
                         toGreen = greenSums[next] / greens;
                         ++next;
                     });
}

// What the targets give of the heading: a direction vector (nudged off both axes), or, when there
// is none, the heading that stands for it.
struct Heading
{
    bool hasVector = false;
    double fallback = 0.0;
    double dx = 0.0;
    double dy = 0.0;
};

Heading HeadingOf(std::span<const TrackWord> listed, int x, int y)
{
    if (listed.size() < 3)
        return {};
    DecodedTargets targets;
    for (const TrackWord word : listed)
    {
        const std::uint64_t bit = std::uint64_t{1} << targets.count;
        targets.points[targets.count++] = TargetPoint(word);
        targets.red |= (word & kRedBits) != 0 ? bit : 0;
        targets.green |= (word & kGreenBits) != 0 ? bit : 0;
        targets.blue |= (word & kBlueBits) != 0 ? bit : 0;
    }
    if (targets.blue == 0)
        return {};

    const Sides sides = FindSides(targets);
    const double recordY = static_cast<double>(kDirectionFlipRow) - y;
    Heading heading;
    heading.hasVector = true;
    if (sides.red >= 0 && sides.green >= 0)
    {
        heading.dx = static_cast<double>(targets.points[sides.red].x) - targets.points[sides.green].x;
        heading.dy = static_cast<double>(targets.points[sides.red].y) - targets.points[sides.green].y;
    }
    else if (sides.green >= 0)
    {
        heading.dx = static_cast<double>(x) - targets.points[sides.green].x;
        heading.dy = recordY - targets.points[sides.green].y;
    }
    else if (sides.red >= 0)
    {
        heading.dx = static_cast<double>(targets.points[sides.red].x) - x;
        heading.dy = targets.points[sides.red].y - recordY;
    }
    else
        return Heading{false, kFullTurn, 0.0, 0.0};
    heading.dx += kDirectionNudge;
    heading.dy += kDirectionNudge;
    return heading;
}

// The heading of a vector in degrees, by the quadrant it falls in; neither component is 0.
double DegreesOfVector(double dx, double dy)
{
    const double a = std::atan(std::fabs(dx / dy)) * kHalfTurn * kDirectionOneOverPi;
    if (dx > 0 && dy > 0)
        return kFullTurn - (kQuarterTurn - a);
    if (dx < 0 && dy > 0)
        return kFullTurn - (a + kQuarterTurn);
    if (dx < 0 && dy < 0)
        return kFullTurn - (kThreeQuarterTurn - a);
    return kFullTurn - (a + kThreeQuarterTurn);
}

// The tangents at which the angle a = atan(|dx / dy|) of DegreesOfVector reaches each whole
// degree, with a margin: a tangent strictly between clearAbove[m] and clearBelow[m] has its angle
// certainly between m and m + 1 degrees, at least 5.7e-9 degrees from both (the arc tangent and
// the sums of DegreesOfVector err by about 1e-13 degrees).
struct TangentTable
{
    static constexpr int kDegrees = 90;
    static constexpr int kSearchSize = 128; // the degrees padded to a power of two for the search
    static constexpr double kMargin = 1e-10;
    // Above this tangent the angle may round to 90 degrees itself.
    static constexpr double kLargestClear = 1e10;

    std::array<double, kSearchSize> tangent{};
    std::array<double, kDegrees> clearAbove{};
    std::array<double, kDegrees> clearBelow{};

    TangentTable()
    {
        tangent.fill(std::numeric_limits<double>::infinity());
        for (int m = 0; m < kDegrees; ++m)
            tangent[static_cast<std::size_t>(m)] = std::tan(m / (kHalfTurn * kDirectionOneOverPi));
        for (std::size_t m = 0; m < kDegrees; ++m)
        {
            clearAbove[m] = tangent[m] + kMargin * (1.0 + tangent[m] * tangent[m]);
            clearBelow[m] = m + 1 < kDegrees
                                ? tangent[m + 1] - kMargin * (1.0 + tangent[m + 1] * tangent[m + 1])
                                : kLargestClear;
        }
    }
};

const TangentTable& Tangents()
{
    static const TangentTable table;
    return table;
}

// The heading of a vector truncated to whole degrees, as DegreesOfVector truncated, with its
// angle placed between the tangents of whole degrees; the arc tangent is taken only for an angle
// within a hair of a whole degree (vectors along an axis or a diagonal among them).
std::int32_t WholeDegreesOfVector(double dx, double dy)
{
    const TangentTable& tangents = Tangents();
    const double t = std::fabs(dx / dy);
    // The last degree whose tangent is at most t, found without a branch on the comparisons.
    std::size_t m = 0;
    for (std::size_t step = TangentTable::kSearchSize / 2; step > 0; step /= 2)
        m += tangents.tangent[m + step] <= t ? step : 0;
    if (m >= TangentTable::kDegrees || !(tangents.clearAbove[m] < t && t < tangents.clearBelow[m]))
        return static_cast<std::int32_t>(DegreesOfVector(dx, dy));
    // The angle lies strictly between m and m + 1: so does each quadrant's heading, one way or
    // the other.
    const auto whole = static_cast<std::int32_t>(m);
    constexpr std::int32_t kQuarter = 90;
    constexpr std::int32_t kThreeQuarters = 270;
    if (dx > 0 && dy > 0)
        return kThreeQuarters + whole;
    if (dx < 0 && dy > 0)
        return kThreeQuarters - 1 - whole;
    if (dx < 0 && dy < 0)
        return kQuarter + whole;
    return kQuarter - 1 - whole;
}
} // namespace

int CDirectionFinder::DecodeTarget(TrackWord word, Point& point, TargetColor& colour)
{
    if (word == 0)
        return kNoTarget;
    point = TargetPoint(word);
    const std::int32_t base = (word & kWordBitLum) != 0 ? kLuminanceIntensity : 0;
    colour.red = Intensity(word, kRedBits, base);
    colour.green = Intensity(word, kGreenBits, base);
    colour.blue = Intensity(word, kBlueBits, base);
    return kOk;
}

double CDirectionFinder::FindDirection(const std::array<TrackWord, kMaxTargets>& targets, int x, int y)
{
    return FindDirection(std::span<const TrackWord>(targets.data(), CountListEntries(targets)), x, y);
}

double CDirectionFinder::FindDirection(std::span<const TrackWord> listed, int x, int y)
{
    const Heading heading = HeadingOf(listed, x, y);
    return heading.hasVector ? DegreesOfVector(heading.dx, heading.dy) : heading.fallback;
}

std::int32_t CDirectionFinder::FindWholeDirection(std::span<const TrackWord> listed, int x, int y)
{
    const Heading heading = HeadingOf(listed, x, y);
    return heading.hasVector ? WholeDegreesOfVector(heading.dx, heading.dy)
                             : static_cast<std::int32_t>(heading.fallback);
}
