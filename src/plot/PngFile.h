// PNG files of pictures: the track plot, one record, the occupancy heatmap. Every pixel is kept
// exactly (8-bit RGB, lossless), and the bytes go through COutputFile, so a picture appears whole
// or not at all and a failed write leaves an earlier file of that name as it was (the picture
// files themselves are the outputs', outputs/PictureFile.h).
#pragma once

#include "plot/RgbRaster.h"

#include <string>
#include <string_view>

class COutputFile;

// True when the name ends in ".png", in any mix of cases.
[[nodiscard]] bool HasPngExtension(std::string_view path);

// Encodes image as PNG into file, which the caller has created and commits (alone or with others,
// CommitAll). False when the picture is empty or larger than PNG allows, or a write failed (the
// file's GetProblem says why); reason then tells what went wrong in words.
[[nodiscard]] bool WritePng(COutputFile& file, const RgbImageView& image, std::string& reason);
