// The position marker's shape: where the purple dot, the white circle, the heading arrow and the
// crossbar of a record at (x, y) heading angle degrees stand, to the pixel. The plot draws a marker
// from it one primitive at a time; the marker layer marks many markers from it at once. Both reach
// the same pixels because both take the same numbers from here.
#pragma once

#include "base/Geometry.h"
#include "plot/DrawingSurface.h"

#include <array>
#include <cstdint>

inline constexpr Rgb kMarkerDotColour{128, 0, 128};
inline constexpr Rgb kMarkerLineColour = kWhite;

// No pixel of a marker lies further than this from its position, in either direction: a bound, as
// the shaft's ends lie 20 pixels off, the arrowhead's strokes 5 more at most, and truncation moves
// an end point by less than one.
inline constexpr std::int32_t kMarkerReach = 26;

// The directions a heading gives: the shaft's, the two arrowhead strokes' and the crossbar's, as
// cosine and sine. They depend on the angle alone, so a caller drawing many markers may keep them.
struct MarkerHeading
{
    double cosShaft = 1.0;
    double sinShaft = 0.0;
    double cosLeftStroke = 1.0;
    double sinLeftStroke = 0.0;
    double cosRightStroke = 1.0;
    double sinRightStroke = 0.0;
    double cosCrossbar = 1.0;
    double sinCrossbar = 0.0;
};

[[nodiscard]] MarkerHeading MarkerHeadingOf(std::int32_t angle);

// The marker's pixels in surface coordinates. The lines are drawn tail to tip, tip to each barb,
// and crossStart to crossEnd, each with its end pixel excluded; the dot is the 3 x 3 block of
// dotColumns x dotRows. Far-off positions are pulled in to +-2^30, which changes no pixel of any
// surface.
struct MarkerShape
{
    std::array<std::int32_t, 3> dotColumns{};
    std::array<std::int32_t, 3> dotRows{};
    Rect circle; // the box of the circle's outline, right and bottom excluded
    Point tail;
    Point tip;
    Point leftBarb;
    Point rightBarb;
    Point crossStart;
    Point crossEnd;
};

[[nodiscard]] MarkerShape MarkerShapeAt(std::int32_t x, std::int32_t y, const MarkerHeading& heading);
