#include "app/CalibrationDrag.h"

#include "plot/DrawingSurface.h"

void CCalibrationDrag::ButtonDown(Point point)
{
    if (!m_bArmed)
        return;
    m_bPressed = true;
    m_line = PlotLine{point, point};
}

void CCalibrationDrag::DrawLine(CDrawingSurface& surface, const PlotLine& line)
{
    surface.SelectPen(kWhite);
    const RasterOp previous = surface.SetROP2(RasterOp::Xor);
    surface.MoveToEx(line.from.x, line.from.y);
    surface.LineTo(line.to.x, line.to.y); // the end pixel left out, both times alike
    surface.SetROP2(previous);
}

void CCalibrationDrag::Erase(CDrawingSurface* surface)
{
    if (m_bShown && surface != nullptr)
        DrawLine(*surface, m_line);
    m_bShown = false;
}

void CCalibrationDrag::MouseMove(CDrawingSurface* surface, Point point)
{
    if (!m_bArmed || !m_bPressed)
        return;
    Erase(surface);
    m_line.to = point;
    if (surface != nullptr && !(m_line.from == m_line.to))
    {
        DrawLine(*surface, m_line);
        m_bShown = true;
    }
}

std::optional<PlotLine> CCalibrationDrag::ButtonUp(CDrawingSurface* surface)
{
    if (!m_bArmed || !m_bPressed)
        return std::nullopt;
    Erase(surface);
    m_bPressed = false;
    if (m_line.from == m_line.to)
        return std::nullopt;
    m_bArmed = false;
    return m_line;
}

void CCalibrationDrag::Cancel(CDrawingSurface* surface)
{
    Erase(surface);
    m_bPressed = false;
    m_bArmed = false;
}
