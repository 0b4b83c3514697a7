// Adding circles and polygons and moving them with the mouse, driven as the window drives the table.
#include "FakeRegionPlot.h"
#include "regions/RegionTable.h"
#include "support/RecordingMessageSink.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace
{
using Ops = std::vector<std::string>;
using Points = std::vector<Point>;

// The press, the moves with the button held and the release of one gesture.
void Drag(CRegionTable& table, IRegionPlot& plot, Point press, const Points& moves)
{
    table.ButtonDown(plot, press);
    for (const Point p : moves)
        table.MouseMove(plot, p);
    table.ButtonUp(plot);
}

// Clicks (press and release) at each point, as the polygon tool takes them.
void Clicks(CRegionTable& table, IRegionPlot& plot, const Points& points)
{
    for (const Point p : points)
    {
        table.ButtonDown(plot, p);
        table.ButtonUp(plot);
    }
}
} // namespace

TEST(ShapeGesture, CircleGrowsFromItsCentreToTheWholePixelsDragged)
{
    struct Case
    {
        Point press;
        Points moves;
        std::optional<CircleShape> added;
    };
    const Case cases[] = {
        {{100, 100}, {{103, 104}}, CircleShape{100, 100, 5}},
        {{100, 100}, {{120, 100}, {103, 104}}, CircleShape{100, 100, 5}}, // the release point counts
        {{100, 100}, {{101, 101}}, CircleShape{100, 100, 1}},             // sqrt 2 rounds down
        {{100, 100}, {{100, 100}}, std::nullopt},                         // radius 0
        {{100, 100}, {}, std::nullopt},                                   // a click
        {{0, 0}, {{-3, -4}}, CircleShape{0, 0, 5}},                       // beyond the plot is no fault
        {{5, 5}, {{5, 5 + 46340}}, CircleShape{5, 5, 46340}},
    };
    for (const Case& c : cases)
    {
        CRegionTable table;
        CFakeRegionPlot plot;
        table.StartCircle(plot);
        ASSERT_EQ(table.Tool(), RegionTool::AddCircle);
        Drag(table, plot, c.press, c.moves);
        EXPECT_EQ(table.Tool(), RegionTool::Redraw) << "one circle per Add Circle";
        if (!c.added)
        {
            EXPECT_EQ(table.m_nRegionCount, 0);
            continue;
        }
        ASSERT_EQ(table.m_nRegionCount, 1);
        EXPECT_EQ(table.m_nSelectedRegion, 0);
        EXPECT_EQ(table.ShapeOf(0), RegionShape::Circle(c.added->cx, c.added->cy, c.added->r));
        EXPECT_EQ(plot.Ops().back(), "Redraw");
    }
}

TEST(ShapeGesture, PolygonClosesOnItsFirstOrLastCornerOrEnter)
{
    struct Case
    {
        const char* what;
        Points clicks;
        bool enter;
        std::optional<Points> added;
        const char* message;
    };
    const Points triangle{{10, 10}, {50, 10}, {30, 40}};
    const Case cases[] = {
        {"double click on the third corner",
         {{10, 10}, {50, 10}, {30, 40}, {30, 40}},
         false,
         triangle,
         nullptr},
        {"click near the last corner", {{10, 10}, {50, 10}, {30, 40}, {33, 37}}, false, triangle, nullptr},
        {"click near the first corner", {{10, 10}, {50, 10}, {30, 40}, {7, 13}}, false, triangle, nullptr},
        {"just beyond the first corner adds one",
         {{10, 10}, {50, 10}, {30, 40}, {6, 10}},
         true,
         Points{{10, 10}, {50, 10}, {30, 40}, {6, 10}},
         nullptr},
        {"Enter", {{10, 10}, {50, 10}, {30, 40}}, true, triangle, nullptr},
        {"a double click on the second corner adds nothing",
         {{10, 10}, {50, 10}, {50, 10}},
         false,
         std::nullopt,
         nullptr},
        {"Enter at two corners",
         {{10, 10}, {50, 10}},
         true,
         std::nullopt,
         "The polygon has 2 points; a polygon has 3 to 64."},
        {"on one line",
         {{10, 10}, {50, 10}, {90, 10}},
         true,
         std::nullopt,
         "The polygon has no area: its points lie on one line."},
    };
    for (const Case& c : cases)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CRegionTable table;
        CFakeRegionPlot plot;
        table.StartPolygon(plot);
        Clicks(table, plot, c.clicks);
        if (c.enter)
        {
            EXPECT_TRUE(table.ClosePolygon(plot)) << c.what;
        }
        EXPECT_EQ(sink.messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{})
            << c.what;
        if (!c.added)
        {
            EXPECT_EQ(table.m_nRegionCount, 0) << c.what;
            continue;
        }
        EXPECT_EQ(table.Tool(), RegionTool::Redraw) << c.what;
        ASSERT_EQ(table.m_nRegionCount, 1) << c.what;
        EXPECT_EQ(table.ShapeOf(0), RegionShape::Polygon(*c.added)) << c.what;
        EXPECT_EQ(table.m_regionRects[0], ShapeBox(RegionShape::Polygon(*c.added))) << c.what;
    }
}

