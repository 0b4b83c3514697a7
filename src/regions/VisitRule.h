// The visit rule: when the tracked position is on a visit to a region. It exists once, here; the
// event files and the visit table both follow it, so that their visits are the same.
//
// A position is inside a rectangle when left <= x < right and top <= y < bottom (the rectangle
// taken with its corners in order, so one dragged backwards holds what it covers on the plot). The
// core is the rectangle shrunk by the margin on every side. A circle's core is the circle of radius
// r - margin (none when r <= margin); a polygon's core is what lies inside it at least the margin
// from every edge (regions/ShapeGeometry.h has the exact tests). A visit counts only once the position
// reaches the core; it starts at the first record inside the rectangle on that way in and ends at
// the first record outside the rectangle afterwards. Moving between core and border does not end a
// visit, and a way in that leaves again through the border without reaching the core is no visit.
// The first record is judged against a previous zone of outside, so a visit under way at the first
// record starts there.
#pragma once

#include "base/Geometry.h"
#include "regions/RegionShape.h"
#include "regions/ShapeGeometry.h"

#include <cstdint>
#include <vector>

inline constexpr std::int32_t kDefaultRegionMargin = 8;

// Zone of a position against one region.
inline constexpr std::int32_t kZoneOutside = 0; // not inside the rectangle
inline constexpr std::int32_t kZoneBorder = 1;  // inside the rectangle, not inside its core
inline constexpr std::int32_t kZoneCore = 2;    // inside the rectangle shrunk by the margin

// A region's rectangle (corners in order) and its core, as the rule judges positions against them,
// worked out once for a pass that judges many positions. Taken in 64 bits so that rectangles near
// the ends of the 32-bit range do not overflow; a rectangle no wider or taller than twice the
// margin has an empty core.
struct RegionZoneBounds
{
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
    std::int64_t coreLeft = 0;
    std::int64_t coreTop = 0;
    std::int64_t coreRight = 0;
    std::int64_t coreBottom = 0;
};

[[nodiscard]] RegionZoneBounds MakeZoneBounds(const Rect& rect, std::int32_t margin);

// Zone of the position (x, y) against a region's bounds.
[[nodiscard]] inline std::int32_t ClassifyPosition(std::int64_t x, std::int64_t y, const RegionZoneBounds& b)
{
    if (!(b.left <= x && x < b.right && b.top <= y && y < b.bottom))
        return kZoneOutside;
    const bool inCore = b.coreLeft <= x && x < b.coreRight && b.coreTop <= y && y < b.coreBottom;
    return inCore ? kZoneCore : kZoneBorder;
}

// A region's shape and its core as the rule judges positions against them, worked out once for a
// pass. A rectangle is judged by its RegionZoneBounds alone, exactly as before shapes came; a
// circle or polygon is first judged against its box (nothing outside the box is inside the shape),
// then by the shape itself.
struct RegionZones
{
    ShapeKind kind = ShapeKind::Rectangle;
    RegionZoneBounds box; // a rectangle's bounds; for the other shapes, the box that holds the inside
    std::int64_t cx = 0;  // circle
    std::int64_t cy = 0;
    std::int64_t radius = 0;
    std::int64_t coreRadius = 0; // r - margin; 0 or less means no core
    std::vector<Point> points;   // polygon
    std::int64_t margin = 0;
};

// The zones of a shape (a rectangle with corners in any order, or a usable circle or polygon).
[[nodiscard]] RegionZones MakeRegionZones(const RegionShape& shape, std::int32_t margin);

// Zone of a position known to lie in the box of a circle or polygon.
[[nodiscard]] std::int32_t ClassifyWithinBox(std::int64_t x, std::int64_t y, const RegionZones& zones);

// Zone of the position (x, y) against a region's shape: the one classification every output uses.
[[nodiscard]] inline std::int32_t ClassifyPosition(std::int64_t x, std::int64_t y, const RegionZones& zones)
{
    if (zones.kind == ShapeKind::Rectangle)
        return ClassifyPosition(x, y, zones.box);
    const RegionZoneBounds& b = zones.box;
    if (!(b.left <= x && x < b.right && b.top <= y && y < b.bottom))
        return kZoneOutside;
    return ClassifyWithinBox(x, y, zones);
}

// Zone of the position (x, y) against rect with the given margin.
[[nodiscard]] std::int32_t ClassifyPosition(std::int64_t x, std::int64_t y, const Rect& rect,
                                            std::int32_t margin);

// The visit being followed in one region, by record index and by timestamp. All zero at the start
// of a track and after each visit that ended. Whether a visit has been entered is a flag of its
// own: a timestamp of 0 is a real time.
struct RegionVisitState
{
    std::int32_t zone = kZoneOutside; // zone of the previous record
    bool entered = false;             // the current visit has reached the core
    std::int64_t enterTime = 0;       // enter time of the current visit (valid when entered)
    std::int64_t leaveTime = 0;       // leave time of the visit just ended
    std::int64_t firstInsideTime = 0; // first record inside the rectangle on the current way in
    std::int32_t complete = 0;        // a visit has ended and waits to be stored
    std::uint64_t enterRecord = 0;    // index of the record of enterTime
    std::uint64_t leaveRecord = 0;    // index of the record of leaveTime
    std::uint64_t firstInsideRecord = 0;
};

// Advances a region's visit by one record, given its index, its timestamp and its zone. When the
// record ends a visit, complete becomes 1 and the state holds the visit until the caller has taken
// it and set the state back to all zero.
// Defined here, inline: a pass runs it for every record and every region.
inline void StepVisit(RegionVisitState& state, std::int32_t zone, std::uint64_t record,
                      std::int64_t timestamp)
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
