// Tracks crafted for the quality tests: every case of a record, with known distances, heading
// differences, steps and a gap.
#pragma once

#include "base/Geometry.h"
#include "support/TrackFileBuilder.h"

#include <vector>

// A triangle with its center at (219, 134) in the band 10..100 (heading 181 from there), and three
// targets that give no triangle.
extern const std::vector<TrackWord> kTriangle;
extern const std::vector<TrackWord> kNoTriangle;

// Fifty targets that never end the list.
std::vector<TrackWord> Fifty();

// A record with the stored position and heading and these targets.
TrackRecord Record(std::int64_t timestamp, Point stored, std::int32_t angle,
                   const std::vector<TrackWord>& targets);

// Eight records with every case, known distances (computed: 5, 0, 10, 0, 60), heading differences
// (computed: 10, 0, 9, 0, 0), steps (81 at record 2, 81.6 at 4, 60 at 6 and 7) and a gap of two
// records from record 2.
CTrackFileBuilder CraftedTrack();
