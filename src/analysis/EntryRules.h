// The entry rules, applied per region to the visits the visit rule found: against a position that
// flickers across an edge, or a short dip out of a region, which would count one visit as several.
//   1. Merge: two consecutive visits a, b of a region with b.enter - a.leave < the merge gap become
//      one visit from a's enter to b's leave (with b's leave timestamp and completeness); taken
//      from the left, so a chain of short exits becomes one visit.
//   2. Drop: a complete visit shorter than the minimum visit is removed. The visit still open at
//      the end is never dropped: how long it would have lasted is not known.
// With both at 0 nothing changes: the visits are those of the event files.
#pragma once

#include "analysis/VisitTable.h"

#include <cstdint>
#include <vector>

struct EntryRules
{
    std::uint64_t mergeGapRecords = 0; // exits shorter than this are merged
    std::uint64_t minVisitRecords = 0; // complete visits shorter than this are dropped
};

// Whether the drop rule removes visit under a minimum visit of minVisitRecords: complete, and
// shorter than that.
[[nodiscard]] inline bool IsDroppedAsShort(const VisitRow& visit, std::uint64_t minVisitRecords)
{
    return visit.complete && visit.DurationRecords() < minVisitRecords;
}

// Applies the rules to visits, which hold each region's visits in the order they started (the
// regions may be interleaved); the visits left of each region keep that order, and come grouped by
// region in table order. Their numbers within the region are not touched.
void ApplyEntryRules(std::vector<VisitRow>& visits, const EntryRules& rules);
