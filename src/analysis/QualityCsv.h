// The per-record tracking quality table: one CSV row per record,
//   record,timestamp,targets,case,x,y,angle,new_x,new_y,new_angle,distance_px,heading_diff_deg,step_px
// Integers in full; pixels and degrees with 6 decimals; step_px is empty for record 0. Its file is
// the quality output's (outputs/QualityOutput.h), written as the records come.
#pragma once

#include "analysis/RecordQuality.h"
#include "base/CsvBuilder.h"

inline constexpr const char* kQualityCsvHeader =
    "record,timestamp,targets,case,x,y,angle,new_x,new_y,new_angle,"
    "distance_px,heading_diff_deg,step_px";

// Appends the row of one record to csv.
void AddQualityCsvRow(CCsvBuilder& csv, const RecordQuality& quality);
