// Circles and polygons: the inside and core tests at their edges, validation, the box, moving, and
// the text form of a shape.
#include "regions/RegionShape.h"

#include "regions/VisitRule.h"

#include <gtest/gtest.h>
#include <random>

namespace
{
std::int32_t ZoneOf(const RegionShape& shape, std::int32_t margin, std::int64_t x, std::int64_t y)
{
    return ClassifyPosition(x, y, MakeRegionZones(shape, margin));
}

// An L: the square (0,0)-(40,40) without its lower-right quarter; (20, 20) is its concave corner.
const RegionShape kL = RegionShape::Polygon({{0, 0}, {40, 0}, {40, 20}, {20, 20}, {20, 40}, {0, 40}});
// A right triangle whose long edge (30,0)-(0,40) is 50 long: 4x + 3y = 120 along it.
const RegionShape kTriangle = RegionShape::Polygon({{0, 0}, {30, 0}, {0, 40}});

struct ZoneCase
{
    const char* what;
    RegionShape shape;
    std::int32_t margin;
    std::int64_t x, y;
    std::int32_t zone;
};

void ExpectZones(const std::vector<ZoneCase>& cases)
{
    for (const ZoneCase& c : cases)
        EXPECT_EQ(ZoneOf(c.shape, c.margin, c.x, c.y), c.zone) << c.what << " at " << c.x << "," << c.y;
}
} // namespace

TEST(RegionShapes, PolygonEdgesAndVerticesFollowTheRectangleRule)
{
    const RegionShape square = RegionShape::Polygon({{10, 10}, {20, 10}, {20, 20}, {10, 20}});
    ExpectZones({
        {"top-left vertex", square, 0, 10, 10, kZoneCore},
        {"top edge", square, 0, 15, 10, kZoneCore},
        {"left edge", square, 0, 10, 15, kZoneCore},
        {"top-right vertex", square, 0, 20, 10, kZoneOutside},
        {"right edge", square, 0, 20, 15, kZoneOutside},
        {"bottom edge", square, 0, 15, 20, kZoneOutside},
        {"bottom-left vertex", square, 0, 10, 20, kZoneOutside},
        {"last column inside", square, 0, 19, 19, kZoneCore},
        {"left of the left edge", square, 0, 9, 15, kZoneOutside},
        {"above the top edge", square, 0, 15, 9, kZoneOutside},
        // Diagonal edges: the left one belongs, the right one does not.
        {"on the long edge", kTriangle, 0, 15, 20, kZoneOutside},
        {"one left of the long edge", kTriangle, 0, 14, 20, kZoneCore},
        {"on the left (vertical) edge", kTriangle, 0, 0, 20, kZoneCore},
        {"on the top (horizontal) edge", kTriangle, 0, 20, 0, kZoneCore},
        {"the acute vertex", kTriangle, 0, 0, 40, kZoneOutside},
        // The concave corner and the edges that meet there.
        {"concave corner", kL, 0, 20, 20, kZoneOutside},
        {"just inside the concave corner", kL, 0, 19, 19, kZoneCore},
        {"on the inner horizontal edge", kL, 0, 30, 20, kZoneOutside},
        {"above the inner horizontal edge", kL, 0, 30, 19, kZoneCore},
        {"on the inner vertical edge", kL, 0, 20, 30, kZoneOutside},
        {"left of the inner vertical edge", kL, 0, 19, 30, kZoneCore},
        {"in the missing quarter", kL, 0, 30, 30, kZoneOutside},
        {"far off", kL, 0, -2147483648LL, 2147483647LL, kZoneOutside},
    });
}

