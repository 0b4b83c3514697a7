// Helpers for the visit table tests: tracks as records in memory, and the table built from them
// in blocks the way a pass hands them over.
#pragma once

#include "analysis/VisitTable.h"
#include "support/TrackFileBuilder.h"

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
