// Synthetic but realistic tracker files, for the demo, tests and benchmarks: a subject wandering a
// 640 x 480 arena with a head-mounted cluster of red, green and blue lights, seen as light points
// and targets, with occasional occlusions, reflections and noise. Only integer arithmetic and the
// basic IEEE operations are used, so the same seed gives the same bytes on every machine.
#pragma once

#include "trackfile/Arena.h"
#include "trackfile/TrackRecord.h"

#include <cstdint>
#include <functional>
#include <string>

struct TrackGeneratorOptions
{
    std::uint32_t records = kRecordsPerSecond * 60; // a minute
    std::uint64_t seed = 1;
    bool oldStyle = false;          // no header: records from byte 0
    std::uint32_t partialBytes = 0; // bytes of an incomplete record after the last whole one, < 1828
};

class CTrackGenerator
{
public:
    explicit CTrackGenerator(std::uint64_t seed);

    // The free-text header: the tag, a description line, then zero bytes to 16,384.
    void MakeHeader(std::uint8_t (&header)[kTrackHeaderSize], const TrackGeneratorOptions& options) const;
    // The next record of the track.
    void NextRecord(TrackRecord& record);
    // A pseudo-random 64-bit value from the generator's stream.
    std::uint64_t NextRandom();

private:
    double Uniform(); // [0, 1)
    std::uint64_t m_state;
    std::uint64_t m_seed;
    std::uint32_t m_index = 0;
    std::int64_t m_startTime;
    double m_x = kArenaWidth / 2.0;
    double m_y = kArenaHeight / 2.0;
    double m_heading = 0.0; // radians
    double m_turn = 0.0;    // radians per record
};

// Writes a generated file, whole or not at all (through COutputFile). 0; -601 when the file cannot
// be created; -1 on a write error or a partial tail of a whole record or more. Every failure is
// told to the user. progress, when given, is called with the records written so far every few
// thousand records.
int WriteGeneratedTrack(const std::string& path, const TrackGeneratorOptions& options,
                        const std::function<void(std::uint32_t)>& progress = {});
