// CBlockReader: reads a tracker file front to back in large sequential blocks through one buffer
// that it reuses, and hands the records to consumers (RecordStream.h). Its memory is one block
// (about 1 MiB) whatever the file's size. The window's own commands keep their four-record reader
// (TrackFile.h); this one serves the passes over whole files: exports, reports and batch runs.
#pragma once

#include "base/File.h"
#include "trackfile/RecordStream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

// Records per block: the fewest whole records that fill 1 MiB.
inline constexpr std::size_t kBlockReaderRecords = (std::size_t{1} << 20) / kTrackRecordSize + 1;

class CBlockReader
{
public:
    explicit CBlockReader(std::size_t blockRecords = kBlockReaderRecords);
    CBlockReader(const CBlockReader&) = delete;
    CBlockReader& operator=(const CBlockReader&) = delete;

    // Opens path and counts its records as the reader does (header test, whole records, the
    // incomplete tail told with the reader's message). 0; -601 when it cannot be opened (told with
    // the reader's message and the system's reason).
    int Open(const std::string& path);
    [[nodiscard]] const TrackSourceInfo& Info() const { return m_info; }
    // The open track, for what is learnt of it without a pass (the key of its positions, TrackKey.h).
    [[nodiscard]] CFile& File() { return m_file; }

    // One pass: Begin on every consumer, each block to every consumer in turn, then End on every
    // consumer. 0 when every record was handed over and every consumer ended well. Otherwise the
    // first non-zero result of a consumer, -603 when the file could not be read to its end (a read
    // error, or the file got shorter since it was opened: told once), or kErrCancelled when
    // progress returned false; every consumer is then abandoned instead of ended.
    int Run(std::span<IRecordConsumer* const> consumers, const StreamProgress& progress = {});

private:
    std::size_t m_blockRecords;
    std::unique_ptr<TrackRecord[]> m_block;
    CFile m_file;
    TrackSourceInfo m_info;
    bool m_isOpen = false;
};
