// The center search written directly from the algorithm, for comparison with the production
// CCenterFinder: every triple of the points is visited and measured on its own, with no shared
// pair lengths and no band filter ahead of the loop. Slow and plain on purpose; the tests and the
// benchmark require the production search to give exactly its results.
#pragma once

#include "base/Geometry.h"
#include "recalc/RecalcTypes.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace reference
{
inline bool ToCoordinate(double v, std::int32_t& out)
{
    if (std::isnan(v) || v <= -2147483649.0 || v >= 2147483648.0)
        return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

inline bool Bisector(int minDist, int maxDist, int x1, int y1, int x2, int y2, BisectorLine& line)
{
    const double e =
        std::sqrt(static_cast<double>(y2 - y1) * (y2 - y1) + static_cast<double>(x2 - x1) * (x2 - x1));
    if (!(minDist < e && e < maxDist))
        return false;
    const double f = static_cast<double>(y1 - y2) / static_cast<double>(x1 - x2);
    if (f == 0.0)
        return false;
    line.slope = -1.0 / f;
    line.midX = (x1 + x2) / 2;
    line.midY = (y1 + y2) / 2;
    line.intercept = line.midY - line.midX * line.slope;
    return true;
}

// The center of the points, or false when the output would not be written. Returns -1 for fewer
// than 3 points, as the production search does.
inline int FindCenter(int minDist, int maxDist, const Point* p, int n, Point& center)
{
    if (n < 3)
        return -1;
    TriangleEntry table[kTriangleSlots] = {};
    int entries = 0;
    for (int i = 0; i <= n - 3; ++i)
        for (int j = i + 1; j <= n - 2; ++j)
            for (int k = j + 1; k <= n - 1; ++k)
            {
                auto side = [&](int a, int b)
                {
                    const int dx = p[a].x - p[b].x;
                    const int dy = p[a].y - p[b].y;
                    return std::sqrt(static_cast<double>(dx * dx + dy * dy));
                };
                const double dij = side(i, j);
                const double djk = side(j, k);
                const double dki = side(k, i);
                auto inBand = [&](double d) { return minDist <= d && d <= maxDist; };
                if (!inBand(dij) || !inBand(djk) || !inBand(dki))
                    continue;
                auto angle = [](double a, double b, double opposite, double& degrees)
                {
                    if (a == 0.0 || b == 0.0)
                        return false;
                    const double c = (a * a + b * b - opposite * opposite) / (2.0 * a * b);
                    if (c < -1.0 || c > 1.0 || std::isnan(c))
                        return false;
                    degrees = std::acos(c) * 180.0 * 0.3184713375796178;
                    return true;
                };
                double ai = 0, aj = 0, ak = 0;
                if (!angle(dij, dki, djk, ai) || !angle(dij, djk, dki, aj) || !angle(djk, dki, dij, ak))
                    continue;
                if (!(ai > 0 && aj > 0 && ak > 0))
                    continue;
                const int score = std::abs(static_cast<int>(ai) - 60) + std::abs(static_cast<int>(aj) - 60) +
                                  std::abs(static_cast<int>(ak) - 60);
                if (entries < kTriangleSlots)
                {
                    table[entries++] = TriangleEntry{i, j, k, score, 0, 0};
                    continue;
                }
                int worst = -1;
                int worstScore = score;
                for (int s = 0; s < kTriangleSlots; ++s)
                    if (table[s].score > worstScore)
                    {
                        worst = s;
                        worstScore = table[s].score;
                    }
                if (worst >= 0)
                    table[worst] = TriangleEntry{i, j, k, score, 0, 0};
            }

    Point centers[kTriangleSlots];
    int m = 0;
    for (int e = 0; e < entries; ++e)
    {
        const TriangleEntry& t = table[e];
        const int idx[3][2] = {{t.i, t.j}, {t.j, t.k}, {t.k, t.i}};
        BisectorLine lines[3];
        bool ok = true;
        for (int l = 0; l < 3 && ok; ++l)
            ok = Bisector(minDist, maxDist, p[idx[l][0]].x, p[idx[l][0]].y, p[idx[l][1]].x, p[idx[l][1]].y,
                          lines[l]);
        if (!ok)
            continue;
        std::int64_t sx = 0, sy = 0;
        int meets = 0;
        const int pairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};
        for (const auto& pq : pairs)
        {
            const BisectorLine& a = lines[pq[0]];
            const BisectorLine& b = lines[pq[1]];
            if (a.slope == b.slope)
                continue;
            std::int32_t x = 0, y = 0;
            if (!ToCoordinate((b.intercept - a.intercept) / (a.slope - b.slope), x) ||
                !ToCoordinate(x * a.slope + a.intercept, y))
                continue;
            sx += x;
            sy += y;
            ++meets;
        }
        if (meets != 3)
            continue;
        const auto cx = static_cast<std::int32_t>(sx / 3);
        const auto cy = static_cast<std::int32_t>(sy / 3);
        if (cx != -1 && cy != -1)
            centers[m++] = Point{cx, cy};
    }
    if (m == 0)
        return 0;
    std::int64_t sx = 0, sy = 0;
    for (int c = 0; c < m; ++c)
    {
        sx += centers[c].x;
        sy += centers[c].y;
    }
    center = Point{static_cast<std::int32_t>(sx / m), static_cast<std::int32_t>(sy / m)};
    if (m >= 2)
    {
        double sum = 0;
        for (int c = 0; c < m; ++c)
        {
            const double dx = static_cast<double>(centers[c].x) - center.x;
            const double dy = static_cast<double>(centers[c].y) - center.y;
            sum += dx * dx + dy * dy;
        }
        const double r = std::sqrt(sum / m);
        std::int64_t wx = 0, wy = 0, taken = 0;
        for (int c = 0; c < m; ++c)
        {
            const double dx = static_cast<double>(centers[c].x) - center.x;
            const double dy = static_cast<double>(centers[c].y) - center.y;
            if (std::sqrt(dx * dx + dy * dy) <= r)
            {
                wx += centers[c].x;
                wy += centers[c].y;
                ++taken;
            }
        }
        if (taken > 0)
            center = Point{static_cast<std::int32_t>(wx / taken), static_cast<std::int32_t>(wy / taken)};
    }
    return 0;
}
} // namespace reference
