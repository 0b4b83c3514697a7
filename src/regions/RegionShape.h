// The shape of a region: a rectangle (corners as given, as the table has always held them), a
// circle or a polygon, in plot pixels. Whole numbers, as the positions are.
//
// A circle holds the positions with (x - cx)^2 + (y - cy)^2 < r^2; a polygon those inside its edges
// by the even-odd crossing rule (regions/ShapeGeometry.h has both tests). A circle and a polygon
// are usable when FindShapeProblem finds nothing wrong with them: a radius of at least 1; 3 to 64
// points, no two consecutive ones equal (the last may not repeat the first: a polygon closes by
// itself), no edge crossing or touching another except at the corner two neighbours share, and an
// area. Their coordinates stay within +-2^30, so that every test stays exact in integers.
#pragma once

#include "base/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

enum class ShapeKind : std::uint8_t
{
    Rectangle,
    Circle,
    Polygon,
};

inline constexpr std::size_t kMinPolygonPoints = 3;
inline constexpr std::size_t kMaxPolygonPoints = 64;
// Circle and polygon coordinates (a circle's box included) lie within -2^30 .. 2^30.
inline constexpr std::int32_t kShapeCoordinateLimit = 1 << 30;

struct CircleShape
{
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    std::int32_t r = 0;
    friend bool operator==(const CircleShape&, const CircleShape&) = default;
};

struct RegionShape
{
    ShapeKind kind = ShapeKind::Rectangle;
    Rect rect;                 // a rectangle's corners as given
    CircleShape circle;        // a circle's centre and radius
    std::vector<Point> points; // a polygon's corners in order, the first not repeated at the end

    [[nodiscard]] static RegionShape Rectangle(const Rect& rect);
    [[nodiscard]] static RegionShape Circle(std::int32_t cx, std::int32_t cy, std::int32_t r);
    [[nodiscard]] static RegionShape Polygon(std::vector<Point> points);

    friend bool operator==(const RegionShape&, const RegionShape&) = default;
};

// "rect", "circle" or "polygon": the shape's word in layouts and tables.
[[nodiscard]] std::string_view ShapeKindName(ShapeKind kind);

// The box a shape's outline, label and table row go by: a rectangle's corners as given; for a
// circle cx - r, cy - r, cx + r, cy + r; for a polygon its smallest x and y and its largest x and y.
[[nodiscard]] Rect ShapeBox(const RegionShape& shape);

// What is wrong with the shape, as a phrase that follows the shape's subject ("has 2 points; a
// polygon has 3 to 64"), or nothing when it is usable. Rectangles are never refused here: a
// rectangle of any corners is a region, as it has always been.
[[nodiscard]] std::optional<std::string> FindShapeProblem(const RegionShape& shape);

// Whether (x, y) lies in the shape, by the rule the visits use (a rectangle taken with its corners
// in order): what a click on the plot selects.
[[nodiscard]] bool ShapeContains(const RegionShape& shape, std::int64_t x, std::int64_t y);

// The shape moved by (dx, dy); nothing when that would take it out of its coordinate range (a
// rectangle's: 32 bits; a circle's or polygon's: +-2^30).
[[nodiscard]] std::optional<RegionShape> MovedShape(const RegionShape& shape, std::int64_t dx,
                                                    std::int64_t dy);

// The shape's numbers as text, comma-separated, as tracktool's options take them and a dialog shows
// them: "L,T,R,B", "CX,CY,R" or "X1,Y1,X2,Y2,...".
[[nodiscard]] std::string FormatShapeText(const RegionShape& shape);

// A shape of the given kind from such a text (blanks around the numbers allowed): the shape, or
// what is wrong with the text or the shape, as a phrase ("is not a list of whole numbers",
// "has edges that cross: ...").
[[nodiscard]] std::variant<RegionShape, std::string> ParseShapeText(ShapeKind kind, std::string_view text);
