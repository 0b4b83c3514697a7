// The raw visits of a pass: those the visit rule (regions/VisitRule.h) finds, before the entry
// rules. A pass follows each region's visit with a RegionVisitState stepped record by record; these
// two steps turn what the state finds into visit rows, so that the visit table and the entry-rule
// sensitivity collect their visits the same way.
#pragma once

#include "analysis/VisitTable.h"
#include "regions/VisitRule.h"

#include <cstdint>
#include <optional>
#include <vector>

// Steps region's visit by one record (its index, timestamp and zone). A visit the record ends is
// added to visits, complete, and the state starts afresh for the next one.
// Inline: a pass runs it for every record and every region.
inline void FollowVisit(RegionVisitState& state, std::int32_t region, std::int32_t zone, std::uint64_t record,
                        std::int64_t timestamp, std::vector<VisitRow>& visits)
{
    StepVisit(state, zone, record, timestamp);
    if (state.complete == 0)
        return;
    visits.push_back(
        VisitRow{region, 0, state.enterRecord, state.leaveRecord, state.enterTime, state.leaveTime, true});
    state = RegionVisitState{};
}

// When the records end (records of them): the visit of region still under way in state, if any,
// added to visits, open, up to the record count.
inline void KeepOpenVisit(const RegionVisitState& state, std::int32_t region, std::uint64_t records,
                          std::vector<VisitRow>& visits)
{
    if (state.entered)
        visits.push_back(
            VisitRow{region, 0, state.enterRecord, records, state.enterTime, std::nullopt, false});
}
