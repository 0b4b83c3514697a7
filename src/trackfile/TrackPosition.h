// TrackPosition: what the position-only outputs read of a record (the events, visits, bins, the
// records table, the heatmap and the plot), in 22 bytes instead of 1,828: the timestamp, the
// position and heading, and how many light points and targets the record lists. Position files
// (PositionFile.h) hold these records as they lie in memory, so the layout is packed and pinned
// below; as for TrackRecord, never take a pointer or reference to a member, copy values out.
#pragma once

#include "trackfile/TrackRecord.h"

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "TrackPosition is copied whole to and from little-endian files");

// NOLINTBEGIN(readability-magic-numbers): the sizes and byte offsets below are the file format.
#pragma pack(push, 1)
struct TrackPosition
{
    std::int64_t timestamp; // as the record has it
    std::int32_t x;
    std::int32_t y;
    std::int32_t angle;
    std::uint16_t lists; // the light points in bits 0-8, the targets in bits 9-14; bit 15 is zero
};
#pragma pack(pop)

static_assert(sizeof(TrackPosition) == 22);
static_assert(offsetof(TrackPosition, timestamp) == 0);
static_assert(offsetof(TrackPosition, x) == 8);
static_assert(offsetof(TrackPosition, y) == 12);
static_assert(offsetof(TrackPosition, angle) == 16);
static_assert(offsetof(TrackPosition, lists) == 20);
// NOLINTEND(readability-magic-numbers)

inline constexpr int kPositionTargetsShift = 9;
inline constexpr std::uint16_t kPositionPointsMask = (1u << kPositionTargetsShift) - 1;
static_assert(kMaxPoints <= kPositionPointsMask, "every count of light points fits its bits");
static_assert((kMaxTargets << kPositionTargetsShift) < 0x8000u, "every count of targets fits its bits");

inline std::uint32_t PositionPoints(const TrackPosition& position)
{
    return position.lists & kPositionPointsMask;
}

inline std::uint32_t PositionTargets(const TrackPosition& position)
{
    return static_cast<std::uint32_t>(position.lists) >> kPositionTargetsShift;
}

// Whether the counts are ones a record can have: what a position file read from disk must hold.
inline bool HasPossibleCounts(const TrackPosition& position)
{
    return PositionPoints(position) <= kMaxPoints && PositionTargets(position) <= kMaxTargets &&
           (position.lists & 0x8000u) == 0;
}

inline TrackPosition MakeTrackPosition(const TrackRecord& record)
{
    TrackPosition position{};
    position.timestamp = record.timestamp;
    position.x = record.x;
    position.y = record.y;
    position.angle = record.angle;
    position.lists =
        static_cast<std::uint16_t>(CountPoints(record) | CountTargets(record) << kPositionTargetsShift);
    return position;
}
