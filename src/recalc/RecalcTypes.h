// Working types of the center and direction recalculation.
#pragma once

#include <cstdint>

// The line Y = slope * X + intercept through the midpoint of a segment, perpendicular to it.
struct BisectorLine
{
    double midX = 0.0;
    double midY = 0.0;
    double slope = 0.0;
    double intercept = 0.0;
};

// A kept triangle of the center search: point indices i < j < k, its score (lower is closer to
// equilateral) and its center once computed.
struct TriangleEntry
{
    std::int32_t i = 0;
    std::int32_t j = 0;
    std::int32_t k = 0;
    std::int32_t score = 0;
    std::int32_t centerX = 0;
    std::int32_t centerY = 0;
};

// Colour intensities of a decoded target, each 0..255.
struct TargetColor
{
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
};

inline constexpr int kTriangleSlots = 10;

// Results of the steps of the center and direction search.
inline constexpr int kBisectorFound = 1;  // GetBisector: the line is written
inline constexpr int kNoBisector = -1;    // GetBisector: the side is outside the band or horizontal
inline constexpr int kNoCenter = -1;      // FindCenter: fewer than 3 points; the center is untouched
inline constexpr int kTooFewLines = -1;   // IntersectLines: fewer than 2 lines
inline constexpr int kTooFewPoints = -1;  // GetRmsDistance, GetMeanWithin: too few points to average
inline constexpr int kNoPointWithin = -1; // GetMeanWithin: no point lies within the radius
inline constexpr int kNoTarget = -1;      // DecodeTarget: a zero word, which ends the list

// A kept triangle's center coordinates read as invalid when either equals this mark.
inline constexpr std::int32_t kInvalidCenter = -1;
inline constexpr int kMaxCenterPoints = 50;
