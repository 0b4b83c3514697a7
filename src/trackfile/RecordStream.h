// One pass over a tracker file feeds every output asked of it: a source hands the records, in file
// order and in blocks, to any number of consumers (event files, visit table, records table,
// occupancy, quality report). Each consumer keeps its own state between blocks, so memory depends
// on the consumers, never on the file's size.
#pragma once

#include "trackfile/TrackRecord.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

// The file a pass reads, as the consumers learn it before the first record.
struct TrackSourceInfo
{
    std::string path;            // as given
    std::string fileName;        // last path component, extension included (event files begin with it)
    bool hasHeader = false;      // a current-style file with the 16,384-byte header
    std::uint64_t records = 0;   // whole records the pass will hand over
    std::uint64_t tailBytes = 0; // bytes of an incomplete last record, never handed over
};

class IRecordConsumer
{
public:
    virtual ~IRecordConsumer() = default;
    // Before the first block. A non-zero result ends the pass at once with that result.
    virtual int Begin(const TrackSourceInfo& source) = 0;
    // The next records, in file order: records[k] is record firstIndex + k. Non-zero ends the pass.
    virtual int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) = 0;
    // After the last block, only when every record was handed over. Non-zero fails the pass.
    virtual int End() = 0;
    // When the pass ends early (a read failed, a consumer refused, the user cancelled), in place of
    // End: drop whatever was prepared (temporary files, buffers).
    virtual void Abandon() {}
};

// Called after each block with the records handed over so far and the total; false cancels.
using StreamProgress = std::function<bool(std::uint64_t recordsDone, std::uint64_t recordsTotal)>;
