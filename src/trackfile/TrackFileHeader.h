// The header of a current-style tracker file: 16,384 bytes (kTrackHeaderSize) whose first 18 are
// the tag below. Event timestamp files begin with the same tag.
#pragma once

#include "trackfile/TrackRecord.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

class CFile;

inline constexpr std::string_view kTrackHeaderTag = "######## Zentravox";
inline constexpr std::size_t kTrackHeaderTagSize = 18;
static_assert(kTrackHeaderTag.size() == kTrackHeaderTagSize);
static_assert(kTrackHeaderTag.size() + 1 <= kTrackHeaderSize); // the tag and a zero byte fit

enum class HeaderCheck
{
    Present,    // the file begins with the tag
    Absent,     // it does not (a file shorter than 18 bytes included)
    Unreadable, // the read or the seek back failed: the file's position is not known
};

// Reads 18 bytes from the current position of an open file, seeks back to byte 0 whatever was
// read, and tells whether those bytes are the header tag.
[[nodiscard]] HeaderCheck CheckTrackFileHeader(CFile& file);

// True when CheckTrackFileHeader finds the tag; a caller that needs the position afterwards uses
// CheckTrackFileHeader, which also reports a failure.
[[nodiscard]] bool HasTrackFileHeader(CFile& file);

// Where the records of an open tracker file lie, as every reader counts them.
struct TrackFileLayout
{
    bool hasHeader = false;
    std::uint64_t records = 0;   // whole records after the header (or from byte 0)
    std::uint64_t tailBytes = 0; // bytes of an incomplete last record (or of a header cut short)
    [[nodiscard]] bool IsIncomplete() const { return tailBytes != 0; }
};

// Where the records of a file of length bytes lie, with or without the header.
[[nodiscard]] TrackFileLayout LayoutOfLength(std::uint64_t length, bool hasHeader);

// The header test and the record count of an open file, its position back at byte 0. Nothing
// when its length or its first bytes cannot be read (the file's problem says why). A tag followed
// by less than a whole header holds no records and counts as incomplete.
[[nodiscard]] std::optional<TrackFileLayout> ExamineTrackFile(CFile& file);
