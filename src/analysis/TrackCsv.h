// CTrackCsvWriter: writes <track>_track.csv during one pass over a track, one row per record:
//   record,timestamp,x,y,angle,points,targets
// (points and targets: the entries before the list's end). The rows are streamed to a temporary
// file as the records come and never held whole; the file is put in place when the pass ends well.
#pragma once

#include "base/CsvBuilder.h"
#include "base/OutputFile.h"
#include "trackfile/RecordStream.h"

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::string_view kTrackCsvHeader = "record,timestamp,x,y,angle,points,targets";
// Rows are handed to the file in pieces of about this size.
inline constexpr std::size_t kTrackCsvChunkBytes = std::size_t{1} << 20;

// One record's row.
void AppendTrackRow(CCsvBuilder& csv, std::uint64_t index, const TrackRecord& record);

class CTrackCsvWriter final : public IRecordConsumer
{
public:
    explicit CTrackCsvWriter(std::string path, std::size_t chunkBytes = kTrackCsvChunkBytes)
        : m_strPath(std::move(path)), m_nChunkBytes(chunkBytes)
    {
    }

    // -601 when the file cannot be created (told, naming it).
    int Begin(const TrackSourceInfo& source) override;
    // -601 when the file cannot be written (told).
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override;
    // Puts the file in place: 0, or -601 (told; the destination keeps what it had).
    int End() override;
    // The destination keeps what it had; the temporary file goes.
    void Abandon() override;

private:
    int Fail(const std::string& text);
    bool WritePending();

    std::string m_strPath;
    std::size_t m_nChunkBytes;
    COutputFile m_file;
    CCsvBuilder m_csv;
};
