#include "regions/RegionShape.h"

#include "regions/ShapeGeometry.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace
{
constexpr std::int64_t kLimit = kShapeCoordinateLimit;

std::string Describe(Point p)
{
    return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")";
}

bool WithinLimit(std::int64_t v)
{
    return -kLimit <= v && v <= kLimit;
}

std::string BeyondLimit()
{
    return "beyond " + std::to_string(-kLimit) + " .. " + std::to_string(kLimit);
}

std::optional<std::string> FindCircleProblem(const CircleShape& c)
{
    if (c.r < 1)
        return "has radius " + std::to_string(c.r) + "; a circle's radius is at least 1";
    const std::int64_t r = c.r;
    if (!WithinLimit(c.cx - r) || !WithinLimit(c.cx + r) || !WithinLimit(c.cy - r) || !WithinLimit(c.cy + r))
        return "reaches " + BeyondLimit();
    return std::nullopt;
}

// Edges i and i + 1 share corner i + 1 and meet nowhere else, unless the second folds back along
// the first.
bool FoldsBack(Point a, Point b, Point c)
{
    const Int128 along = Int128{std::int64_t{a.x} - b.x} * (std::int64_t{c.x} - b.x) +
                         Int128{std::int64_t{a.y} - b.y} * (std::int64_t{c.y} - b.y);
    return CrossFrom(a, b, c.x, c.y) == 0 && along > 0;
}

std::string DescribeEdge(const std::vector<Point>& p, std::size_t i)
{
    return Describe(p[i]) + "-" + Describe(p[(i + 1) % p.size()]);
}

std::optional<std::string> FindPolygonProblem(const std::vector<Point>& p)
{
    const std::size_t n = p.size();
    if (n < kMinPolygonPoints || n > kMaxPolygonPoints)
        return "has " + std::to_string(n) + (n == 1 ? " point" : " points") + "; a polygon has " +
               std::to_string(kMinPolygonPoints) + " to " + std::to_string(kMaxPolygonPoints);
    for (std::size_t k = 0; k < n; ++k)
        if (!WithinLimit(p[k].x) || !WithinLimit(p[k].y))
            return "has point " + std::to_string(k) + " " + Describe(p[k]) + " " + BeyondLimit();
    for (std::size_t k = 0; k < n; ++k)
    {
        const std::size_t next = (k + 1) % n;
        if (p[k] != p[next])
            continue;
        if (next == 0)
            return "repeats its first point " + Describe(p[0]) + " at its end; a polygon closes by itself";
        return "has points " + std::to_string(k) + " and " + std::to_string(next) + " both at " +
               Describe(p[k]);
    }
    if (std::all_of(p.begin(), p.end(), [&p](Point q) { return CrossFrom(p[0], p[1], q.x, q.y) == 0; }))
        return "has no area: its points lie on one line";
    for (std::size_t i = 0; i < n; ++i)
    {
        for (std::size_t j = i + 1; j < n; ++j)
        {
            const bool neighbours = j == i + 1 || (i == 0 && j == n - 1);
            bool meet = false;
            if (j == i + 1)
                meet = FoldsBack(p[i], p[j], p[(j + 1) % n]);
            else if (neighbours)
                meet = FoldsBack(p[j], p[0], p[1]);
            else
                meet = SegmentsMeet(p[i], p[i + 1], p[j], p[(j + 1) % n]);
            if (meet)
                return "has edges that cross or touch: " + DescribeEdge(p, i) + " and " + DescribeEdge(p, j);
        }
    }
    Int128 twiceArea = 0;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++)
        twiceArea += Int128{p[j].x} * p[i].y - Int128{p[i].x} * p[j].y;
    if (twiceArea == 0)
        return "has no area";
    return std::nullopt;
}

