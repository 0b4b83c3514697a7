// Tracking quality of one record: how far the position and heading the tracker stored are from
// what the record's targets give, computed by the conversion's own per-record step, so that the
// recomputed values are exactly those a conversion with the same band would write.
#pragma once

#include "base/Geometry.h"
#include "recalc/TrackConverter.h"
#include "trackfile/TrackRecord.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// The cases index tables (their counts, for one), so they are numbered from 0 without gaps.
inline constexpr std::size_t kCenterCaseCount = 4;
static_assert(static_cast<std::size_t>(CenterCase::Computed) == 0 &&
              static_cast<std::size_t>(CenterCase::Unterminated) == kCenterCaseCount - 1);

// "computed", "held", "few" or "unterminated": the names the figures and the table use.
[[nodiscard]] std::string_view CenterCaseName(CenterCase centerCase);

struct RecordQuality
{
    std::uint64_t record = 0; // from 0, in file order
    std::int64_t timestamp = 0;
    std::uint32_t targets = 0; // before the list's end; 50 when no word is zero
    CenterCase centerCase = CenterCase::Few;
    // As stored in the record.
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t angle = 0;
    // As the conversion writes them. For "few" and "unterminated" records the position is the
    // stored one, so their distance is 0; the heading is FindDirection's all the same.
    std::int32_t newX = 0;
    std::int32_t newY = 0;
    std::int32_t newAngle = 0;
    double distancePx = 0.0;           // between the stored and the new position
    double headingDifferenceDeg = 0.0; // between the stored and the new heading, 0 to 180
    // The straight step from the previous record's stored position to this one's; none for
    // record 0, which has no previous record (it is never a jump).
    std::optional<double> stepPx;
};

// What the per-file figures need of a record: its measure with the distances left squared, so
// that a pass that only gathers the figures takes no square root a record.
struct RecordMeasure
{
    std::uint64_t record = 0;
    std::int64_t timestamp = 0;
    RecalculatedRecord recalculated;
    // As stored in the record.
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t angle = 0;
    double squaredDistance = 0.0;       // PositionDistance squared, before its root
    std::int32_t headingDifference = 0; // 0 to 180
    std::optional<double> squaredStep;  // from the previous record's stored position
};

// The record's full measure, its distances taken as roots.
[[nodiscard]] RecordQuality DescribeRecord(const RecordMeasure& measure);

// The smaller angle between two headings in whole degrees, 0 to 180, whatever turns they hold:
// 350 and 10 are 20 apart, -90 and 270 are the same heading, 0 and 540 are 180 apart.
[[nodiscard]] std::int32_t WholeHeadingDifference(std::int32_t a, std::int32_t b);
[[nodiscard]] double HeadingDifference(std::int32_t a, std::int32_t b);

// The straight distance between two positions in pixels, and its square: the root of the square
// is the distance, to the bit.
[[nodiscard]] double SquaredPositionDistance(Point a, Point b);
[[nodiscard]] double PositionDistance(Point a, Point b);

// Measures the records of one pass in file order, keeping what the measure of a record needs from
// the records before it: the center held by the conversion and the previous stored position.
class CRecordQualityMeter
{
public:
    // The conversion's distance band, min..max.
    CRecordQualityMeter(int minDistance, int maxDistance);

    // The next record of the pass (record 0 first), its distances squared or taken as roots.
    [[nodiscard]] RecordMeasure MeasureSquared(const TrackRecord& record);
    [[nodiscard]] RecordQuality Measure(const TrackRecord& record)
    {
        return DescribeRecord(MeasureSquared(record));
    }
    // Starts a new pass: the held center is (0, 0) again and there is no previous record.
    void Restart();

private:
    CTrackConverter m_converter;
    Point m_heldCenter;
    std::optional<Point> m_previous;
    std::uint64_t m_nNextRecord = 0;
};
