// The per-record table, <track>_track.csv: one row per record,
//   record,timestamp,x,y,angle,points,targets
// (points and targets: the entries before the list's end). Its file is the records output's
// (outputs/RecordsOutput.h).
#pragma once

#include "base/CsvBuilder.h"
#include "trackfile/TrackRecord.h"

#include <cstdint>
#include <string_view>

inline constexpr std::string_view kTrackCsvHeader = "record,timestamp,x,y,angle,points,targets";

// One record's row.
void AppendTrackRow(CCsvBuilder& csv, std::uint64_t index, const TrackRecord& record);