std::optional<std::int32_t> Shifted(std::int64_t v, std::int64_t by, std::int64_t low, std::int64_t high)
{
    // Moves beyond any coordinate are refused before they could overflow.
    if (by < low - high || by > high - low)
        return std::nullopt;
    const std::int64_t moved = v + by;
    if (moved < low || moved > high)
        return std::nullopt;
    return static_cast<std::int32_t>(moved);
}

// Whole numbers separated by commas, blanks around each allowed.
std::optional<std::vector<std::int32_t>> ParseNumberList(std::string_view text)
{
    std::vector<std::int32_t> numbers;
    while (true)
    {
        const std::size_t comma = text.find(',');
        std::string_view piece = text.substr(0, comma);
        while (!piece.empty() && (piece.front() == ' ' || piece.front() == '\t'))
            piece.remove_prefix(1);
        while (!piece.empty() && (piece.back() == ' ' || piece.back() == '\t'))
            piece.remove_suffix(1);
        std::int32_t value = 0;
        const char* end = piece.data() + piece.size();
        const auto [stop, error] = std::from_chars(piece.data(), end, value, 10);
        if (piece.empty() || error != std::errc{} || stop != end)
            return std::nullopt;
        numbers.push_back(value);
        if (comma == std::string_view::npos)
            return numbers;
        text.remove_prefix(comma + 1);
    }
}
} // namespace

RegionShape RegionShape::Rectangle(const Rect& rect)
{
    RegionShape shape;
    shape.rect = rect;
    return shape;
}

RegionShape RegionShape::Circle(std::int32_t cx, std::int32_t cy, std::int32_t r)
{
    RegionShape shape;
    shape.kind = ShapeKind::Circle;
    shape.circle = CircleShape{cx, cy, r};
    return shape;
}

RegionShape RegionShape::Polygon(std::vector<Point> points)
{
    RegionShape shape;
    shape.kind = ShapeKind::Polygon;
    shape.points = std::move(points);
    return shape;
}

std::string_view ShapeKindName(ShapeKind kind)
{
    switch (kind)
    {
    case ShapeKind::Circle:
        return "circle";
    case ShapeKind::Polygon:
        return "polygon";
    case ShapeKind::Rectangle:
        break;
    }
    return "rect";
}

