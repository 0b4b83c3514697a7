// The event timestamp file: a 16,384-byte header (kTrackHeaderSize) whose first 18 bytes are the
// track file tag, then one little-endian signed 64-bit timestamp per visit. There is no count and
// no trailer; the number of entries is (size - 16384) / 8.
#pragma once

#include "trackfile/TrackFileHeader.h"
#include "trackfile/TrackRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr std::size_t kEventEntrySize = 8;

enum class EventKind
{
    Enter,
    Leave,
};

// "<dir>/<track file name>_<region name>_Enter.qsf" (or "_Leave.qsf").
[[nodiscard]] std::string MakeEventFilePath(const std::string& dir, const std::string& trackFileName,
                                            const std::string& regionName, EventKind kind);

// The header every event file begins with: the tag, a zero byte, zero filler.
[[nodiscard]] const std::array<std::uint8_t, kTrackHeaderSize>& EventFileHeader();

// Serialises count timestamps as little-endian signed 64-bit values into out (count * 8 bytes).
void StoreEventTimes(const std::int64_t* times, std::size_t count, std::uint8_t* out);
