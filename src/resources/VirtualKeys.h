// Virtual-key codes as the accelerator table and the key messages use them. The values are those
// of the desktop platform the tables were first written for, so that the tables read as they
// always did; the Qt host maps its own key codes onto them.
#pragma once

#include <cstdint>

inline constexpr std::uint16_t kVkBack = 0x08;
inline constexpr std::uint16_t kVkTab = 0x09;
inline constexpr std::uint16_t kVkReturn = 0x0D;
inline constexpr std::uint16_t kVkShift = 0x10;
inline constexpr std::uint16_t kVkControl = 0x11;
inline constexpr std::uint16_t kVkMenu = 0x12; // Alt
inline constexpr std::uint16_t kVkEscape = 0x1B;
inline constexpr std::uint16_t kVkSpace = 0x20;
inline constexpr std::uint16_t kVkLeft = 0x25;
inline constexpr std::uint16_t kVkUp = 0x26;
inline constexpr std::uint16_t kVkRight = 0x27;
inline constexpr std::uint16_t kVkDown = 0x28;
inline constexpr std::uint16_t kVkInsert = 0x2D;
inline constexpr std::uint16_t kVkDelete = 0x2E;
inline constexpr std::uint16_t kVk0 = 0x30;       // main-row digits '0'..'9' are 0x30..0x39
inline constexpr std::uint16_t kVkA = 0x41;       // letters 'A'..'Z' are 0x41..0x5A
inline constexpr std::uint16_t kVkNumpad0 = 0x60; // keypad digits (Num Lock on) are 0x60..0x69
inline constexpr std::uint16_t kVkF4 = 0x73;

// Main-row digit d (0-9), keypad digit d, and letter c ('A'..'Z').
constexpr std::uint16_t VkDigit(int d)
{
    return static_cast<std::uint16_t>(kVk0 + d);
}
constexpr std::uint16_t VkNumpad(int d)
{
    return static_cast<std::uint16_t>(kVkNumpad0 + d);
}
constexpr std::uint16_t VkLetter(char c)
{
    return static_cast<std::uint16_t>(kVkA + (c - 'A'));
}