TEST(RegionShapes, PolygonCoreKeepsTheMarginFromEveryEdge)
{
    const RegionShape square = RegionShape::Polygon({{0, 0}, {20, 0}, {20, 20}, {0, 20}});
    ExpectZones({
        {"exactly the margin from the left edge", square, 5, 5, 10, kZoneCore},
        {"one nearer the left edge", square, 5, 4, 10, kZoneBorder},
        // Unlike a rectangle's core, the margin counts the same from the right edge.
        {"exactly the margin from the right edge", square, 5, 15, 10, kZoneCore},
        {"one nearer the right edge", square, 5, 16, 10, kZoneBorder},
        // 4x + 3y = 100 lies exactly 4 from the long edge.
        {"exactly 4 from the long edge", kTriangle, 4, 10, 20, kZoneCore},
        {"3.4 from the long edge", kTriangle, 4, 10, 21, kZoneBorder},
        {"3.2 from the long edge", kTriangle, 4, 11, 20, kZoneBorder},
        {"4.8 from the long edge", kTriangle, 4, 9, 20, kZoneCore},
        // Near the concave corner the nearest point is the corner itself, sqrt(18) = 4.24 away,
        // though both lines through it are only 3 away.
        {"sqrt(18) from the concave corner, margin 4", kL, 4, 17, 17, kZoneCore},
        {"sqrt(18) from the concave corner, margin 5", kL, 5, 17, 17, kZoneBorder},
        {"margin 0: all inside is core", kL, 0, 0, 0, kZoneCore},
        {"a margin larger than the shape", square, 11, 10, 10, kZoneBorder},
        {"a margin of half the square", square, 10, 10, 10, kZoneCore},
        {"a negative margin: all inside is core", square, -3, 0, 0, kZoneCore},
    });
}

TEST(RegionShapes, CircleInsideIsStrictlyNearerThanTheRadius)
{
    const RegionShape unit = RegionShape::Circle(100, 100, 1);
    const RegionShape five = RegionShape::Circle(0, 0, 5);
    ExpectZones({
        {"radius 1: only the centre", unit, 0, 100, 100, kZoneCore},
        {"radius 1: right neighbour", unit, 0, 101, 100, kZoneOutside},
        {"radius 1: upper neighbour", unit, 0, 100, 99, kZoneOutside},
        {"radius 1: diagonal", unit, 0, 99, 99, kZoneOutside},
        {"radius 1, margin 1: no core", unit, 1, 100, 100, kZoneBorder},
        {"on the circle (3,4)", five, 0, 3, 4, kZoneOutside},
        {"on the circle (-5,0)", five, 0, -5, 0, kZoneOutside},
        {"just inside (-4,0)", five, 0, -4, 0, kZoneCore},
        {"(2,4): 20 < 25", five, 0, 2, 4, kZoneCore},
        {"core radius 3: (2,2) at 8 < 9", five, 2, 2, 2, kZoneCore},
        {"core radius 3: (3,0) on its edge", five, 2, 3, 0, kZoneBorder},
        {"a margin larger than the circle", five, 9, 0, 0, kZoneBorder},
        {"far off", five, 0, 2147483647LL, 0, kZoneOutside},
    });
}

TEST(RegionShapes, PolygonsSharingEdgesTileTheirSquare)
{
    // A 4 x 4 grid of cells over (0,0)-(80,80) whose inner corners are pushed about, each cell cut
    // into two triangles along a diagonal, alternating. Every position of the square lies in
    // exactly one of the 32 triangles, whatever the edges' slopes.
    std::mt19937 random(24);
    std::uniform_int_distribution<std::int32_t> jitter(-4, 4);
    Point corner[5][5];
    for (int i = 0; i <= 4; ++i)
        for (int j = 0; j <= 4; ++j)
        {
            const bool innerX = i > 0 && i < 4;
            const bool innerY = j > 0 && j < 4;
            corner[i][j] =
                Point{i * 20 + (innerX ? jitter(random) : 0), j * 20 + (innerY ? jitter(random) : 0)};
        }
    std::vector<RegionShape> tiles;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
        {
            const Point a = corner[i][j];
            const Point b = corner[i + 1][j];
            const Point c = corner[i + 1][j + 1];
            const Point d = corner[i][j + 1];
            if ((i + j) % 2 == 0)
            {
                tiles.push_back(RegionShape::Polygon({a, b, c}));
                tiles.push_back(RegionShape::Polygon({a, c, d}));
            }
            else
            {
                tiles.push_back(RegionShape::Polygon({a, b, d}));
                tiles.push_back(RegionShape::Polygon({b, c, d}));
            }
        }
    for (const RegionShape& tile : tiles)
        ASSERT_EQ(FindShapeProblem(tile), std::nullopt);
    for (std::int64_t y = -1; y <= 81; ++y)
        for (std::int64_t x = -1; x <= 81; ++x)
        {
            int holders = 0;
            for (const RegionShape& tile : tiles)
                holders += ShapeContains(tile, x, y) ? 1 : 0;
            const bool inSquare = x >= 0 && x < 80 && y >= 0 && y < 80;
            ASSERT_EQ(holders, inSquare ? 1 : 0) << x << "," << y;
        }
}