TEST(ShapeGesture, CrossingPolygonIsToldAndNothingAdded)
{
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    CRegionTable table;
    CFakeRegionPlot plot;
    table.StartPolygon(plot);
    Clicks(table, plot, {{0, 0}, {40, 40}, {40, 0}, {0, 40}});
    table.ClosePolygon(plot);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].rfind("The polygon has edges that cross", 0), 0u) << sink.messages[0];
    EXPECT_EQ(table.m_nRegionCount, 0);
    EXPECT_EQ(table.Tool(), RegionTool::Redraw);
}

TEST(ShapeGesture, SixtyFourthCornerClosesThePolygon)
{
    CRegionTable table;
    CFakeRegionPlot plot;
    table.StartPolygon(plot);
    Points corners;
    for (std::int32_t i = 0; i < 64; ++i)
        corners.push_back({i * 10, i * i}); // a convex curve, no corner near another
    Clicks(table, plot, Points(corners.begin(), corners.end() - 1));
    EXPECT_EQ(table.m_nRegionCount, 0);
    EXPECT_EQ(table.PolygonCorners().size(), 63u);
    Clicks(table, plot, {corners.back()});
    ASSERT_EQ(table.m_nRegionCount, 1);
    EXPECT_EQ(table.ShapeOf(0).points, corners);
}

TEST(ShapeGesture, PolygonPreviewRunsToThePointerWithoutTheButton)
{
    CRegionTable table;
    CFakeRegionPlot plot;
    table.StartPolygon(plot);
    EXPECT_TRUE(table.FollowsPointer());
    table.MouseMove(plot, {5, 5}); // no corner yet: nothing to show
    Clicks(table, plot, {{10, 10}, {50, 10}});
    table.MouseMove(plot, {30, 40});
    ASSERT_EQ(plot.calls.back().op, "Preview");
    EXPECT_EQ(plot.calls.back().shapes.at(0).points, (Points{{10, 10}, {50, 10}, {30, 40}}));
    EXPECT_EQ(plot.Ops(), (Ops{"Preview", "Preview", "Preview"}));
}

TEST(ShapeGesture, EscapeDropsWhatIsDrawnAndOnlyThen)
{
    CRegionTable table;
    CFakeRegionPlot plot;
    EXPECT_FALSE(table.CancelGesture(plot));
    EXPECT_FALSE(table.ClosePolygon(plot));
    EXPECT_TRUE(plot.calls.empty());

    table.StartPolygon(plot);
    Clicks(table, plot, {{10, 10}, {50, 10}, {30, 40}});
    EXPECT_TRUE(table.CancelGesture(plot));
    EXPECT_EQ(plot.Ops().back(), "EndPreview");
    EXPECT_EQ(table.m_nRegionCount, 0);
    EXPECT_TRUE(table.PolygonCorners().empty());
    // The next press is the redraw gesture again: with nothing selected it stores nothing.
    Drag(table, plot, {1, 1}, {{20, 20}});
    EXPECT_EQ(table.m_nRegionCount, 0);

    table.StartCircle(plot);
    table.ButtonDown(plot, {100, 100});
    table.MouseMove(plot, {130, 100});
    EXPECT_TRUE(table.CancelGesture(plot));
    table.ButtonUp(plot); // the release after Escape adds nothing, and stores no rectangle either
    EXPECT_EQ(table.m_nRegionCount, 0);
    EXPECT_EQ(table.m_regionRects[0], Rect{});
}

