#include "plot/PositionMarker.h"

#include <algorithm>
#include <cmath>

namespace
{
// pi, pi/4 and pi/2 to ten digits, as the tracker's own playback program wrote them: the marker's
// line ends are truncated to pixels, and the full-precision values move some of them by one.
constexpr double kPi = 3.141592654;
constexpr double kOneOver180 = 1.0 / 180.0; // the double nearest 1/180
constexpr std::int32_t kCircleRadius = 5;
constexpr double kShaftHalfLength = 20.0;
constexpr double kArrowheadLength = 5.0;
constexpr double kArrowheadHalfAngle = 0.7853981635;
constexpr double kCrossbarHalfLength = 10.0;
constexpr double kCrossbarAngleOffset = 1.570796327;

// A record position is used unclamped, so a computed coordinate may lie anywhere; converting a
// double outside the 32-bit range to an integer is undefined. Anything this far off is off every
// surface, and every point of one marker lies within kMarkerReach pixels of its position, so
// pulling such values in to +-2^30 changes no pixel.
constexpr double kFarOff = 1073741824.0;
std::int32_t TruncToPixel(double v)
{
    return static_cast<std::int32_t>(std::clamp(v, -kFarOff, kFarOff)); // toward zero
}
std::int32_t ClampToPixel(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -1073741824, 1073741824));
}
} // namespace

MarkerHeading MarkerHeadingOf(std::int32_t angle)
{
    const double theta = static_cast<double>(angle) * kPi * kOneOver180;
    const double phi = theta + kCrossbarAngleOffset;
    MarkerHeading heading;
    heading.cosShaft = std::cos(theta);
    heading.sinShaft = std::sin(theta);
    heading.cosLeftStroke = std::cos(theta - kArrowheadHalfAngle);
    heading.sinLeftStroke = std::sin(theta - kArrowheadHalfAngle);
    heading.cosRightStroke = std::cos(theta + kArrowheadHalfAngle);
    heading.sinRightStroke = std::sin(theta + kArrowheadHalfAngle);
    heading.cosCrossbar = std::cos(phi);
    heading.sinCrossbar = std::sin(phi);
    return heading;
}

// All arithmetic in double precision; a coordinate becomes a pixel, truncated toward zero, only
// where it is drawn. The arrowhead strokes start from the unrounded tip.
MarkerShape MarkerShapeAt(std::int32_t px, std::int32_t py, const MarkerHeading& heading)
{
    const double x = px;
    const double y = py;
    MarkerShape shape;
    for (std::int64_t k = 0; k < 3; ++k)
    {
        shape.dotColumns[static_cast<std::size_t>(k)] = ClampToPixel(std::int64_t{px} + k - 1);
        shape.dotRows[static_cast<std::size_t>(k)] = ClampToPixel(std::int64_t{py} + k - 1);
    }
    shape.circle =
        Rect{ClampToPixel(std::int64_t{px} - kCircleRadius), ClampToPixel(std::int64_t{py} - kCircleRadius),
             ClampToPixel(std::int64_t{px} + kCircleRadius), ClampToPixel(std::int64_t{py} + kCircleRadius)};

    const double tipX = x + kShaftHalfLength * heading.cosShaft;
    const double tipY = y + kShaftHalfLength * heading.sinShaft;
    shape.tail = Point{TruncToPixel(x - kShaftHalfLength * heading.cosShaft),
                       TruncToPixel(y - kShaftHalfLength * heading.sinShaft)};
    shape.tip = Point{TruncToPixel(tipX), TruncToPixel(tipY)};
    shape.leftBarb = Point{TruncToPixel(tipX - kArrowheadLength * heading.cosLeftStroke),
                           TruncToPixel(tipY - kArrowheadLength * heading.sinLeftStroke)};
    shape.rightBarb = Point{TruncToPixel(tipX - kArrowheadLength * heading.cosRightStroke),
                            TruncToPixel(tipY - kArrowheadLength * heading.sinRightStroke)};
    shape.crossStart = Point{TruncToPixel(x + kCrossbarHalfLength * heading.cosCrossbar),
                             TruncToPixel(y + kCrossbarHalfLength * heading.sinCrossbar)};
    shape.crossEnd = Point{TruncToPixel(x - kCrossbarHalfLength * heading.cosCrossbar),
                           TruncToPixel(y - kCrossbarHalfLength * heading.sinCrossbar)};
    return shape;
}
