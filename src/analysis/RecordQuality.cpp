#include "analysis/RecordQuality.h"

#include <cmath>
#include <cstdlib>

namespace
{
constexpr std::int64_t kFullTurnDegrees = 360;
constexpr std::int64_t kHalfTurnDegrees = 180;
} // namespace

std::string_view CenterCaseName(CenterCase centerCase)
{
    switch (centerCase)
    {
    case CenterCase::Computed:
        return "computed";
    case CenterCase::Held:
        return "held";
    case CenterCase::Few:
        return "few";
    case CenterCase::Unterminated:
        return "unterminated";
    }
    return "unknown";
}

double HeadingDifference(std::int32_t a, std::int32_t b)
{
    // In 64 bits: the difference of two 32-bit values does not fit 32 bits.
    const std::int64_t turn = std::llabs(std::int64_t{a} - b) % kFullTurnDegrees;
    return static_cast<double>(turn > kHalfTurnDegrees ? kFullTurnDegrees - turn : turn);
}

double PositionDistance(Point a, Point b)
{
    const auto dx = static_cast<double>(std::int64_t{a.x} - b.x);
    const auto dy = static_cast<double>(std::int64_t{a.y} - b.y);
    return std::sqrt(dx * dx + dy * dy);
}

CRecordQualityMeter::CRecordQualityMeter(int minDistance, int maxDistance)
{
    m_converter.m_centerFinder.SetDistanceLimits(minDistance, maxDistance);
}

void CRecordQualityMeter::Restart()
{
    m_heldCenter = Point{0, 0};
    m_previous.reset();
    m_nNextRecord = 0;
}

RecordQuality CRecordQualityMeter::Measure(const TrackRecord& record)
{
    const RecalculatedRecord recalculated = m_converter.RecalculateRecord(record, m_heldCenter);
    RecordQuality quality;
    quality.record = m_nNextRecord++;
    quality.timestamp = record.timestamp;
    quality.targets = recalculated.targets;
    quality.centerCase = recalculated.centerCase;
    quality.x = record.x;
    quality.y = record.y;
    quality.angle = record.angle;
    quality.newX = recalculated.x;
    quality.newY = recalculated.y;
    quality.newAngle = recalculated.angle;
    const Point stored{quality.x, quality.y};
    quality.distancePx = PositionDistance(stored, Point{quality.newX, quality.newY});
    quality.headingDifferenceDeg = HeadingDifference(quality.angle, quality.newAngle);
    if (m_previous)
        quality.stepPx = PositionDistance(*m_previous, stored);
    m_previous = stored;
    return quality;
}
