// The on-disk layout of a video tracker file: the optional 16,384-byte header and the 1828-byte
// record. Records are copied whole, so the struct is packed and its layout pinned below.
//
// Never take a pointer or reference to a member of a TrackRecord (the timestamp and the word
// arrays are not aligned); copy values out, or use CopyTargets/CopyPoints. The compiler's
// -Waddress-of-packed-member warning, an error in CI, enforces this.
#pragma once

#include "trackfile/TrackWord.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "TrackRecord is copied whole from little-endian files");

// Records come at 60 a second: the program's own clock, whatever the timestamps say ("[60 frame =
// 1sec]"). Every second shown or written is records / 60.
inline constexpr std::uint32_t kRecordsPerSecond = 60;

inline constexpr std::uint32_t kTrackHeaderSize = 16384;
inline constexpr std::uint32_t kTrackRecordSize = 1828;
inline constexpr std::size_t kMaxPoints = 400;
inline constexpr std::size_t kMaxTargets = 50;

// NOLINTBEGIN(readability-magic-numbers): the sizes and byte offsets below are the file format.
#pragma pack(push, 1)
struct TrackRecord
{
    std::uint8_t prefix[6];       // not interpreted; carried unchanged
    std::int64_t timestamp;       // opaque count written by the tracker
    TrackWord points[kMaxPoints]; // light points; a zero word ends the list
    std::uint8_t spare[2];        // not interpreted; carried unchanged
    std::int32_t x;               // position of the subject, pixel units
    std::int32_t y;
    std::int32_t angle;             // heading in whole degrees
    TrackWord targets[kMaxTargets]; // extracted targets; a zero word ends the list
};
#pragma pack(pop)

static_assert(sizeof(TrackRecord) == kTrackRecordSize);
static_assert(offsetof(TrackRecord, timestamp) == 6);
static_assert(offsetof(TrackRecord, points) == 14);
static_assert(offsetof(TrackRecord, spare) == 1614);
static_assert(offsetof(TrackRecord, x) == 1616);
static_assert(offsetof(TrackRecord, y) == 1620);
static_assert(offsetof(TrackRecord, angle) == 1624);
static_assert(offsetof(TrackRecord, targets) == 1628);
// NOLINTEND(readability-magic-numbers)

// Aligned copies of a record's word arrays, for code that wants to pass them around.
inline std::array<TrackWord, kMaxTargets> CopyTargets(const TrackRecord& record)
{
    std::array<TrackWord, kMaxTargets> words{};
    for (std::size_t k = 0; k < kMaxTargets; ++k)
        words[k] = record.targets[k];
    return words;
}

inline std::array<TrackWord, kMaxPoints> CopyPoints(const TrackRecord& record)
{
    std::array<TrackWord, kMaxPoints> words{};
    for (std::size_t k = 0; k < kMaxPoints; ++k)
        words[k] = record.points[k];
    return words;
}

// Number of entries before the first zero word (all of them when none is zero).
template <std::size_t N> constexpr std::size_t CountListEntries(const std::array<TrackWord, N>& words)
{
    for (std::size_t k = 0; k < N; ++k)
        if (words[k] == 0)
            return k;
    return N;
}

// The light points and the targets a record lists: the words before the list's first zero word
// (all of them when none is zero). The records table shows these counts, and the position files
// keep them. The packed record's arrays are read word by word, never referenced.
inline std::uint32_t CountPoints(const TrackRecord& record)
{
    std::uint32_t count = 0;
    while (count < kMaxPoints && record.points[count] != 0)
        ++count;
    return count;
}

inline std::uint32_t CountTargets(const TrackRecord& record)
{
    std::uint32_t count = 0;
    while (count < kMaxTargets && record.targets[count] != 0)
        ++count;
    return count;
}
