#include "regions/VisitRule.h"

std::int32_t ClassifyPosition(std::int64_t x, std::int64_t y, const Rect& rect, std::int32_t margin)
{
    const Rect r = NormalizedRect(rect);
    if (!PtInRect(r, x, y))
        return kZoneOutside;
    // The core is taken in 64 bits so that rectangles near the ends of the 32-bit range do not
    // overflow. A rectangle no wider or taller than twice the margin has an empty core.
    const std::int64_t m = margin;
    const bool inCore = r.left + m <= x && x < r.right - m && r.top + m <= y && y < r.bottom - m;
    return inCore ? kZoneCore : kZoneBorder;
}

void StepVisit(RegionVisitState& state, std::int32_t zone, std::uint64_t record, std::int64_t timestamp)
{
    const std::int32_t previous = state.zone;
    if (zone == kZoneOutside)
    {
        if (previous == kZoneCore || (previous == kZoneBorder && state.entered))
        {
            state.leaveTime = timestamp;
            state.leaveRecord = record;
            state.complete = 1;
        }
        else if (previous == kZoneBorder)
        {
            state.firstInsideTime = 0; // the approach is given up
            state.firstInsideRecord = 0;
        }
    }
    else if (zone == kZoneBorder)
    {
        if (previous == kZoneOutside)
        {
            state.firstInsideTime = timestamp;
            state.firstInsideRecord = record;
        }
    }
    else // core
    {
        if (previous == kZoneOutside)
        {
            state.enterTime = timestamp;
            state.enterRecord = record;
            state.firstInsideTime = timestamp;
            state.firstInsideRecord = record;
            state.entered = true;
        }
        else if (previous == kZoneBorder && !state.entered)
        {
            state.enterTime = state.firstInsideTime;
            state.enterRecord = state.firstInsideRecord;
            state.entered = true;
        }
    }
    state.zone = zone;
}
