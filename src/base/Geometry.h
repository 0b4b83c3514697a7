// Points and rectangles in plot pixels, which are also tracker coordinates: column x to the right,
// row y downwards, origin at the plot area's top-left corner.
#pragma once

#include <cstdint>

struct Point
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Corners as given: left may exceed right and top may exceed bottom (a rectangle dragged from
// right to left keeps that order).
struct Rect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The same rectangle with left <= right and top <= bottom.
constexpr Rect NormalizedRect(const Rect& r)
{
    return Rect{r.left < r.right ? r.left : r.right, r.top < r.bottom ? r.top : r.bottom,
                r.left < r.right ? r.right : r.left, r.top < r.bottom ? r.bottom : r.top};
}

// The inside test of the region rules: left and top edges belong to the rectangle, right and
// bottom edges do not. A rectangle whose left is not below its right contains nothing.
constexpr bool PtInRect(const Rect& r, std::int64_t x, std::int64_t y)
{
    return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

// The rectangle grown by dx and dy on every side (negative amounts shrink it).
constexpr Rect InflateRect(const Rect& r, std::int32_t dx, std::int32_t dy)
{
    return Rect{r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}
