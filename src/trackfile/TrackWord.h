// TrackWord: the 32-bit entry of a record's points and targets lists.
//   bits 0-11 X, 12 "RB", 13 "RG", 14 "RR", 15 "Lum", 16-27 Y, 28 "PB", 29 "PG", 30 "PR", 31 unused.
#pragma once

#include <cstdint>

using TrackWord = std::uint32_t;

inline constexpr TrackWord kWordCoordinateMask = 0xFFFu; // X and Y are 12 bits each
inline constexpr int kWordYShift = 16;                   // Y starts at bit 16

inline constexpr TrackWord kWordBitRB = 1u << 12;
inline constexpr TrackWord kWordBitRG = 1u << 13;
inline constexpr TrackWord kWordBitRR = 1u << 14;
inline constexpr TrackWord kWordBitLum = 1u << 15;
inline constexpr TrackWord kWordBitPB = 1u << 28;
inline constexpr TrackWord kWordBitPG = 1u << 29;
inline constexpr TrackWord kWordBitPR = 1u << 30;

constexpr std::uint32_t TrackWordX(TrackWord w)
{
    return w & kWordCoordinateMask;
}

constexpr std::uint32_t TrackWordY(TrackWord w)
{
    return (w >> kWordYShift) & kWordCoordinateMask;
}

// Builds a word from coordinates (each cut to 12 bits) and colour bits.
constexpr TrackWord MakeTrackWord(std::uint32_t x, std::uint32_t y, TrackWord colourBits = 0)
{
    return (x & kWordCoordinateMask) | ((y & kWordCoordinateMask) << kWordYShift) | colourBits;
}
