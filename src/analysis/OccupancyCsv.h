// The occupancy matrix as CSV: seconds per bin with six decimals, one line per bin row from the top
// of the plot, no header and no labels, so that numpy, R or a spreadsheet reads it as a matrix.
#pragma once

#include "analysis/Occupancy.h"

#include <string>

class CCsvStream;

// The CSV text of one bin row (its line end included).
[[nodiscard]] std::string OccupancyCsvRow(const OccupancyMap& map, std::int32_t row);

// Streams every row into csv's file. False when a write failed (the file's GetProblem says why).
[[nodiscard]] bool WriteOccupancyCsv(CCsvStream& csv, const OccupancyMap& map);
