#include "analysis/Clock.h"

#include "trackfile/TrackRecord.h"

double RecordsToSeconds(std::uint64_t records)
{
    return static_cast<double>(records) / static_cast<double>(kRecordsPerSecond);
}
