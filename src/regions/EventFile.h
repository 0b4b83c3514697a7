// The event timestamp file: a 16,384-byte header whose first 18 bytes are the track file tag, then
// one little-endian signed 64-bit timestamp per visit. There is no count and no trailer; the number
// of entries is (size - 16384) / 8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::size_t kEventFileHeaderSize = 16384;
inline constexpr std::string_view kEventFileTag = "######## Zentravox";
inline constexpr std::size_t kEventEntrySize = 8;
static_assert(kEventFileTag.size() == 18);
static_assert(kEventFileTag.size() + 1 <= kEventFileHeaderSize); // the tag and its zero byte fit

enum class EventKind
{
    Enter,
    Leave,
};

// "<dir>/<track file name>_<region name>_Enter.qsf" (or "_Leave.qsf").
[[nodiscard]] std::string MakeEventFilePath(const std::string& dir, const std::string& trackFileName,
                                            const std::string& regionName, EventKind kind);

// Creates (or truncates) the file and writes the header: the tag, a zero byte, zero filler.
// False when the file cannot be created or written.
[[nodiscard]] bool CreateEventFile(const std::string& path);

// Serialises count timestamps as little-endian signed 64-bit values into out (count * 8 bytes).
void StoreEventTimes(const std::int64_t* times, std::size_t count, std::uint8_t* out);
