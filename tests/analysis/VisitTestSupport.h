// Helpers for the visit table tests: tracks as records in memory, and the table built from them
// in blocks the way a pass hands them over.
#pragma once

#include "analysis/VisitTable.h"
#include "support/TrackFileBuilder.h"

#include <functional>
#include <random>
#include <string>
#include <vector>

struct Spot
{
    std::int64_t t;
    std::int32_t x;
    std::int32_t y;
};

// One record per spot (MakeRecord: five light points, no targets).
std::vector<TrackRecord> RecordsOf(const std::vector<Spot>& spots);

// A region table of these rectangles; names[j] when given, else the slot's own name.
CRegionTable TableOf(const std::vector<Rect>& rects, const std::vector<std::string>& names = {});

// A whole pass of consumer over the records, handed to it in blocks of blockRecords; each step
// expected to return 0.
void FeedRecords(IRecordConsumer& consumer, const std::vector<TrackRecord>& records,
                 std::size_t blockRecords);

// The visit table of the records, handed to the builder in blocks of blockRecords.
VisitTable BuildTable(const std::vector<TrackRecord>& records, const CRegionTable& regions,
                      std::int32_t margin = 8, std::size_t blockRecords = 3);
// The same, counted by settings.
VisitTable BuildTable(const std::vector<TrackRecord>& records, const CRegionTable& regions,
                      const AnalysisSettings& settings, std::int32_t margin = 8,
                      std::size_t blockRecords = 3);

// A random usable polygon of 3 to 12 corners around a centre within (0, 0) .. (200, 200): corners at
// rising angles, each at its own distance, so that the edges never cross; sometimes concave,
// sometimes with axis-parallel edges. pick(low, high) gives a random whole number from low to high.
RegionShape RandomPolygon(const std::function<std::int64_t(std::int64_t, std::int64_t)>& pick);

// A random track for the settings: a walk over a small arena with pauses (still stretches),
// crawls of one pixel a record, flicker across region edges, jumps and now and then a huge one,
// and one to six regions, some overlapping or never reached.
struct WanderingTrack
{
    std::vector<TrackRecord> records;
    CRegionTable regions;
    std::int32_t margin = 8;
};
WanderingTrack MakeWanderingTrack(std::mt19937_64& random, std::size_t maxRecords = 600);
