// What the pictures made for papers share (the occupancy heatmap, the entry-rule sensitivity's
// small multiples): each is laid out in plot pixels and drawn with every plot pixel as
// scale x scale pixels of a raster, text included, so that it prints sharp and legible; and their
// labels' text and numbers are written the same way.
#pragma once

#include "base/Geometry.h"
#include "plot/RgbRaster.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// What every such picture is drawn with, and how its title block is spaced, in plot pixels.
inline constexpr Rgb kPaperBackground = kWhite;
inline constexpr Rgb kPaperInk = kBlack;
inline constexpr Rgb kPaperFrame{90, 90, 90};      // frames and axes, a grey that prints
inline constexpr std::int32_t kPaperMargin = 12;   // around everything
inline constexpr std::int32_t kPaperLineStep = 14; // from one line of text to the next
inline constexpr std::int32_t kDigitMiddleRow = 5; // the middle of a digit within its text cell

// Plot-pixel drawing on a raster whose pixels are scale x scale plot pixels.
class CScaledPainter
{
public:
    CScaledPainter(CRgbRaster& raster, std::int32_t scale) : m_raster(raster), m_nScale(scale) {}

    void Fill(const Rect& rect, Rgb colour)
    {
        const Rect r = NormalizedRect(rect);
        m_raster.FillRect(Rect{r.left * m_nScale, r.top * m_nScale, r.right * m_nScale, r.bottom * m_nScale},
                          colour);
    }
    // The outline of rect, one plot pixel wide.
    void Frame(const Rect& rect, Rgb colour)
    {
        const Rect r = NormalizedRect(rect);
        m_raster.FrameRect(Rect{r.left * m_nScale, r.top * m_nScale, r.right * m_nScale, r.bottom * m_nScale},
                           m_nScale, colour);
    }
    void Text(Point at, std::string_view text, Rgb colour)
    {
        m_raster.DrawText(at.x * m_nScale, at.y * m_nScale, text, colour, m_nScale);
    }
    // Lines of text one under the other, kPaperLineStep apart, the first with its top-left at at.
    void TextLines(Point at, std::span<const std::string> lines, Rgb colour)
    {
        for (const std::string& line : lines)
        {
            Text(at, line, colour);
            at.y += kPaperLineStep;
        }
    }

private:
    CRgbRaster& m_raster;
    std::int32_t m_nScale;
};

// Width of text in the label font, in plot pixels.
[[nodiscard]] std::int32_t LabelTextWidth(std::string_view text);

// Text as the label font draws it: each character outside printable ASCII (a UTF-8 sequence
// counted once) becomes '?'.
[[nodiscard]] std::string PrintableText(std::string_view text);

// text, cut to its longest start that fits in width with "..." after it when the whole does not.
[[nodiscard]] std::string FitText(std::string_view text, std::int32_t width);

// value with exactly decimals decimals ("2.50"); "?" should it not fit.
[[nodiscard]] std::string FormatDecimals(double value, int decimals);
// The fewest decimals that give value back, never with an exponent ("0.25", "3").
[[nodiscard]] std::string FormatShortest(double value);
