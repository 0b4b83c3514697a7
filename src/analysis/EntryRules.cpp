#include "analysis/EntryRules.h"

#include <algorithm>
#include <cassert>

namespace
{
// Merges and drops within one region's visits [first, last), in start order; the visits kept are
// moved to the front from out on. Returns the end of those kept.
std::vector<VisitRow>::iterator ApplyToRegion(std::vector<VisitRow>::iterator first,
                                              std::vector<VisitRow>::iterator last,
                                              std::vector<VisitRow>::iterator out, const EntryRules& rules)
{
    const auto keep = [&out, &rules](const VisitRow& visit)
    {
        if (IsDroppedAsShort(visit, rules.minVisitRecords))
            return;
        *out++ = visit;
    };
    if (first == last)
        return out;
    VisitRow current = *first;
    for (auto next = first + 1; next != last; ++next)
    {
        assert(next->enterRecord >= current.leaveRecord && "a region's visits never overlap");
        if (next->enterRecord - current.leaveRecord < rules.mergeGapRecords)
        {
            current.leaveRecord = next->leaveRecord;
            current.leaveTimestamp = next->leaveTimestamp;
            current.complete = next->complete;
            continue;
        }
        keep(current);
        current = *next;
    }
    keep(current);
    return out;
}
} // namespace

void ApplyEntryRules(std::vector<VisitRow>& visits, const EntryRules& rules)
{
    if (rules.mergeGapRecords == 0 && rules.minVisitRecords == 0)
        return;
    // Grouped by region; within a region the visits stay in the order they started.
    std::stable_sort(visits.begin(), visits.end(),
                     [](const VisitRow& a, const VisitRow& b) { return a.region < b.region; });
    auto out = visits.begin();
    for (auto first = visits.begin(); first != visits.end();)
    {
        const auto last = std::find_if(
            first, visits.end(), [region = first->region](const VisitRow& v) { return v.region != region; });
        out = ApplyToRegion(first, last, out, rules);
        first = last;
    }
    visits.erase(out, visits.end());
}
