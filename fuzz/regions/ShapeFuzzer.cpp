// Polygons and circles from arbitrary bytes, on small coordinates where a plain model is exact:
// the polygon check refuses exactly what a model of its rules refuses (checked edge pair by edge
// pair with the intersection solved by division), and for every usable shape the zone of each
// position is the zone the double-precision model gives (support/ShapeModel.h). Far-off positions
// and extreme coordinates are judged without overflow: outside, or refused.
#include "regions/RegionShape.h"
#include "regions/VisitRule.h"
#include "support/FuzzInput.h"
#include "support/ShapeModel.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
double Cross(Point a, Point b, Point c)
{
    return static_cast<double>(b.x - a.x) * (c.y - a.y) - static_cast<double>(b.y - a.y) * (c.x - a.x);
}

// The closed segments a-b and c-d meet: where their lines cross at parameters t, u within [0, 1],
// or, when parallel on one line, where their spans overlap.
bool ModelSegmentsMeet(Point a, Point b, Point c, Point d)
{
    // a + t (b - a) = c + u (d - c)
    const double rx = b.x - a.x;
    const double ry = b.y - a.y;
    const double sx = d.x - c.x;
    const double sy = d.y - c.y;
    const double qx = c.x - a.x;
    const double qy = c.y - a.y;
    const double denominator = rx * sy - ry * sx;
    if (denominator != 0.0)
    {
        const double t = (qx * sy - qy * sx) / denominator;
        const double u = (qx * ry - qy * rx) / denominator;
        return t >= 0.0 && t <= 1.0 && u >= 0.0 && u <= 1.0;
    }
    if (qx * ry - qy * rx != 0.0)
        return false; // parallel, on different lines
    const bool alongX = a.x != b.x;
    const auto lo = [alongX](Point p, Point q) { return alongX ? std::min(p.x, q.x) : std::min(p.y, q.y); };
    const auto hi = [alongX](Point p, Point q) { return alongX ? std::max(p.x, q.x) : std::max(p.y, q.y); };
    return lo(a, b) <= hi(c, d) && lo(c, d) <= hi(a, b);
}

// The polygon rules, each checked plainly.
bool ModelPolygonUsable(const std::vector<Point>& p)
{
    const std::size_t n = p.size();
    if (n < kMinPolygonPoints || n > kMaxPolygonPoints)
        return false;
    for (std::size_t k = 0; k < n; ++k)
        if (p[k] == p[(k + 1) % n])
            return false;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
        {
            const Point a = p[i];
            const Point b = p[(i + 1) % n];
            const Point c = p[j];
            const Point d = p[(j + 1) % n];
            if (j == i + 1 || (i == 0 && j == n - 1))
            {
                // Neighbours share one corner; they may meet nowhere else: not on one line folding
                // back over each other.
                const Point shared = j == i + 1 ? b : a;
                const Point other1 = j == i + 1 ? a : b;
                const Point other2 = j == i + 1 ? d : c;
                const double dot = static_cast<double>(other1.x - shared.x) * (other2.x - shared.x) +
                                   static_cast<double>(other1.y - shared.y) * (other2.y - shared.y);
                if (Cross(shared, other1, other2) == 0.0 && dot > 0.0)
                    return false;
            }
            else if (ModelSegmentsMeet(a, b, c, d))
                return false;
        }
    double twiceArea = 0.0;
    for (std::size_t i = 0; i < n; ++i)
        twiceArea +=
            static_cast<double>(p[i].x) * p[(i + 1) % n].y - static_cast<double>(p[(i + 1) % n].x) * p[i].y;
    return twiceArea != 0.0;
}

std::int32_t Small(CFuzzInput& input)
{
    return static_cast<std::int32_t>(input.I16() % (kShapeModelRange / 2 + 1));
}
} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeedInputs()
{
    std::vector<std::vector<std::uint8_t>> seeds;
    const auto seed = [&seeds](std::uint8_t margin, const std::vector<Point>& points)
    {
        CFuzzInputBuilder b;
        b.U8(margin).U8(static_cast<std::uint8_t>(points.size()));
        for (const Point& p : points)
            b.I16(static_cast<std::int16_t>(p.x)).I16(static_cast<std::int16_t>(p.y));
        b.I16(0).I16(0).I16(40).U8(0);
        seeds.push_back(b.Data());
    };
    seed(8, {{0, 0}, {40, 0}, {40, 20}, {20, 20}, {20, 40}, {0, 40}}); // concave
    seed(4, {{0, 0}, {30, 0}, {0, 40}});
    seed(0, {{0, 0}, {10, 10}, {10, 0}, {0, 10}});          // crossing
    seed(3, {{0, 0}, {20, 0}, {20, 20}, {10, 0}, {0, 20}}); // a corner on another edge
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CFuzzInput input(data, size);
    const std::int32_t margin = input.U8() % 64;
    const std::size_t n = input.U8() % 70;
    std::vector<Point> points;
    for (std::size_t k = 0; k < n; ++k)
    {
        const std::int32_t x = Small(input);
        points.push_back(Point{x, Small(input)});
    }
    const std::int32_t cx = Small(input);
    const std::int32_t cy = Small(input);
    const std::int32_t r = Small(input);

    const RegionShape polygon = RegionShape::Polygon(points);
    const bool usable = !FindShapeProblem(polygon).has_value();
    FuzzCheck(usable == ModelPolygonUsable(points), "the polygon check refuses what its rules refuse");
    const RegionShape circle = RegionShape::Circle(cx, cy, r);
    FuzzCheck(FindShapeProblem(circle).has_value() == (r < 1), "a circle is refused for its radius only");

    const RegionZones polygonZones = MakeRegionZones(polygon, margin);
    const RegionZones circleZones = MakeRegionZones(circle, margin);
    const auto check = [&](std::int32_t x, std::int32_t y)
    {
        if (usable)
            FuzzCheck(ClassifyPosition(x, y, polygonZones) == ModelPolygonZone(points, margin, x, y),
                      "a polygon's zone is the model's");
        if (r >= 1)
            FuzzCheck(ClassifyPosition(x, y, circleZones) == ModelCircleZone(cx, cy, r, margin, x, y),
                      "a circle's zone is the model's");
    };
    // Positions from the input, then every position of a window around the first corner.
    while (input.Remaining() >= 4)
    {
        const std::int32_t x = Small(input);
        check(x, Small(input));
    }
    if (!points.empty())
        for (std::int32_t y = points[0].y - 6; y <= points[0].y + 6; ++y)
            for (std::int32_t x = points[0].x - 6; x <= points[0].x + 6; ++x)
                check(x, y);

    // Far off, nothing is inside and nothing overflows.
    for (const std::int32_t far : {CFuzzInput::Extreme(0), CFuzzInput::Extreme(2)})
    {
        if (usable)
            FuzzCheck(ClassifyPosition(far, far, polygonZones) == kZoneOutside,
                      "far off is outside a polygon");
        if (r >= 1)
            FuzzCheck(ClassifyPosition(far, 0, circleZones) == kZoneOutside, "far off is outside a circle");
    }
    return 0;
}
