// The region table's commands and gesture, driven as the window's handlers drive them.
#include "regions/RegionTable.h"

#include "FakeRegionPlot.h"
#include "support/RecordingMessageSink.h"

#include <gtest/gtest.h>

namespace
{
using Ops = std::vector<std::string>;

CRegionTable TableWith(std::int32_t regions)
{
    CRegionTable table;
    CFakeRegionPlot plot;
    for (std::int32_t i = 0; i < regions; ++i)
        table.CreateRectangle(plot);
    return table;
}

std::vector<std::string> Names(const CRegionTable& table)
{
    return {table.m_regionNames.begin(), table.m_regionNames.begin() + table.m_nRegionCount};
}
} // namespace

TEST(RegionTable, StartsEmptyWithSlotNames)
{
    const CRegionTable table;
    EXPECT_EQ(table.m_nRegionCount, 0);
    EXPECT_EQ(table.m_nSelectedRegion, -1);
    EXPECT_EQ(table.m_regionNames[0], "Box0");
    EXPECT_EQ(table.m_regionNames[9], "Box9");
    EXPECT_EQ(table.m_regionNames[49], "Box49");
    EXPECT_EQ(table.m_regionRects[49], Rect{});
}

TEST(RegionTable, FirstCreatedRegionTakesSlotZeroAndIsSelected)
{
    CRegionTable table;
    CFakeRegionPlot plot;
    table.CreateRectangle(plot);
    EXPECT_EQ(table.m_nRegionCount, 1);
    EXPECT_EQ(table.m_nSelectedRegion, 0);
    EXPECT_EQ(table.m_regionRects[0], (Rect{50, 50, 175, 175}));
    EXPECT_EQ(table.m_regionNames[0], "Box0");
    ASSERT_EQ(plot.Ops(), Ops{"Redraw"});
    EXPECT_EQ(plot.calls[0].rects, std::vector<Rect>{kNewRegionRect});
    EXPECT_EQ(plot.calls[0].selected, 0);
}

TEST(RegionTable, CreatingAFiftyFirstRegionIsRefusedWithTheLimitMessage)
{
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    CRegionTable table = TableWith(50);
    table.m_nSelectedRegion = 7;
    table.m_regionRects[49] = Rect{1, 2, 3, 4};
    CFakeRegionPlot plot;
    table.CreateRectangle(plot);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Sorry, this program only supports up to 50 boxes."});
    EXPECT_EQ(table.m_nRegionCount, 50);
    EXPECT_EQ(table.m_nSelectedRegion, 7);
    EXPECT_EQ(table.m_regionRects[49], (Rect{1, 2, 3, 4}));
    EXPECT_TRUE(plot.calls.empty()); // nothing changed, nothing to redraw
}

TEST(RegionTable, SelectClampsToTheLastRegionComparingUnsigned)
{
    struct Case
    {
        std::int32_t regions;
        std::uint32_t commandId;
        std::int32_t selected;
    };
    const Case cases[] = {
        {3, 40011, 1},  // "Rectangle 1"
        {3, 40012, 2},  // the last existing region
        {3, 40015, 2},  // Shift-5, region 15, beyond the count
        {3, 40059, 2},  // Ctrl+Alt-9
        {3, 40009, 2},  // below the range: wraps to a huge index
        {0, 40010, -1}, // no regions: no selection
        {0, 40025, -1}, {50, 40059, 49}, {50, 40010, 0},
    };
    for (const Case& c : cases)
    {
        CRegionTable table = TableWith(c.regions);
        CFakeRegionPlot plot;
        table.SelectRectangle(plot, c.commandId);
        EXPECT_EQ(table.m_nSelectedRegion, c.selected) << c.regions << " regions, id " << c.commandId;
        ASSERT_EQ(plot.Ops(), Ops{"Redraw"});
        EXPECT_EQ(plot.calls[0].selected, c.selected);
        EXPECT_EQ(plot.calls[0].rects.size(), static_cast<std::size_t>(c.regions));
    }
}

TEST(RegionTable, DeleteWithNoRegionsChangesNothing)
{
    CRegionTable table;
    CFakeRegionPlot plot;
    table.DeleteRectangle(plot);
    EXPECT_EQ(table.m_nRegionCount, 0);
    EXPECT_EQ(table.m_nSelectedRegion, -1);
    EXPECT_TRUE(plot.calls.empty());
}

