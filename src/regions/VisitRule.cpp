#include "regions/VisitRule.h"

RegionZoneBounds MakeZoneBounds(const Rect& rect, std::int32_t margin)
{
    const Rect r = NormalizedRect(rect);
    const std::int64_t m = margin;
    return RegionZoneBounds{r.left,     r.top,     r.right,     r.bottom,
                            r.left + m, r.top + m, r.right - m, r.bottom - m};
}

std::int32_t ClassifyPosition(std::int64_t x, std::int64_t y, const Rect& rect, std::int32_t margin)
{
    return ClassifyPosition(x, y, MakeZoneBounds(rect, margin));
}