TEST(RegionShapes, ValidationNamesTheFault)
{
    std::vector<Point> sixtyFive;
    for (int k = 0; k < 65; ++k)
        sixtyFive.push_back(Point{k, k * k});
    std::vector<Point> sixtyFour(sixtyFive.begin(), sixtyFive.end() - 1);
    struct Case
    {
        RegionShape shape;
        const char* problem; // nullptr: usable
    };
    const Case cases[] = {
        {RegionShape::Polygon({{0, 0}, {10, 0}}), "has 2 points; a polygon has 3 to 64"},
        {RegionShape::Polygon(sixtyFive), "has 65 points; a polygon has 3 to 64"},
        {RegionShape::Polygon(sixtyFour), nullptr},
        {RegionShape::Polygon({{0, 0}, {10, 0}, {10, 0}, {0, 10}}), "has points 1 and 2 both at (10, 0)"},
        {RegionShape::Polygon({{0, 0}, {10, 0}, {0, 10}, {0, 0}}),
         "repeats its first point (0, 0) at its end; a polygon closes by itself"},
        {RegionShape::Polygon({{0, 0}, {5, 5}, {10, 10}}), "has no area: its points lie on one line"},
        {RegionShape::Polygon({{0, 0}, {10, 10}, {10, 0}, {0, 10}}),
         "has edges that cross or touch: (0, 0)-(10, 10) and (10, 0)-(0, 10)"},
        // A corner lying on an edge that is not its own.
        {RegionShape::Polygon({{0, 0}, {20, 0}, {20, 20}, {10, 0}, {0, 20}}),
         "has edges that cross or touch: (0, 0)-(20, 0) and (20, 20)-(10, 0)"},
        // An edge folding back along the one before.
        {RegionShape::Polygon({{0, 0}, {20, 0}, {10, 0}, {10, 10}}),
         "has edges that cross or touch: (0, 0)-(20, 0) and (20, 0)-(10, 0)"},
        // Two corners at one point (not consecutive): the edges there touch.
        {RegionShape::Polygon({{0, 0}, {10, 0}, {5, 5}, {10, 10}, {0, 10}, {5, 5}}),
         "has edges that cross or touch: (10, 0)-(5, 5) and (0, 10)-(5, 5)"},
        {RegionShape::Polygon({{0, 0}, {1073741825, 0}, {0, 5}}),
         "has point 1 (1073741825, 0) beyond -1073741824 .. 1073741824"},
        {RegionShape::Polygon({{-1073741824, -1073741824}, {1073741824, -1073741824}, {0, 1073741824}}),
         nullptr},
        {kL, nullptr},
        {RegionShape::Circle(0, 0, 0), "has radius 0; a circle's radius is at least 1"},
        {RegionShape::Circle(0, 0, -4), "has radius -4; a circle's radius is at least 1"},
        {RegionShape::Circle(1073741000, 0, 825), "reaches beyond -1073741824 .. 1073741824"},
        {RegionShape::Circle(1073741000, 0, 824), nullptr},
        {RegionShape::Circle(5, 5, 1), nullptr},
        {RegionShape::Rectangle(Rect{2147483647, 0, -2147483647 - 1, 0}), nullptr},
    };
    for (const Case& c : cases)
    {
        const auto problem = FindShapeProblem(c.shape);
        if (c.problem == nullptr)
            EXPECT_EQ(problem, std::nullopt) << FormatShapeText(c.shape);
        else
            EXPECT_EQ(problem.value_or("usable"), c.problem) << FormatShapeText(c.shape);
    }
}

