// The mouse gesture of Select > Calibrate...: once armed, a press on the plot fixes one end of a
// line, moving with the button held shows the line to the pointer (white, exclusive-or, so that
// drawing it again takes it off), and the release gives the line. Escape disarms it at any step.
// While armed the gesture takes the plot's mouse input from the region table.
#pragma once

#include "base/Geometry.h"

#include <optional>

class CDrawingSurface;

// A line on the plot, in plot pixels.
struct PlotLine
{
    Point from;
    Point to;
    friend bool operator==(const PlotLine&, const PlotLine&) = default;
};

class CCalibrationDrag
{
public:
    void Arm() { m_bArmed = true; }
    [[nodiscard]] bool IsArmed() const { return m_bArmed; }

    // A press at point: the line's first end.
    void ButtonDown(Point point);
    // The pointer at point with the button held: the line shown from the first end to it.
    void MouseMove(CDrawingSurface* surface, Point point);
    // The release: the line shown is taken off, and returned when it has a length (the gesture is
    // then disarmed); a press and release at one point give nothing and leave it armed.
    std::optional<PlotLine> ButtonUp(CDrawingSurface* surface);
    // Takes the line off and disarms.
    void Cancel(CDrawingSurface* surface);

private:
    void Erase(CDrawingSurface* surface);
    static void DrawLine(CDrawingSurface& surface, const PlotLine& line);

    bool m_bArmed = false;
    bool m_bPressed = false;
    PlotLine m_line;
    bool m_bShown = false; // m_line is on the surface
};
