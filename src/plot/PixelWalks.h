// The pixels of the surface's line and ellipse outlines, walked in drawing order and handed to a
// callback with their (unclipped) coordinates. The drawing surface sets them through its raster
// operation; the marker layer marks them in its own buffer. One walk for both keeps the two
// pixel for pixel the same.
#pragma once

#include <cstdint>
#include <cstdlib>

namespace pixel_walks
{
// The platform breaks ties of its line walk towards one side: in these octants (counted
// counter-clockwise on screen, see WalkLine) a tie steps the minor coordinate, which makes a line
// and its reverse cover the same pixels apart from their end points.
constexpr std::int64_t LineBias(std::int64_t dx, std::int64_t dy)
{
    const bool octant3 = dx <= 0 && dy > 0 && -dx <= dy;
    const bool octant5 = dx < 0 && dy <= 0 && -dx > -dy;
    const bool octant6 = dx < 0 && dy <= 0 && -dx <= -dy;
    const bool octant8 = dx > 0 && dy < 0 && dx > -dy;
    return (octant3 || octant5 || octant6 || octant8) ? 1 : 0;
}

constexpr std::int64_t Sign(std::int64_t v)
{
    return (v > 0) - (v < 0);
}
} // namespace pixel_walks

// Midpoint walk along the major axis with the platform's tie-breaking: exactly `major` pixels, the
// start pixel first and the end pixel never. Octants: 1 dx > 0, dy > 0, dx > dy; 2 dx > 0, dy > 0,
// dx <= dy; 3 dx <= 0, dy > 0, -dx <= dy; 4 dx < 0, dy > 0, -dx > dy; 5 dx < 0, dy <= 0,
// -dx > -dy; 6 dx < 0, dy <= 0, -dx <= -dy; 7 dx >= 0, dy < 0, dx <= -dy; 8 dx > 0, dy < 0,
// dx > -dy. Horizontal and vertical lines fall out of the same walk (the minor step never comes).
template <class Visit>
void WalkLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, Visit&& visit)
{
    const std::int64_t dx = x1 - x0;
    const std::int64_t dy = y1 - y0;
    const std::int64_t a = std::abs(dx);
    const std::int64_t b = std::abs(dy);
    const bool xMajor = a > b;
    const std::int64_t major = xMajor ? a : b;
    const std::int64_t minor = xMajor ? b : a;
    const std::int64_t bias = pixel_walks::LineBias(dx, dy);
    const std::int64_t stepX = pixel_walks::Sign(dx);
    const std::int64_t stepY = pixel_walks::Sign(dy);

    std::int64_t x = x0;
    std::int64_t y = y0;
    std::int64_t err = 2 * minor - major;
    for (std::int64_t i = 0; i < major; ++i)
    {
        visit(x, y);
        if (err + bias > 0)
        {
            if (xMajor)
                y += stepY;
            else
                x += stepX;
            err += 2 * minor - 2 * major;
        }
        else
            err += 2 * minor;
        if (xMajor)
            x += stepX;
        else
            y += stepY;
    }
}

// The integer midpoint ellipse walk (Zingl) for the w x h box at (left, top), w and h above 2: the
// lower-right quarter is walked from (a, h / 2) while x >= w / 2, and each point is mirrored
// left-right and top-bottom. Where a mirror falls on the point itself (the middle column of an odd
// width, the middle row of an odd height) it is not visited again, so each pixel is visited once.
// The walk is followed as the platform does it, including its known gaps at the ends of very
// narrow, tall boxes. The error terms grow with the cube of the box's size: boxes up to 2^16 a side
// keep them within 64 bits.
template <class Visit>
void WalkEllipseOutline(std::int64_t left, std::int64_t top, std::int64_t w, std::int64_t h, Visit&& visit)
{
    const std::int64_t a = w - 1;
    const std::int64_t b = h - 1;
    const std::int64_t bOdd = b % 2;
    std::int64_t dx = 4 * b * b * (1 - a);
    std::int64_t dy = 4 * a * a * (1 + bOdd);
    std::int64_t err = dx + dy + a * a * bOdd;
    std::int64_t x = a;
    std::int64_t y = h / 2;
    while (x >= w / 2)
    {
        const std::int64_t mirrorX = w - 1 - x;
        const std::int64_t mirrorY = h - 1 - y;
        visit(left + x, top + y);
        if (mirrorX != x)
            visit(left + mirrorX, top + y);
        if (mirrorY != y)
        {
            visit(left + x, top + mirrorY);
            if (mirrorX != x)
                visit(left + mirrorX, top + mirrorY);
        }
        const std::int64_t e2 = 2 * err;
        if (e2 >= dx)
        {
            --x;
            dx += 8 * b * b;
            err += dx;
        }
        if (e2 <= dy)
        {
            ++y;
            dy += 8 * a * a;
            err += dy;
        }
    }
}
