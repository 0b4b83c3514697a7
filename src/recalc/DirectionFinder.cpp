#include "recalc/DirectionFinder.h"

#include "base/ResultCodes.h"

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

std::int32_t Intensity(TrackWord word, TrackWord bitA, TrackWord bitB, std::int32_t base)
{
    std::int32_t value = base;
    if ((word & bitA) != 0)
        value += kFullIntensity;
    if ((word & bitB) != 0)
        value += kFullIntensity;
    return value > kFullIntensity ? kFullIntensity : value;
}

double Distance(const Point& a, const Point& b)
{
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    return std::sqrt(dx * dx + dy * dy);
}
} // namespace

int CDirectionFinder::DecodeTarget(TrackWord word, Point& point, TargetColor& colour)
{
    if (word == 0)
        return kNoTarget;
    point.x = static_cast<std::int32_t>(TrackWordX(word));
    point.y = kDirectionFlipRow - static_cast<std::int32_t>(TrackWordY(word));
    const std::int32_t base = (word & kWordBitLum) != 0 ? kLuminanceIntensity : 0;
    colour.red = Intensity(word, kWordBitRR, kWordBitPR, base);
    colour.green = Intensity(word, kWordBitRG, kWordBitPG, base);
    colour.blue = Intensity(word, kWordBitRB, kWordBitPB, base);
    return kOk;
}

double CDirectionFinder::FindDirection(const std::array<TrackWord, kMaxTargets>& targets, int x, int y)
{
    const double recordY = static_cast<double>(kDirectionFlipRow) - y;

    Point points[kMaxTargets];
    TargetColor colours[kMaxTargets];
    int n = 0;
    while (n < static_cast<int>(kMaxTargets) &&
           DecodeTarget(targets[static_cast<std::size_t>(n)], points[n], colours[n]) == kOk)
        ++n;
    if (n < 3)
        return 0.0;

    bool anyBlue = false;
    bool anyRed = false;
    bool anyGreen = false;
    for (int t = 0; t < n; ++t)
    {
        anyBlue |= colours[t].blue == kFullIntensity;
        anyRed |= colours[t].red == kFullIntensity;
        anyGreen |= colours[t].green == kFullIntensity;
    }
    if (!anyBlue)
        return 0.0;

    // The front (red-side) and back (green-side) blue targets: the nearest, on average, to the red
    // and to the green targets; the first in list order on ties.
    int redSide = -1;
    int greenSide = -1;
    double bestRed = 0.0;
    double bestGreen = 0.0;
    if (anyRed && anyGreen)
    {
        for (int b = 0; b < n; ++b)
        {
            if (colours[b].blue != kFullIntensity)
                continue;
            double toRed = 0.0;
            double toGreen = 0.0;
            int reds = 0;
            int greens = 0;
            for (int t = 0; t < n; ++t)
            {
                if (colours[t].red == kFullIntensity)
                {
                    toRed += Distance(points[b], points[t]);
                    ++reds;
                }
                if (colours[t].green == kFullIntensity)
                {
                    toGreen += Distance(points[b], points[t]);
                    ++greens;
                }
            }
            const double meanRed = toRed / reds;
            const double meanGreen = toGreen / greens;
            if (meanRed < meanGreen)
            {
                if (redSide < 0 || meanRed < bestRed)
                {
                    redSide = b;
                    bestRed = meanRed;
                }
            }
            else if (greenSide < 0 || meanGreen < bestGreen)
            {
                greenSide = b;
                bestGreen = meanGreen;
            }
        }
    }

    double dx = 0.0;
    double dy = 0.0;
    if (redSide >= 0 && greenSide >= 0)
    {
        dx = static_cast<double>(points[redSide].x) - points[greenSide].x;
        dy = static_cast<double>(points[redSide].y) - points[greenSide].y;
    }
    else if (greenSide >= 0)
    {
        dx = static_cast<double>(x) - points[greenSide].x;
        dy = recordY - points[greenSide].y;
    }
    else if (redSide >= 0)
    {
        dx = static_cast<double>(points[redSide].x) - x;
        dy = points[redSide].y - recordY;
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
