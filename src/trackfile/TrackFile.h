// CTrackFile: serves the records of one tracker file by index through a window of four
// consecutive records, so that stepping forward costs one seek and one read per four records.
// The program has exactly one, theTrackFile, defined beside the application object.
#pragma once

#include "base/File.h"
#include "trackfile/TrackRecord.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::uint32_t kTrackWindowRecords = 4;

// What opening a tracker file tells the user, from whichever reader opens it.
inline constexpr std::string_view kMsgTrackOpenFailed = "Error opening file; Is the file/path name correct?";
inline constexpr std::string_view kMsgTrackIncomplete = "Corrupt file - incomplete record encountered.";

struct TrackFileLayout;

// Opens path for reading and finds where its records lie, as both readers do. When the file
// cannot be opened or examined, the user is told (with the file's problem) and file is left closed.
[[nodiscard]] std::optional<TrackFileLayout> OpenTrackSource(CFile& file, const std::string& path);

class CTrackFile
{
public:
    CTrackFile();
    virtual ~CTrackFile(); // closes the file if open
    CTrackFile(const CTrackFile&) = delete;
    CTrackFile& operator=(const CTrackFile&) = delete;

    // 0; -601 when the path cannot be opened, is not a regular file, or its length or first bytes
    // cannot be read (the reader is then not open); -603 when the first window cannot be read.
    int Open(const std::string& path);
    virtual int GetRecord(TrackRecord& dest, std::uint32_t index); // 0, or -603
    std::uint32_t GetRecordCount() const { return m_recordCount; } // whole records only
    std::string GetFileName() const;                               // last path component
    int ReadWindow(std::uint32_t first);                           // refills the window from first

    bool IsOpen() const { return m_isOpen; }
    bool HasHeader() const { return m_hasHeader; }
    std::uint32_t GetWindowStart() const { return m_windowStart; }
    std::uint64_t GetWindowReadCount() const { return m_windowReads; } // seeks+reads done so far
    std::uint64_t GetTailBytes() const { return m_tailBytes; }         // bytes of an incomplete last record
    // Whole records in the file, which may exceed what GetRecordCount can count (2^32 - 1).
    std::uint64_t GetRecordsInFile() const { return m_recordsInFile; }

private:
    TrackRecord m_window[kTrackWindowRecords];
    std::uint32_t m_windowStart = 0;
    std::uint32_t m_recordCount = 0;
    CFile m_file;
    bool m_hasHeader = false;
    bool m_isOpen = false;
    std::uint64_t m_windowReads = 0;
    std::uint64_t m_tailBytes = 0;
    std::uint64_t m_recordsInFile = 0;
};
