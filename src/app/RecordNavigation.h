// The index arithmetic of the record moves and the mapping between record index and scroll
// position. Indices and counts are unsigned 32-bit: an index that goes below 0 wraps to a very
// large number and is caught by the same "new index >= count" test as one that passes the end.
// Every function expects count >= 1 and asserts it; the window does not move at all while it has
// no records (a thumb position would divide by the count of 0).
#pragma once

#include "framework/Message.h"
#include "trackfile/TrackRecord.h" // kRecordsPerSecond

#include <cassert>
#include <cstdint>
#include <optional>

// The scroll range of the record bar: 0 .. kScrollMax, set when a file is opened.
inline constexpr int kScrollMin = 0;
inline constexpr int kScrollMax = 32766;

enum class RecordMove
{
    NextFrame,        // i + 1, wraps to the first record
    PreviousFrame,    // i - 1, wraps to the last record
    OneSecondForward, // i + 60, stops at the last record
    OneSecondBack     // i - 60, stops at the first record
};

// The index after a move from index on a file of count records (count >= 1).
[[nodiscard]] constexpr std::uint32_t MoveIndex(RecordMove move, std::uint32_t index, std::uint32_t count)
{
    assert(count >= 1 && "MoveIndex: a file without records has no moves");
    switch (move)
    {
    case RecordMove::NextFrame:
    {
        const std::uint32_t next = index + 1u;
        return next >= count ? 0u : next;
    }
    case RecordMove::PreviousFrame:
    {
        const std::uint32_t next = index - 1u;
        return next >= count ? count - 1u : next;
    }
    case RecordMove::OneSecondForward:
    {
        const std::uint32_t next = index + kRecordsPerSecond;
        return next >= count ? count - 1u : next;
    }
    case RecordMove::OneSecondBack:
    {
        const std::uint32_t next = index - kRecordsPerSecond;
        return next >= count ? 0u : next;
    }
    }
    return index;
}

// The record a thumb position stands for: floor(pos * count / 32766), exact in 64-bit integers
// (the double-precision formula gives the same value for every pos and count); a thumb at the
// right end gives count, which becomes the last record.
[[nodiscard]] constexpr std::uint32_t ThumbToIndex(std::uint32_t pos, std::uint32_t count)
{
    assert(count >= 1 && "ThumbToIndex: a file without records has no record at any position");
    const std::uint64_t index = std::uint64_t{pos} * count / static_cast<std::uint64_t>(kScrollMax);
    return index >= count ? count - 1u : static_cast<std::uint32_t>(index);
}

// The thumb position of a record: floor(index * 32766 / count) (count >= 1).
[[nodiscard]] constexpr int IndexToThumb(std::uint32_t index, std::uint32_t count)
{
    assert(count >= 1 && "IndexToThumb: divides by the record count");
    return static_cast<int>(std::uint64_t{index} * static_cast<std::uint64_t>(kScrollMax) / count);
}

// The index after a scroll bar notification (the standard codes, ScrollCode in Message.h); nullopt
// for the end of scrolling and unknown codes, which keep the index (the window still refreshes).
[[nodiscard]] constexpr std::optional<std::uint32_t> ScrollIndex(unsigned code, unsigned pos,
                                                                 std::uint32_t index, std::uint32_t count)
{
    assert(count >= 1 && "ScrollIndex: a file without records has no moves");
    switch (code)
    {
    case kSbLineLeft: // the bar's left arrow
        return MoveIndex(RecordMove::PreviousFrame, index, count);
    case kSbLineRight:
        return MoveIndex(RecordMove::NextFrame, index, count);
    case kSbPageLeft: // a click in the bar left of the thumb
        return MoveIndex(RecordMove::OneSecondBack, index, count);
    case kSbPageRight:
        return MoveIndex(RecordMove::OneSecondForward, index, count);
    case kSbThumbPosition: // released at pos
    case kSbThumbTrack:    // being dragged, now at pos
        return ThumbToIndex(pos, count);
    case kSbLeft:
        return 0u;
    case kSbRight:
        return count - 1u;
    default: // kSbEndScroll, and anything else
        return std::nullopt;
    }
}
