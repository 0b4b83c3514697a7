#include "analysis/ShortVisits.h"

#include "analysis/EntryRules.h"
#include "regions/AnalysisSettings.h"

#include <cassert>

std::vector<VisitRow> FindShortVisits(const VisitTable& table, std::int32_t region, double thresholdSeconds)
{
    assert(IsSettingInRange(SettingKey::MinVisit, thresholdSeconds) &&
           "a threshold a minimum visit may take");
    const std::uint64_t threshold = SecondsToRecords(thresholdSeconds);
    std::vector<VisitRow> shortVisits;
    for (const VisitRow& visit : table.visits)
        if (visit.region == region && IsDroppedAsShort(visit, threshold))
            shortVisits.push_back(visit);
    return shortVisits;
}
