#include "recalc/DirectionFinder.h"

#include "base/ResultCodes.h"

#include <bit>
#include <cmath>

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
    Point points[kMaxTargets];
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
    const double reds = std::popcount(targets.red);
    const double greens = std::popcount(targets.green);
    return PickSides(targets,
                     [&](int b, double& toRed, double& toGreen)
                     {
                         // Summed in list order, as the means are defined.
                         double redSum = 0.0;
                         double greenSum = 0.0;
                         for (std::uint64_t ts = targets.red | targets.green; ts != 0; ts &= ts - 1)
                         {
                             const int t = std::countr_zero(ts);
                             const double distance =
                                 std::sqrt(SquaredDistance(targets.points[b], targets.points[t]));
                             const std::uint64_t bit = std::uint64_t{1} << t;
                             if ((targets.red & bit) != 0)
                                 redSum += distance;
                             if ((targets.green & bit) != 0)
                                 greenSum += distance;
                         }
                         toRed = redSum / reds;
                         toGreen = greenSum / greens;
                     });
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
    if (listed.size() < 3)
        return 0.0;
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
        return 0.0;

    const Sides sides = FindSides(targets);
    const double recordY = static_cast<double>(kDirectionFlipRow) - y;
    double dx = 0.0;
    double dy = 0.0;
    if (sides.red >= 0 && sides.green >= 0)
    {
        dx = static_cast<double>(targets.points[sides.red].x) - targets.points[sides.green].x;
        dy = static_cast<double>(targets.points[sides.red].y) - targets.points[sides.green].y;
    }
    else if (sides.green >= 0)
    {
        dx = static_cast<double>(x) - targets.points[sides.green].x;
        dy = recordY - targets.points[sides.green].y;
    }
    else if (sides.red >= 0)
    {
        dx = static_cast<double>(targets.points[sides.red].x) - x;
        dy = targets.points[sides.red].y - recordY;
    }
    else
        return kFullTurn;

    dx += kDirectionNudge;
    dy += kDirectionNudge;
    const double a = std::atan(std::fabs(dx / dy)) * kHalfTurn * kDirectionOneOverPi;
    if (dx > 0 && dy > 0)
        return kFullTurn - (kQuarterTurn - a);
    if (dx < 0 && dy > 0)
        return kFullTurn - (a + kQuarterTurn);
    if (dx < 0 && dy < 0)
        return kFullTurn - (kThreeQuarterTurn - a);
    return kFullTurn - (a + kThreeQuarterTurn);
}
