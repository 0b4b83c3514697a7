#include "analysis/TrackCsv.h"

void AppendTrackRow(CCsvBuilder& csv, std::uint64_t index, const TrackRecord& record)
{
    const std::int64_t timestamp = record.timestamp;
    const std::int32_t x = record.x;
    const std::int32_t y = record.y;
    const std::int32_t angle = record.angle;
    const std::uint32_t points = CountPoints(record);
    const std::uint32_t targets = CountTargets(record);
    csv.Field(index).Field(timestamp).Field(x).Field(y).Field(angle).Field(points).Field(targets).EndRow();
}
