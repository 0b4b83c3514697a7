// The files of an occupancy heatmap: the picture as PNG and, when asked, the matrix as CSV. The two
// are committed together: both appear, or neither, and names that held files keep what they had.
#pragma once

#include "analysis/Occupancy.h"
#include "plot/RgbRaster.h"

#include <string>
#include <string_view>

// Writes picture to picturePath and, unless matrixPath is empty, map's matrix to matrixPath (two
// different files). On a failure the message names the file that failed: 0; -601 when a file
// cannot be created; -1 when one cannot be written.
int WriteHeatmapFiles(const std::string& picturePath, const RgbImageView& picture,
                      const std::string& matrixPath, const OccupancyMap& map);

// The messages of the matrix file, for path.
[[nodiscard]] std::string MatrixCreateFailedMessage(std::string_view path);
[[nodiscard]] std::string MatrixWriteFailedMessage(std::string_view path);
