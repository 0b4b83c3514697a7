// The CSV file of a track's entry-rule sensitivity (analysis/Sensitivity.h), written as the visit
// tables are (analysis/VisitCsv.h):
//   <track>_sensitivity.csv   file,parameter,value,region,name,entries,time_inside_s
// The rows of parameter min_visit_s come first, then those of margin; within a parameter the
// values in order, and the regions in table order within each value. value is the grid's value as
// FormatSensitivityValue writes it ("0", "0.1", ..., "2"; "0", "2", ..., "16"), time_inside_s the
// records inside / 60 with six decimals.
#pragma once

#include "analysis/Sensitivity.h"

#include <string>
#include <string_view>

inline constexpr std::string_view kSensitivityCsvHeader =
    "file,parameter,value,region,name,entries,time_inside_s";
inline constexpr std::string_view kSensitivityCsvSuffix = "_sensitivity.csv";

// The whole text of the file, header row first.
[[nodiscard]] std::string FormatSensitivityCsv(const SensitivityResult& result, std::string_view file);
