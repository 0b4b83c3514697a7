// The short visits of a region: those a minimum visit of a given length would drop, for a dialog
// that lists them beside the sensitivity, each one click from its enter record.
#pragma once

#include "analysis/VisitTable.h"

#include <cstdint>
#include <vector>

// The complete visits of region in table shorter than thresholdSeconds (converted to records as the
// minimum visit is: SecondsToRecords), in the order they started, as the table holds them (number,
// enter record, duration). The visit still open at the end is never listed: the minimum visit never
// drops it, and how long it would have lasted is not known. thresholdSeconds is a minimum visit
// the settings accept (0 to 3600); a threshold of 0 lists nothing.
[[nodiscard]] std::vector<VisitRow> FindShortVisits(const VisitTable& table, std::int32_t region,
                                                    double thresholdSeconds);
