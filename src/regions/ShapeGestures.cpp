// The gestures that add a circle or a polygon and move a selected circle or polygon. They show a
// preview on the plot while they run and change the table only when they end.
#include "base/MessageSink.h"
#include "regions/RegionTable.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace
{
bool Near(Point a, Point b)
{
    return std::abs(std::int64_t{a.x} - b.x) <= kPolygonCloseDistance &&
           std::abs(std::int64_t{a.y} - b.y) <= kPolygonCloseDistance;
}

// The whole pixels from centre to point, rounded down: the largest r with r^2 <= dx^2 + dy^2.
std::int64_t WholeDistance(Point centre, Point point)
{
    const std::int64_t dx = std::int64_t{point.x} - centre.x;
    const std::int64_t dy = std::int64_t{point.y} - centre.y;
    const std::int64_t squared = dx * dx + dy * dy;
    auto r = static_cast<std::int64_t>(std::sqrt(static_cast<double>(squared)));
    while (r * r > squared)
        --r;
    while ((r + 1) * (r + 1) <= squared)
        ++r;
    return r;
}
} // namespace

bool CRegionTable::MovesSelectedShape() const
{
    return IsRegionIndex(m_nSelectedRegion, m_nRegionCount) &&
           m_regionShapes[static_cast<std::size_t>(m_nSelectedRegion)].kind != ShapeKind::Rectangle;
}

RegionShape CRegionTable::CircleDragged() const
{
    const std::int64_t r = WholeDistance(m_ptShapeAnchor, m_ptShapePoint);
    return RegionShape::Circle(m_ptShapeAnchor.x, m_ptShapeAnchor.y,
                               static_cast<std::int32_t>(std::min<std::int64_t>(r, kShapeCoordinateLimit)));
}

void CRegionTable::StartTool(IRegionPlot& plot, RegionTool tool)
{
    CancelGesture(plot);
    if (m_nRegionCount >= kMaxRegions)
    {
        ShowMessage(kMsgTooManyRegions);
        return;
    }
    m_tool = tool;
}

void CRegionTable::StartCircle(IRegionPlot& plot)
{
    StartTool(plot, RegionTool::AddCircle);
}

void CRegionTable::StartPolygon(IRegionPlot& plot)
{
    StartTool(plot, RegionTool::AddPolygon);
}

bool CRegionTable::CancelGesture(IRegionPlot& plot)
{
    if (m_tool == RegionTool::Redraw && !m_bShapeHeld)
        return false;
    plot.EndPreview();
    m_tool = RegionTool::Redraw;
    m_bShapeHeld = false;
    m_polygonCorners.clear();
    return true;
}

void CRegionTable::DeleteAll(IRegionPlot& plot)
{
    CancelGesture(plot);
    *this = CRegionTable();
    Redraw(plot);
}

void CRegionTable::AddShape(IRegionPlot& plot, const RegionShape& shape)
{
    // Insert may have filled the table while the shape was drawn.
    if (m_nRegionCount >= kMaxRegions)
    {
        ShowMessage(kMsgTooManyRegions);
        return;
    }
    // Like Create Rectangle, the slot keeps the name it holds.
    m_nSelectedRegion = m_nRegionCount;
    ++m_nRegionCount;
    SetShape(m_nSelectedRegion, shape);
    Redraw(plot);
}

void CRegionTable::AddPolygonCorner(IRegionPlot& plot, Point point)
{
    if (!m_polygonCorners.empty() && Near(point, m_polygonCorners.back()))
    {
        // A second click on the last corner: a double click closes a polygon that has its three
        // corners, and adds no corner on top of another in any case.
        if (m_polygonCorners.size() >= kMinPolygonPoints)
            ClosePolygon(plot);
        return;
    }
    if (m_polygonCorners.size() >= kMinPolygonPoints && Near(point, m_polygonCorners.front()))
    {
        ClosePolygon(plot);
        return;
    }
    m_polygonCorners.push_back(point);
    if (m_polygonCorners.size() == kMaxPolygonPoints)
    {
        ClosePolygon(plot);
        return;
    }
    m_ptShapePoint = point;
    plot.TrackPreview(RegionShape::Polygon(m_polygonCorners));
}

bool CRegionTable::ClosePolygon(IRegionPlot& plot)
{
    if (m_tool != RegionTool::AddPolygon)
        return false;
    const RegionShape shape = RegionShape::Polygon(m_polygonCorners);
    CancelGesture(plot);
    if (const std::optional<std::string> problem = FindShapeProblem(shape))
    {
        ShowMessage("The polygon " + *problem + ".");
        return true;
    }
    AddShape(plot, shape);
    return true;
}

void CRegionTable::TrackShapeGesture(IRegionPlot& plot, Point point)
{
    m_ptShapePoint = point;
    if (m_tool == RegionTool::AddPolygon)
    {
        if (m_polygonCorners.empty())
            return;
        std::vector<Point> corners = m_polygonCorners;
        if (corners.back() != point)
            corners.push_back(point); // the edge to the pointer, and the closing one back
        plot.TrackPreview(RegionShape::Polygon(std::move(corners)));
        return;
    }
    if (m_tool == RegionTool::AddCircle)
    {
        const RegionShape circle = CircleDragged();
        if (circle.circle.r >= 1)
            plot.TrackPreview(circle);
        else
            plot.EndPreview();
        return;
    }
    if (!MovesSelectedShape())
        return;
    const std::optional<RegionShape> moved =
        MovedShape(ShapeOf(m_nSelectedRegion), std::int64_t{point.x} - m_ptShapeAnchor.x,
                   std::int64_t{point.y} - m_ptShapeAnchor.y);
    if (moved)
        plot.TrackPreview(*moved);
}

void CRegionTable::EndShapeGesture(IRegionPlot& plot)
{
    plot.EndPreview();
    m_bShapeHeld = false;
    if (m_tool == RegionTool::AddCircle)
    {
        m_tool = RegionTool::Redraw;
        const RegionShape circle = CircleDragged();
        if (circle.circle.r < 1)
            return; // a click without a drag adds nothing
        if (const std::optional<std::string> problem = FindShapeProblem(circle))
        {
            ShowMessage("The circle " + *problem + ".");
            return;
        }
        AddShape(plot, circle);
        return;
    }
    if (!MovesSelectedShape() || m_ptShapePoint == m_ptShapeAnchor)
        return;
    // A move that would take the shape beyond its coordinates leaves it where it was.
    if (const std::optional<RegionShape> moved =
            MovedShape(ShapeOf(m_nSelectedRegion), std::int64_t{m_ptShapePoint.x} - m_ptShapeAnchor.x,
                       std::int64_t{m_ptShapePoint.y} - m_ptShapeAnchor.y))
        SetShape(m_nSelectedRegion, *moved);
    Redraw(plot);
}
