#include "analysis/TrackCsv.h"

void AppendTrackRow(CCsvBuilder& csv, std::uint64_t index, const TrackRecord& record)
{
    const std::int64_t timestamp = record.timestamp;
    const std::int32_t x = record.x;
    const std::int32_t y = record.y;
    const std::int32_t angle = record.angle;
    // The lists are read word by word: the packed record's arrays are never referenced.
    std::uint32_t points = 0;
    while (points < kMaxPoints && record.points[points] != 0)
        ++points;
    std::uint32_t targets = 0;
    while (targets < kMaxTargets && record.targets[targets] != 0)
        ++targets;
    csv.Field(index).Field(timestamp).Field(x).Field(y).Field(angle).Field(points).Field(targets).EndRow();
}
