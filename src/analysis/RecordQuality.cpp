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

std::int32_t WholeHeadingDifference(std::int32_t a, std::int32_t b)
{
    // In 64 bits: the difference of two 32-bit values does not fit 32 bits.
    const std::int64_t turn = std::llabs(std::int64_t{a} - b) % kFullTurnDegrees;
    return static_cast<std::int32_t>(turn > kHalfTurnDegrees ? kFullTurnDegrees - turn : turn);
}

double HeadingDifference(std::int32_t a, std::int32_t b)
{
    return WholeHeadingDifference(a, b);
}

double SquaredPositionDistance(Point a, Point b)
{
    const auto dx = static_cast<double>(std::int64_t{a.x} - b.x);
    const auto dy = static_cast<double>(std::int64_t{a.y} - b.y);
    return dx * dx + dy * dy;
}

double PositionDistance(Point a, Point b)
{
    return std::sqrt(SquaredPositionDistance(a, b));
}

RecordQuality DescribeRecord(const RecordMeasure& measure)
{
    RecordQuality quality;
    quality.record = measure.record;
    quality.timestamp = measure.timestamp;
    quality.targets = measure.recalculated.targets;
    quality.centerCase = measure.recalculated.centerCase;
    quality.x = measure.x;
    quality.y = measure.y;
    quality.angle = measure.angle;
    quality.newX = measure.recalculated.x;
    quality.newY = measure.recalculated.y;
    quality.newAngle = measure.recalculated.angle;
    quality.distancePx = std::sqrt(measure.squaredDistance);
    quality.headingDifferenceDeg = measure.headingDifference;
    if (measure.squaredStep)
        quality.stepPx = std::sqrt(*measure.squaredStep);
    return quality;
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

RecordMeasure CRecordQualityMeter::MeasureSquared(const TrackRecord& record)
{
    RecordMeasure measure;
    measure.recalculated = m_converter.RecalculateRecord(record, m_heldCenter);
    measure.record = m_nNextRecord++;
    measure.timestamp = record.timestamp;
    measure.x = record.x;
    measure.y = record.y;
    measure.angle = record.angle;
    const Point stored{measure.x, measure.y};
    measure.squaredDistance =
        SquaredPositionDistance(stored, Point{measure.recalculated.x, measure.recalculated.y});
    measure.headingDifference = WholeHeadingDifference(measure.angle, measure.recalculated.angle);
    if (m_previous)
        measure.squaredStep = SquaredPositionDistance(*m_previous, stored);
    m_previous = stored;
    return measure;
}