TEST(RegionTable, DeleteMovesLaterRegionsDownWithTheirNamesAndTheVacatedSlotKeepsItsName)
{
    CRegionTable table = TableWith(4);
    for (std::size_t i = 0; i < 4; ++i)
        table.m_regionRects[i] = Rect{static_cast<std::int32_t>(i), 0, 100, 100};
    CFakeRegionPlot plot;
    table.SelectRectangle(plot, 40011);
    table.DeleteRectangle(plot);
    EXPECT_EQ(table.m_nRegionCount, 3);
    EXPECT_EQ(table.m_nSelectedRegion, 0);
    EXPECT_EQ(Names(table), (std::vector<std::string>{"Box0", "Box2", "Box3"}));
    EXPECT_EQ(table.m_regionRects[1], (Rect{2, 0, 100, 100}));
    EXPECT_EQ(table.m_regionRects[2], (Rect{3, 0, 100, 100}));
    EXPECT_EQ(table.m_regionRects[3], (Rect{3, 0, 100, 100})); // vacated slot keeps its rectangle
    EXPECT_EQ(plot.calls.back().rects.size(), 3u);
    EXPECT_EQ(plot.calls.back().selected, 0);

    table.CreateRectangle(plot);
    EXPECT_EQ(table.m_nSelectedRegion, 3);
    EXPECT_EQ(Names(table), (std::vector<std::string>{"Box0", "Box2", "Box3", "Box3"}));
    EXPECT_EQ(table.m_regionRects[3], kNewRegionRect);
}

TEST(RegionTable, DeletingTheLastRegionMovesNothing)
{
    CRegionTable table = TableWith(3); // selection on region 2
    table.m_regionRects[2] = Rect{9, 9, 99, 99};
    CFakeRegionPlot plot;
    table.DeleteRectangle(plot);
    EXPECT_EQ(table.m_nRegionCount, 2);
    EXPECT_EQ(table.m_nSelectedRegion, 0);
    EXPECT_EQ(Names(table), (std::vector<std::string>{"Box0", "Box1"}));
    EXPECT_EQ(table.m_regionRects[2], (Rect{9, 9, 99, 99}));
}

TEST(RegionTable, DeleteWithoutAValidSelectionRemovesTheLastRegionOnly)
{
    CRegionTable table = TableWith(3);
    table.m_nSelectedRegion = -1;
    CFakeRegionPlot plot;
    table.DeleteRectangle(plot);
    EXPECT_EQ(table.m_nRegionCount, 2);
    EXPECT_EQ(Names(table), (std::vector<std::string>{"Box0", "Box1"}));
    EXPECT_EQ(table.m_nSelectedRegion, 0);
}

TEST(RegionTable, GestureDrawsTheBandAndStoresTheCornersAsDragged)
{
    CRegionTable table = TableWith(1);
    CFakeRegionPlot plot;
    table.ButtonDown(plot, Point{300, 200});
    table.MouseMove(plot, Point{250, 220});
    table.MouseMove(plot, Point{100, 40}); // right to left, bottom to top
    table.ButtonUp(plot);
    EXPECT_EQ(plot.Ops(), (Ops{"Begin", "Track", "Track", "End", "Redraw"}));
    EXPECT_EQ(plot.calls[0].x, 300);
    EXPECT_EQ(plot.calls[0].y, 200);
    EXPECT_EQ(plot.calls[2].x, 100);
    EXPECT_EQ(plot.calls[2].y, 40);
    EXPECT_EQ(table.m_ptDragAnchor, (Point{300, 200}));
    EXPECT_EQ(table.m_ptDragPoint, (Point{100, 40}));
    EXPECT_EQ(table.m_regionRects[0], (Rect{300, 200, 100, 40})); // not swapped
    EXPECT_EQ(plot.calls.back().rects, std::vector<Rect>{(Rect{300, 200, 100, 40})});
}

