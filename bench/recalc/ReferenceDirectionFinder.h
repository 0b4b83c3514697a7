// The direction finder written directly from the algorithm, for comparison with the production
// CDirectionFinder: every target decoded into intensities, and for every blue target the mean of
// its root distances to all red and to all green targets. Slow and plain on purpose; the tests
// and the benchmark require the production finder to give exactly its results.
#pragma once

#include "base/Geometry.h"
#include "trackfile/TrackRecord.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace reference
{
inline double FindDirection(const std::array<TrackWord, kMaxTargets>& words, int x, int y)
{
    Point p[kMaxTargets];
    int red[kMaxTargets];
    int green[kMaxTargets];
    int blue[kMaxTargets];
    int n = 0;
    for (; n < static_cast<int>(kMaxTargets); ++n)
    {
        const TrackWord w = words[static_cast<std::size_t>(n)];
        if (w == 0)
            break;
        p[n] =
            Point{static_cast<std::int32_t>(w & 0xFFF), 480 - static_cast<std::int32_t>((w >> 16) & 0xFFF)};
        const int base = (w & (1u << 15)) != 0 ? 159 : 0;
        auto intensity = [&](int bitA, int bitB)
        {
            int v = base;
            if ((w & (1u << bitA)) != 0)
                v += 255;
            if ((w & (1u << bitB)) != 0)
                v += 255;
            return v > 255 ? 255 : v;
        };
        red[n] = intensity(14, 30);
        green[n] = intensity(13, 29);
        blue[n] = intensity(12, 28);
    }
    if (n < 3)
        return 0.0;
    bool anyBlue = false;
    bool anyRed = false;
    bool anyGreen = false;
    for (int t = 0; t < n; ++t)
    {
        anyBlue = anyBlue || blue[t] == 255;
        anyRed = anyRed || red[t] == 255;
        anyGreen = anyGreen || green[t] == 255;
    }
    if (!anyBlue)
        return 0.0;
    int redSide = -1;
    int greenSide = -1;
    double bestRed = 0;
    double bestGreen = 0;
    for (int b = 0; b < n && anyRed && anyGreen; ++b)
    {
        if (blue[b] != 255)
            continue;
        double a = 0;
        double g = 0;
        int reds = 0;
        int greens = 0;
        for (int t = 0; t < n; ++t)
        {
            const double dx = static_cast<double>(p[b].x) - p[t].x;
            const double dy = static_cast<double>(p[b].y) - p[t].y;
            if (red[t] == 255)
            {
                a += std::sqrt(dx * dx + dy * dy);
                ++reds;
            }
            if (green[t] == 255)
            {
                g += std::sqrt(dx * dx + dy * dy);
                ++greens;
            }
        }
        a /= reds;
        g /= greens;
        if (a < g)
        {
            if (redSide < 0 || a < bestRed)
            {
                redSide = b;
                bestRed = a;
            }
        }
        else if (greenSide < 0 || g < bestGreen)
        {
            greenSide = b;
            bestGreen = g;
        }
    }
    const double yr = 480.0 - y;
    double dx = 0;
    double dy = 0;
    if (redSide >= 0 && greenSide >= 0)
    {
        dx = static_cast<double>(p[redSide].x) - p[greenSide].x;
        dy = static_cast<double>(p[redSide].y) - p[greenSide].y;
    }
    else if (greenSide >= 0)
    {
        dx = static_cast<double>(x) - p[greenSide].x;
        dy = yr - p[greenSide].y;
    }
    else if (redSide >= 0)
    {
        dx = static_cast<double>(p[redSide].x) - x;
        dy = p[redSide].y - yr;
    }
    else
        return 360.0;
    dx += 1e-11;
    dy += 1e-11;
    const double a = std::atan(std::fabs(dx / dy)) * 180.0 * 0.31830988614222805;
    if (dx > 0 && dy > 0)
        return 360.0 - (90.0 - a);
    if (dx < 0 && dy > 0)
        return 360.0 - (a + 90.0);
    if (dx < 0 && dy < 0)
        return 360.0 - (270.0 - a);
    return 360.0 - (a + 270.0);
}
} // namespace reference