TEST(RegionShapes, BoxesGoByTheShape)
{
    EXPECT_EQ(ShapeBox(RegionShape::Rectangle(Rect{175, 175, 50, 50})), (Rect{175, 175, 50, 50}));
    EXPECT_EQ(ShapeBox(RegionShape::Circle(320, 240, 40)), (Rect{280, 200, 360, 280}));
    EXPECT_EQ(ShapeBox(kL), (Rect{0, 0, 40, 40}));
    EXPECT_EQ(ShapeBox(RegionShape::Polygon({{5, -3}, {-2, 7}, {9, 1}})), (Rect{-2, -3, 9, 7}));
}

TEST(RegionShapes, MovingKeepsTheShapeAndStopsAtTheRange)
{
    EXPECT_EQ(MovedShape(kTriangle, 5, -3), RegionShape::Polygon({{5, -3}, {35, -3}, {5, 37}}));
    EXPECT_EQ(MovedShape(RegionShape::Circle(0, 0, 10), 7, 8), RegionShape::Circle(7, 8, 10));
    EXPECT_EQ(MovedShape(RegionShape::Rectangle(Rect{1, 2, 3, 4}), -1, 1),
              RegionShape::Rectangle(Rect{0, 3, 2, 5}));
    // A circle's box and a polygon's points stay within +-2^30, a rectangle within 32 bits.
    EXPECT_TRUE(MovedShape(RegionShape::Circle(0, 0, 10), 1073741814, 0).has_value());
    EXPECT_FALSE(MovedShape(RegionShape::Circle(0, 0, 10), 1073741815, 0).has_value());
    EXPECT_FALSE(MovedShape(kL, 0, -1073741825).has_value());
    EXPECT_FALSE(MovedShape(RegionShape::Rectangle(Rect{0, 0, 2147483647, 1}), 1, 0).has_value());
    EXPECT_FALSE(MovedShape(kL, INT64_MIN, 0).has_value());
}

TEST(RegionShapes, TextFormRoundTripsAndRefusesWhatIsNotAShape)
{
    for (const RegionShape& shape :
         {kL, kTriangle, RegionShape::Circle(-3, 4, 5), RegionShape::Rectangle(Rect{9, 8, -7, 6})})
    {
        const auto parsed = ParseShapeText(shape.kind, FormatShapeText(shape));
        ASSERT_TRUE(std::holds_alternative<RegionShape>(parsed)) << FormatShapeText(shape);
        EXPECT_EQ(std::get<RegionShape>(parsed), shape);
    }
    EXPECT_EQ(FormatShapeText(RegionShape::Circle(-3, 4, 5)), "-3,4,5");
    EXPECT_EQ(std::get<RegionShape>(ParseShapeText(ShapeKind::Circle, " 320 , 240,40 ")),
              RegionShape::Circle(320, 240, 40));
    struct Case
    {
        ShapeKind kind;
        const char* text;
        const char* problem;
    };
    const Case cases[] = {
        {ShapeKind::Circle, "", "is not a list of whole numbers separated by commas"},
        {ShapeKind::Circle, "1,2,", "is not a list of whole numbers separated by commas"},
        {ShapeKind::Circle, "1,2,3.5", "is not a list of whole numbers separated by commas"},
        {ShapeKind::Circle, "1,2,+3", "is not a list of whole numbers separated by commas"},
        {ShapeKind::Circle, "1,2,2147483648", "is not a list of whole numbers separated by commas"},
        {ShapeKind::Circle, "1,2", "has 2 numbers; a circle has 3 (centre x, centre y, radius)"},
        {ShapeKind::Polygon, "0,0,10,0,10", "has 5 numbers; a polygon has an x and a y for each point"},
        {ShapeKind::Polygon, "0,0,10,10,10,0,0,10",
         "has edges that cross or touch: (0, 0)-(10, 10) and (10, 0)-(0, 10)"},
        {ShapeKind::Rectangle, "1,2,3", "has 3 numbers; a rectangle has 4 (left, top, right, bottom)"},
    };
    for (const Case& c : cases)
    {
        const auto parsed = ParseShapeText(c.kind, c.text);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << c.text;
        EXPECT_EQ(std::get<std::string>(parsed), c.problem) << c.text;
    }
}
