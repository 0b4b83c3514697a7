// CRegionTable: the user's regions, held by the main window, and the region commands (create,
// select, delete) and mouse gesture that edit them.
//
// A region is a rectangle, a circle or a polygon. m_regionRects holds a rectangle's corners as
// given, and for a circle or polygon the shape's box, so that labels, selection and whatever wants a
// box keep working; m_regionShapes says which, and holds a circle's or polygon's own numbers. Its
// default, a rectangle, means "the rectangle of m_regionRects", so code that only writes rectangles
// needs nothing else. Whatever judges a position takes ShapeOf. The window's handlers only forward to
// these operations, having converted the cursor to plot coordinates; drawing goes to the plot.
#pragma once

#include "base/Geometry.h"
#include "regions/RegionPlot.h"
#include "regions/RegionShape.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::uint32_t kCmdSelectRectangleFirst = 40010; // "Rectangle &0"
inline constexpr Rect kNewRegionRect{50, 50, 175, 175};
inline constexpr std::string_view kMsgTooManyRegions = "Sorry, this program only supports up to 50 boxes.";
// A click this close to the polygon's first or last corner (in x and in y) closes it: so does the
// second click of a double click.
inline constexpr std::int32_t kPolygonCloseDistance = 3;

// What a press on the plot does: redraw the selected rectangle (or move the selected circle or
// polygon), or add a circle or a polygon.
enum class RegionTool : std::uint8_t
{
    Redraw,
    AddCircle,
    AddPolygon,
};

class CRegionTable
{
public:
    CRegionTable(); // no regions, no selection, slot i named "Box" + i

    // Adds a region (50, 50, 175, 175) in the next free slot and selects it; at 50 regions the user
    // is told and nothing changes.
    void CreateRectangle(IRegionPlot& plot);
    // Selects region commandId - 40010, or the last region when there is no such region (-1 when
    // there are none).
    void SelectRectangle(IRegionPlot& plot, std::uint32_t commandId);
    // Removes the selected region; the regions after it move down one slot with their names, and
    // the first region becomes selected.
    void DeleteRectangle(IRegionPlot& plot);
    // Removes every region: the table is as a new one (slot i named "Box" + i), nothing selected.
    void DeleteAll(IRegionPlot& plot);

    // The gesture that gives the selected region its rectangle: press, moves with the left button
    // held (the window passes only those, and while a polygon is drawn every move), release. A
    // selected circle or polygon is moved instead, by the distance from press to release; an
    // armed tool takes the gesture for the shape it adds.
    void ButtonDown(IRegionPlot& plot, Point plotPoint);
    void MouseMove(IRegionPlot& plot, Point plotPoint);
    void ButtonUp(IRegionPlot& plot);

    // Add Circle: the next press fixes a new region's centre and the release its radius (the
    // distance dragged, whole pixels, at least 1; a press and release in one place adds nothing).
    // Add Polygon: each press adds a corner, a press on the first or last corner or ClosePolygon
    // closes it. At 50 regions the user is told and no tool is armed. Either ends the other's
    // drawing first.
    void StartCircle(IRegionPlot& plot);
    void StartPolygon(IRegionPlot& plot);
    // Closes the polygon being drawn into a new region, selected (one message and nothing added
    // when it is not usable); false when no polygon is being drawn.
    bool ClosePolygon(IRegionPlot& plot);
    // Drops the circle or polygon being drawn, or the move under way; false when there was none.
    bool CancelGesture(IRegionPlot& plot);
    [[nodiscard]] RegionTool Tool() const { return m_tool; }
    // Whether moves without the button held matter: the polygon follows the pointer to its next corner.
    [[nodiscard]] bool FollowsPointer() const { return m_tool == RegionTool::AddPolygon; }
    [[nodiscard]] const std::vector<Point>& PolygonCorners() const { return m_polygonCorners; }

    // Hands the current regions and selection to the plot.
    void Redraw(IRegionPlot& plot) const;

    // The whole shape of slot j (0 .. 49): a rectangle of m_regionRects unless the slot holds a
    // circle or polygon.
    [[nodiscard]] RegionShape ShapeOf(std::int32_t j) const;
    // Puts shape into slot j (0 .. 49): its box (a rectangle's corners as given) into m_regionRects,
    // the shape into m_regionShapes. The shape is taken as it is: callers check it first
    // (FindShapeProblem).
    void SetShape(std::int32_t j, const RegionShape& shape);

    std::array<Rect, kMaxRegions> m_regionRects{};         // slots 0 .. m_nRegionCount-1 are regions
    std::array<std::string, kMaxRegions> m_regionNames;    // names move with their rectangles
    std::array<RegionShape, kMaxRegions> m_regionShapes{}; // a rectangle: that of m_regionRects
    std::int32_t m_nRegionCount = 0;                       // 0 .. 50
    std::int32_t m_nSelectedRegion = -1;                   // -1 none; 0 also right after the last delete
    Point m_ptDragAnchor;                                  // where the left button last went down
    Point m_ptDragPoint;                                   // last point seen with the button held

private:
    void StartTool(IRegionPlot& plot, RegionTool tool);
    void AddShape(IRegionPlot& plot, const RegionShape& shape);
    void AddPolygonCorner(IRegionPlot& plot, Point point);
    void TrackShapeGesture(IRegionPlot& plot, Point point);
    void EndShapeGesture(IRegionPlot& plot);
    [[nodiscard]] bool MovesSelectedShape() const;
    [[nodiscard]] RegionShape CircleDragged() const;

    RegionTool m_tool = RegionTool::Redraw;
    bool m_bShapeHeld = false;           // a press of a circle or a move is held
    bool m_bPolygonClosed = false;       // the press held closed a polygon: its release does nothing
    Point m_ptShapeAnchor;               // where that press went down
    Point m_ptShapePoint;                // the pointer since
    std::vector<Point> m_polygonCorners; // the polygon being drawn
};
