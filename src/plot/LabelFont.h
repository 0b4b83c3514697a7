// The label font: a small bitmap font compiled into the program, so that text comes out as the same
// pixels on every machine. It covers printable ASCII (space to '~'): the region labels of the plot
// use the digits and the space, and the height of "X-Y Parameters" sets their row; the pictures
// written for papers (titles, scales, region names) use the rest. Any other character is drawn as
// a hollow box of the digits' size.
#pragma once

#include <cstdint>

inline constexpr int kLabelFontHeight = 12;  // every cell is this many rows high
inline constexpr int kLabelGlyphTop = 2;     // first row of the glyph bitmap within the cell
inline constexpr int kLabelGlyphRows = 9;    // rows of each glyph bitmap: 7 down to the baseline, 2 below
inline constexpr int kLabelGlyphColumns = 5; // bits used in each row, bit 4 the leftmost column

// The characters the font draws as themselves.
inline constexpr char kFirstLabelChar = ' ';
inline constexpr char kLastLabelChar = '~';

struct LabelGlyph
{
    char ch;                            // '\0' for the box drawn for characters the font lacks
    std::uint8_t advance;               // cell width in pixels, spacing column included
    std::uint8_t rows[kLabelGlyphRows]; // row masks, top row first
};

// The glyph of c (the hollow box for characters the font does not have).
[[nodiscard]] const LabelGlyph& FindLabelGlyph(char c);