TEST(ShapeGesture, SelectedCircleOrPolygonMovesByTheDrag)
{
    struct Case
    {
        RegionShape shape;
        Point press;
        Points moves;
        RegionShape after;
    };
    const RegionShape triangle = RegionShape::Polygon({{10, 10}, {50, 10}, {30, 40}});
    const Case cases[] = {
        {RegionShape::Circle(100, 100, 20), {100, 100}, {{140, 80}}, RegionShape::Circle(140, 80, 20)},
        {RegionShape::Circle(100, 100, 20), {0, 0}, {{-200, 0}}, RegionShape::Circle(-100, 100, 20)},
        {triangle, {300, 300}, {{305, 299}}, RegionShape::Polygon({{15, 9}, {55, 9}, {35, 39}})},
        {triangle, {300, 300}, {}, triangle},                       // a click moves nothing
        {triangle, {300, 300}, {{320, 320}, {300, 300}}, triangle}, // back where it started
        // A move that would take it beyond its coordinates leaves it where it was.
        {RegionShape::Circle(kShapeCoordinateLimit - 10, 0, 5),
         {0, 0},
         {{100, 0}},
         RegionShape::Circle(kShapeCoordinateLimit - 10, 0, 5)},
    };
    for (const Case& c : cases)
    {
        CRegionTable table;
        CFakeRegionPlot plot;
        table.CreateRectangle(plot);
        table.CreateRectangle(plot);
        table.SetShape(1, c.shape);
        table.m_ptDragPoint = Point{7, 7};
        Drag(table, plot, c.press, c.moves);
        EXPECT_EQ(table.ShapeOf(1), c.after) << FormatShapeText(c.shape);
        EXPECT_EQ(table.ShapeOf(0), RegionShape::Rectangle(kNewRegionRect));
        EXPECT_EQ(table.m_ptDragPoint, (Point{7, 7})) << "the rectangle gesture's point is its own";
    }
}

TEST(ShapeGesture, MovePreviewShowsTheShapeWhereItWouldGo)
{
    CRegionTable table;
    CFakeRegionPlot plot;
    table.CreateRectangle(plot);
    table.SetShape(0, RegionShape::Circle(100, 100, 20));
    plot.calls.clear();
    Drag(table, plot, {100, 100}, {{110, 100}});
    EXPECT_EQ(plot.Ops(), (Ops{"Preview", "EndPreview", "Redraw"}));
    EXPECT_EQ(plot.calls[0].shapes.at(0), RegionShape::Circle(110, 100, 20));
    EXPECT_TRUE(plot.calls[2].shapes.at(0) == RegionShape::Circle(110, 100, 20));
}

TEST(ShapeGesture, AddingIsRefusedAtFiftyRegions)
{
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    CRegionTable table;
    CFakeRegionPlot plot;
    for (int i = 0; i < 50; ++i)
        table.CreateRectangle(plot);
    table.StartCircle(plot);
    EXPECT_EQ(table.Tool(), RegionTool::Redraw);
    table.StartPolygon(plot);
    EXPECT_EQ(table.Tool(), RegionTool::Redraw);
    EXPECT_EQ(sink.messages, std::vector<std::string>(2, std::string(kMsgTooManyRegions)));

    // Filled up by Insert while the polygon was drawn: closing it is refused the same way.
    table.DeleteRectangle(plot);
    table.StartPolygon(plot);
    Clicks(table, plot, {{10, 10}, {50, 10}, {30, 40}});
    table.CreateRectangle(plot);
    table.ClosePolygon(plot);
    EXPECT_EQ(sink.messages.size(), 3u);
    EXPECT_EQ(table.m_nRegionCount, 50);
    EXPECT_EQ(table.ShapeOf(49).kind, ShapeKind::Rectangle);
}

TEST(ShapeGesture, DeleteAllLeavesATableAsNew)
{
    CRegionTable table;
    CFakeRegionPlot plot;
    table.CreateRectangle(plot);
    table.CreateRectangle(plot);
    table.SetShape(1, RegionShape::Circle(10, 10, 5));
    table.m_regionNames[0] = "pool";
    table.DeleteRectangle(plot); // slot 1 keeps "Box1" and the circle, past the count
    table.DeleteAll(plot);
    EXPECT_EQ(table.m_nRegionCount, 0);
    EXPECT_EQ(table.m_nSelectedRegion, -1);
    EXPECT_EQ(table.m_regionNames[0], "Box0");
    EXPECT_EQ(table.ShapeOf(1), RegionShape::Rectangle(Rect{}));
    EXPECT_EQ(plot.Ops().back(), "Redraw");
    table.CreateRectangle(plot);
    EXPECT_EQ(table.m_regionNames[0], "Box0");
}