TEST(RegionTable, PressAndReleaseWithoutMovingUsesTheLastDragPoint)
{
    CRegionTable table = TableWith(2);
    CFakeRegionPlot plot;
    table.ButtonDown(plot, Point{10, 20});
    table.ButtonUp(plot);
    EXPECT_EQ(table.m_regionRects[1], (Rect{10, 20, 0, 0})); // no drag point seen yet

    table.ButtonDown(plot, Point{5, 6});
    table.MouseMove(plot, Point{70, 80});
    table.ButtonUp(plot);
    table.ButtonDown(plot, Point{-3, 500}); // the cursor may lie outside the plot
    table.ButtonUp(plot);
    EXPECT_EQ(table.m_regionRects[1], (Rect{-3, 500, 70, 80}));
}

TEST(RegionTable, DragWithoutSelectionStoresNothingButStillRedraws)
{
    CRegionTable table;
    CFakeRegionPlot plot;
    table.ButtonDown(plot, Point{10, 10});
    table.MouseMove(plot, Point{60, 60});
    table.ButtonUp(plot);
    EXPECT_EQ(plot.Ops(), (Ops{"Begin", "Track", "End", "Redraw"}));
    for (const Rect& r : table.m_regionRects)
        EXPECT_EQ(r, Rect{});
}

TEST(RegionTable, DragAfterDeletingTheLastRegionWritesInvisibleSlotZero)
{
    CRegionTable table = TableWith(1);
    CFakeRegionPlot plot;
    table.DeleteRectangle(plot);
    ASSERT_EQ(table.m_nRegionCount, 0);
    ASSERT_EQ(table.m_nSelectedRegion, 0);
    table.ButtonDown(plot, Point{1, 2});
    table.MouseMove(plot, Point{30, 40});
    table.ButtonUp(plot);
    EXPECT_EQ(table.m_regionRects[0], (Rect{1, 2, 30, 40}));
    EXPECT_TRUE(plot.calls.back().rects.empty()); // count 0: nothing drawn
    table.CreateRectangle(plot);
    EXPECT_EQ(table.m_regionRects[0], kNewRegionRect);
    EXPECT_EQ(table.m_nSelectedRegion, 0);
}

// Test that circles and polygons move with their slots when a region is deleted, reach the plot
// with the rectangles, and that Create and the drag give the slot a rectangle again.
TEST(RegionTable, ShapesMoveWithTheirSlotsAndTheDragMovesThem)
{
    CRegionTable table = TableWith(3);
    const RegionShape circle = RegionShape::Circle(100, 100, 30);
    const RegionShape polygon = RegionShape::Polygon({{0, 0}, {40, 0}, {0, 30}});
    table.SetShape(1, circle);
    table.SetShape(2, polygon);
    EXPECT_EQ(table.m_regionRects[1], (Rect{70, 70, 130, 130}));
    EXPECT_EQ(table.ShapeOf(0), RegionShape::Rectangle(kNewRegionRect));

    CFakeRegionPlot plot;
    table.m_nSelectedRegion = 0;
    table.DeleteRectangle(plot);
    ASSERT_EQ(plot.calls.size(), 1u);
    EXPECT_EQ(plot.calls[0].rects, (std::vector<Rect>{{70, 70, 130, 130}, {0, 0, 40, 30}}));
    ASSERT_EQ(plot.calls[0].shapes.size(), 2u);
    EXPECT_EQ(plot.calls[0].shapes[0], circle);
    EXPECT_EQ(plot.calls[0].shapes[1], polygon);
    EXPECT_EQ(table.ShapeOf(0), circle);
    EXPECT_EQ(table.ShapeOf(1), polygon);

    // Creating into the vacated slot (which kept the polygon) gives a rectangle.
    table.CreateRectangle(plot);
    EXPECT_EQ(table.ShapeOf(2), RegionShape::Rectangle(kNewRegionRect));

    // Dragging with the circle selected moves it; the rectangle gesture's points stay as they were.
    table.m_nSelectedRegion = 0;
    table.ButtonDown(plot, Point{5, 6});
    table.MouseMove(plot, Point{50, 60});
    table.ButtonUp(plot);
    EXPECT_EQ(table.ShapeOf(0), RegionShape::Circle(145, 154, 30));
    EXPECT_EQ(table.ShapeOf(1), polygon);
    EXPECT_EQ(table.m_ptDragAnchor, Point{});
}
