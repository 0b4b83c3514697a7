// ITrackOutput: one output of a track (event files, visit tables, the per-record table, the quality
// report, the heatmap, the entire-track plot), fed by one pass over the track (outputs/OutputPass.h)
// beside any others. Each output is one class with an explicit destination; it names its files
// before the pass, claims them before anything is read, and puts them in place at its end, all of
// them or none. What goes wrong comes back as a Problem for the edge to tell; an output never talks
// to the user itself.
//
// The order of calls: Prepare, Begin, Consume for each block in file order, End. When the pass
// stops early, or another output refused in Prepare, Abandon comes instead of what is left.
#pragma once

#include "base/Problem.h"
#include "trackfile/RecordStream.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// What an output reads of each record. Positions: the timestamp, the position, the heading and the
// numbers of light points and targets, which a compact copy of the track could serve; whole
// records: the points' and targets' words too.
enum class RecordNeeds
{
    Positions,
    WholeRecords,
};

class ITrackOutput
{
public:
    virtual ~ITrackOutput() = default;

    // Every file the output puts in place at End, known before the pass: what a resumed batch looks
    // for, and what is taken away again when another output of the same pass fails.
    [[nodiscard]] virtual std::vector<std::string> Files() const = 0;
    [[nodiscard]] virtual RecordNeeds Needs() const = 0;

    // Claims the destinations: checks them and makes their temporary files, once the track is open
    // and before its first record is read or any progress shows. A refusal leaves nothing behind.
    [[nodiscard]] virtual Problem Prepare(const TrackSourceInfo& source) = 0;
    // Before the first block.
    [[nodiscard]] virtual Problem Begin(const TrackSourceInfo& source) = 0;
    // The next records, in file order: records[k] is record firstIndex + k.
    [[nodiscard]] virtual Problem Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) = 0;
    // After the last block: the files in place, all or none.
    [[nodiscard]] virtual Problem End() = 0;
    // In place of what is left: the destinations keep what they had.
    virtual void Abandon() = 0;

    // What the output found, as the lines tracktool prints after it and the window's summary shows
    // ("open arm: 12 entries, 93.450000 s inside"); none for an output that only writes its files.
    [[nodiscard]] virtual std::vector<std::string> SummaryLines() const { return {}; }
};
