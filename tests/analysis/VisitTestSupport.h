// Helpers for the visit table tests: tracks as records in memory, and the table built from them
// in blocks the way a pass hands them over.
#pragma once

#include "analysis/VisitTable.h"
#include "support/TrackFileBuilder.h"

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

// The visit table of the records, handed to the builder in blocks of blockRecords.
VisitTable BuildTable(const std::vector<TrackRecord>& records, const CRegionTable& regions,
                      std::int32_t margin = 8, std::size_t blockRecords = 3);
// The same, counted by settings.
VisitTable BuildTable(const std::vector<TrackRecord>& records, const CRegionTable& regions,
                      const AnalysisSettings& settings, std::int32_t margin = 8,
                      std::size_t blockRecords = 3);

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
