// Helpers for the event generator tests: tracks from position lists, readers that count or act on
// reads, the bytes an event file should hold, and a reference walk in the per-region fetch order.
#pragma once

#include "regions/RegionEventGenerator.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"

#include <functional>
#include <string>
#include <vector>

struct TrackPoint
{
    std::int64_t t;
    std::int32_t x;
    std::int32_t y;
};

struct Visit
{
    std::int64_t enter;
    std::int64_t leave;
    friend bool operator==(const Visit&, const Visit&) = default;
};

// Writes the points as a tracker file "track.qtf" in dir and returns its path.
std::string WriteTrack(const CTempDir& dir, const std::vector<TrackPoint>& points);

// n visits of a region covering (100, 100): visit k is in the core at time first + 2k and outside
// again at first + 2k + 1.
std::vector<TrackPoint> VisitsTrack(std::uint32_t n, std::int64_t first = 1000);

// A reader that counts GetRecord calls and runs a hook before each.
class CObservedTrackFile final : public CTrackFile
{
public:
    int GetRecord(TrackRecord& dest, std::uint32_t index) override
    {
        ++reads;
        if (beforeRead)
            beforeRead(index);
        return CTrackFile::GetRecord(dest, index);
    }
    std::uint64_t reads = 0;
    std::function<void(std::uint32_t)> beforeRead;
};

// The bytes of an event file holding these timestamps: the tag, zeros to 16,384, then each value
// as eight little-endian bytes.
std::string EventFileBytes(const std::vector<std::int64_t>& times);
std::vector<std::int64_t> EnterTimes(const std::vector<Visit>& visits);
std::vector<std::int64_t> LeaveTimes(const std::vector<Visit>& visits);

// The visits of every region found by fetching each record once per region, in the order
// record by record and, within a record, region by region.
std::vector<std::vector<Visit>> ReferenceVisits(CTrackFile& reader, const std::vector<Rect>& rects,
                                                std::int32_t margin = 8);
