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

inline constexpr std::uint32_t kCmdSelectRectangleFirst = 40010; // "Rectangle &0"
inline constexpr Rect kNewRegionRect{50, 50, 175, 175};
inline constexpr std::string_view kMsgTooManyRegions = "Sorry, this program only supports up to 50 boxes.";

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

    // The gesture that gives the selected region its rectangle: press, moves with the left button
    // held (the window passes only those), release.
    void ButtonDown(IRegionPlot& plot, Point plotPoint);
    void MouseMove(IRegionPlot& plot, Point plotPoint);
    void ButtonUp(IRegionPlot& plot);

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
};
