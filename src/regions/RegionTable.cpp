#include "regions/RegionTable.h"

#include "base/MessageSink.h"

#include <cassert>
#include <utility>

CRegionTable::CRegionTable()
{
    for (std::size_t i = 0; i < m_regionNames.size(); ++i)
        m_regionNames[i] = "Box" + std::to_string(i);
}

void CRegionTable::Redraw(IRegionPlot& plot) const
{
    plot.RedrawRegions(m_regionRects.data(), m_regionShapes.data(), m_nRegionCount, m_nSelectedRegion);
}

RegionShape CRegionTable::ShapeOf(std::int32_t j) const
{
    assert(IsRegionIndex(j, kMaxRegions) && "a slot of the table");
    const auto slot = static_cast<std::size_t>(j);
    if (m_regionShapes[slot].kind == ShapeKind::Rectangle)
        return RegionShape::Rectangle(m_regionRects[slot]);
    return m_regionShapes[slot];
}

void CRegionTable::SetShape(std::int32_t j, const RegionShape& shape)
{
    assert(IsRegionIndex(j, kMaxRegions) && "a slot of the table");
    const auto slot = static_cast<std::size_t>(j);
    m_regionRects[slot] = ShapeBox(shape);
    m_regionShapes[slot] = shape.kind == ShapeKind::Rectangle ? RegionShape{} : shape;
}

void CRegionTable::CreateRectangle(IRegionPlot& plot)
{
    if (m_nRegionCount >= kMaxRegions)
    {
        ShowMessage(kMsgTooManyRegions);
        return;
    }
    // The slot keeps whatever name it holds: after a delete that is the name of the region that
    // moved out of it.
    m_nSelectedRegion = m_nRegionCount;
    ++m_nRegionCount;
    m_regionRects[static_cast<std::size_t>(m_nSelectedRegion)] = kNewRegionRect;
    m_regionShapes[static_cast<std::size_t>(m_nSelectedRegion)] = RegionShape{};
    Redraw(plot);
}

void CRegionTable::SelectRectangle(IRegionPlot& plot, std::uint32_t commandId)
{
    // Ids below the range wrap to large values and so select the last region, like ids above it.
    const std::uint32_t k = commandId - kCmdSelectRectangleFirst;
    m_nSelectedRegion =
        k < static_cast<std::uint32_t>(m_nRegionCount) ? static_cast<std::int32_t>(k) : m_nRegionCount - 1;
    Redraw(plot);
}

void CRegionTable::DeleteRectangle(IRegionPlot& plot)
{
    if (m_nRegionCount <= 0)
        return;
    // Without a valid selection nothing moves and the last region goes; moving from slot -1 would
    // write outside the table.
    if (IsRegionIndex(m_nSelectedRegion, m_nRegionCount))
    {
        for (auto i = static_cast<std::size_t>(m_nSelectedRegion);
             i + 1 < static_cast<std::size_t>(m_nRegionCount); ++i)
        {
            m_regionRects[i] = m_regionRects[i + 1];
            m_regionNames[i] = m_regionNames[i + 1];
            m_regionShapes[i] = m_regionShapes[i + 1];
        }
    }
    // The vacated slot keeps its rectangle and name, so a region created next into it is named
    // like the region now last.
    --m_nRegionCount;
    m_nSelectedRegion = 0;
    Redraw(plot);
}

void CRegionTable::ButtonDown(IRegionPlot& plot, Point plotPoint)
{
    if (m_tool == RegionTool::AddPolygon)
    {
        AddPolygonCorner(plot, plotPoint);
        m_bPolygonClosed = m_tool != RegionTool::AddPolygon;
        return;
    }
    if (m_tool == RegionTool::AddCircle || MovesSelectedShape())
    {
        m_bShapeHeld = true;
        m_ptShapeAnchor = plotPoint;
        m_ptShapePoint = plotPoint;
        return;
    }
    m_ptDragAnchor = plotPoint;
    plot.BeginBand(plotPoint.x, plotPoint.y);
}

void CRegionTable::MouseMove(IRegionPlot& plot, Point plotPoint)
{
    if (m_tool != RegionTool::Redraw || m_bShapeHeld)
    {
        TrackShapeGesture(plot, plotPoint);
        return;
    }
    m_ptDragPoint = plotPoint;
    plot.TrackBand(plotPoint.x, plotPoint.y);
}

void CRegionTable::ButtonUp(IRegionPlot& plot)
{
    if ((m_tool != RegionTool::Redraw && !m_bShapeHeld) || std::exchange(m_bPolygonClosed, false))
        return; // a polygon's corners are taken at the presses; a circle starts with one
    if (m_bShapeHeld)
    {
        EndShapeGesture(plot);
        return;
    }
    plot.EndBand();
    // Checked against the table's size, not the count: a slot beyond the count (after the last
    // delete) is written and stays invisible until Create Rectangle overwrites it. The corners
    // are stored as dragged, not swapped. The drag gives the slot a rectangle, whatever shape it held.
    if (IsRegionIndex(m_nSelectedRegion, kMaxRegions))
        SetShape(m_nSelectedRegion, RegionShape::Rectangle(Rect{m_ptDragAnchor.x, m_ptDragAnchor.y,
                                                                m_ptDragPoint.x, m_ptDragPoint.y}));
    Redraw(plot);
}