Rect ShapeBox(const RegionShape& shape)
{
    switch (shape.kind)
    {
    case ShapeKind::Circle:
    {
        // Within +-2^30 once checked; clamped so that an unchecked circle cannot overflow.
        const CircleShape& c = shape.circle;
        const auto side = [](std::int64_t v)
        {
            return static_cast<std::int32_t>(std::clamp<std::int64_t>(
                v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
        };
        return Rect{side(std::int64_t{c.cx} - c.r), side(std::int64_t{c.cy} - c.r),
                    side(std::int64_t{c.cx} + c.r), side(std::int64_t{c.cy} + c.r)};
    }
    case ShapeKind::Polygon:
    {
        if (shape.points.empty())
            return Rect{};
        Rect box{shape.points[0].x, shape.points[0].y, shape.points[0].x, shape.points[0].y};
        for (const Point& p : shape.points)
            box = Rect{std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
                       std::max(box.bottom, p.y)};
        return box;
    }
    case ShapeKind::Rectangle:
        break;
    }
    return shape.rect;
}

std::optional<std::string> FindShapeProblem(const RegionShape& shape)
{
    switch (shape.kind)
    {
    case ShapeKind::Circle:
        return FindCircleProblem(shape.circle);
    case ShapeKind::Polygon:
        return FindPolygonProblem(shape.points);
    case ShapeKind::Rectangle:
        break;
    }
    return std::nullopt;
}

bool ShapeContains(const RegionShape& shape, std::int64_t x, std::int64_t y)
{
    switch (shape.kind)
    {
    case ShapeKind::Circle:
        return CircleHolds(shape.circle.cx, shape.circle.cy, shape.circle.r, x, y);
    case ShapeKind::Polygon:
        return shape.points.size() >= kMinPolygonPoints && PolygonHolds(shape.points, x, y);
    case ShapeKind::Rectangle:
        break;
    }
    return PtInRect(NormalizedRect(shape.rect), x, y);
}

std::optional<RegionShape> MovedShape(const RegionShape& shape, std::int64_t dx, std::int64_t dy)
{
    constexpr std::int64_t kLow32 = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kHigh32 = std::numeric_limits<std::int32_t>::max();
    RegionShape moved = shape;
    switch (shape.kind)
    {
    case ShapeKind::Rectangle:
    {
        const auto left = Shifted(shape.rect.left, dx, kLow32, kHigh32);
        const auto top = Shifted(shape.rect.top, dy, kLow32, kHigh32);
        const auto right = Shifted(shape.rect.right, dx, kLow32, kHigh32);
        const auto bottom = Shifted(shape.rect.bottom, dy, kLow32, kHigh32);
        if (!left || !top || !right || !bottom)
            return std::nullopt;
        moved.rect = Rect{*left, *top, *right, *bottom};
        return moved;
    }
    case ShapeKind::Circle:
    {
        const std::int64_t r = shape.circle.r;
        const auto cx = Shifted(shape.circle.cx, dx, -kLimit + r, kLimit - r);
        const auto cy = Shifted(shape.circle.cy, dy, -kLimit + r, kLimit - r);
        if (!cx || !cy)
            return std::nullopt;
        moved.circle.cx = *cx;
        moved.circle.cy = *cy;
        return moved;
    }
    case ShapeKind::Polygon:
        for (Point& p : moved.points)
        {
            const auto x = Shifted(p.x, dx, -kLimit, kLimit);
            const auto y = Shifted(p.y, dy, -kLimit, kLimit);
            if (!x || !y)
                return std::nullopt;
            p = Point{*x, *y};
        }
        return moved;
    }
    return std::nullopt;
}

std::string FormatShapeText(const RegionShape& shape)
{
    std::vector<std::int32_t> numbers;
    switch (shape.kind)
    {
    case ShapeKind::Rectangle:
        numbers = {shape.rect.left, shape.rect.top, shape.rect.right, shape.rect.bottom};
        break;
    case ShapeKind::Circle:
        numbers = {shape.circle.cx, shape.circle.cy, shape.circle.r};
        break;
    case ShapeKind::Polygon:
        for (const Point& p : shape.points)
        {
            numbers.push_back(p.x);
            numbers.push_back(p.y);
        }
        break;
    }
    std::string text;
    for (std::size_t k = 0; k < numbers.size(); ++k)
        text += (k == 0 ? "" : ",") + std::to_string(numbers[k]);
    return text;
}

std::variant<RegionShape, std::string> ParseShapeText(ShapeKind kind, std::string_view text)
{
    const auto numbers = ParseNumberList(text);
    if (!numbers)
        return std::string("is not a list of whole numbers separated by commas");
    const std::size_t n = numbers->size();
    const std::vector<std::int32_t>& v = *numbers;
    RegionShape shape;
    switch (kind)
    {
    case ShapeKind::Rectangle:
        if (n != 4)
            return "has " + std::to_string(n) + " numbers; a rectangle has 4 (left, top, right, bottom)";
        shape = RegionShape::Rectangle(Rect{v[0], v[1], v[2], v[3]});
        break;
    case ShapeKind::Circle:
        if (n != 3)
            return "has " + std::to_string(n) + " numbers; a circle has 3 (centre x, centre y, radius)";
        shape = RegionShape::Circle(v[0], v[1], v[2]);
        break;
    case ShapeKind::Polygon:
    {
        if (n % 2 != 0)
            return "has " + std::to_string(n) + " numbers; a polygon has an x and a y for each point";
        std::vector<Point> points;
        for (std::size_t k = 0; k + 1 < n; k += 2)
            points.push_back(Point{v[k], v[k + 1]});
        shape = RegionShape::Polygon(std::move(points));
        break;
    }
    }
    if (auto problem = FindShapeProblem(shape))
        return *std::move(problem);
    return shape;
}
