// CDirectionFinder: the subject's heading from the colours of its targets. Among the blue targets
// it takes the one nearest the red targets (the front) and the one nearest the green targets (the
// back); the heading points from the back one to the front one, or from/to the record's position
// when only one of them exists.
#pragma once

#include "base/Geometry.h"
#include "recalc/RecalcTypes.h"
#include "trackfile/TrackRecord.h"

#include <array>
#include <cstdint>
#include <span>

// Y of a target is flipped about this row for the direction, so that Y grows upwards.
inline constexpr std::int32_t kDirectionFlipRow = 480;

class CDirectionFinder
{
public:
    virtual ~CDirectionFinder() = default;

    // X and flipped Y (480 - Y) of a target word and its colour intensities, every colour bit
    // counted; kNoTarget (outputs untouched) for a zero word.
    static int DecodeTarget(TrackWord word, Point& point, TargetColor& colour);

    // The heading in degrees, in (0, 360], turning from +X toward +Y of the record's own
    // coordinates; 0.0 with a first word of 0, fewer than 3 targets or no blue target, 360.0 when
    // blue targets exist but no red or no green one does.
    static double FindDirection(const std::array<TrackWord, kMaxTargets>& targets, int x, int y);
    // The same from the listed targets alone: the words before the first zero word (all 50 when
    // none is zero).
    static double FindDirection(std::span<const TrackWord> listed, int x, int y);
    // FindDirection truncated toward zero, as the conversion stores it, to the bit; the arc
    // tangent is only taken for a heading within a hair of a whole degree.
    static std::int32_t FindWholeDirection(std::span<const TrackWord> listed, int x, int y);
};
