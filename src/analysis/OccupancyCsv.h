// The occupancy matrix as CSV: seconds per bin with six decimals, one line per bin row from the top
// of the plot, no header and no labels, so that numpy, R or a spreadsheet reads it as a matrix.
#pragma once

#include "analysis/Occupancy.h"

#include <string>

class COutputFile;

// The CSV text of one bin row (its line end included).
[[nodiscard]] std::string OccupancyCsvRow(const OccupancyMap& map, std::int32_t row);

// Writes every row into file, which the caller has created and commits. False when a write failed
// (the file's GetProblem says why).
[[nodiscard]] bool WriteOccupancyCsv(COutputFile& file, const OccupancyMap& map);
