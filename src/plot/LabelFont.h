// The label font: a small bitmap font compiled into the program, so that the region labels come
// out as the same pixels on every machine. It holds the digits, the space and the letters of
// "X-Y Parameters" (the text whose height sets the label row); any other character is drawn as a
// hollow box of the digits' size.
#pragma once

#include <cstdint>

inline constexpr int kLabelFontHeight = 12;  // every cell is this many rows high
inline constexpr int kLabelGlyphTop = 2;     // first row of the glyph bitmap within the cell
inline constexpr int kLabelGlyphRows = 7;    // rows of each glyph bitmap
inline constexpr int kLabelGlyphColumns = 5; // bits used in each row, bit 4 the leftmost column

struct LabelGlyph
{
    char ch;
    std::uint8_t advance;               // cell width in pixels, spacing column included
    std::uint8_t rows[kLabelGlyphRows]; // row masks, top row first
};

// The glyph of c (the hollow box for characters the font does not have).
[[nodiscard]] const LabelGlyph& FindLabelGlyph(char c);
