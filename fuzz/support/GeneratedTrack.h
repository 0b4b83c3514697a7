// Tracks from the project's own generator, as the fuzz targets' seed inputs are built from them.
#pragma once

#include "trackfile/TrackGenerator.h"
#include "trackfile/TrackRecord.h"

#include <cstdint>
#include <vector>

// The bytes of the file WriteGeneratedTrack writes for these options.
[[nodiscard]] std::vector<std::uint8_t> GeneratedTrackBytes(const TrackGeneratorOptions& options);
// The first count records of the generator's track for seed.
[[nodiscard]] std::vector<TrackRecord> GeneratedRecords(std::uint32_t count, std::uint64_t seed);
