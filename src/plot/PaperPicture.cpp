#include "plot/PaperPicture.h"

#include "plot/LabelFont.h"

#include <array>
#include <charconv>

namespace
{
// Room for any double in fixed notation (309 digits before the point at most, 6 decimals here).
constexpr std::size_t kFixedTextRoom = 400;
} // namespace

std::int32_t LabelTextWidth(std::string_view text)
{
    return ScaledTextExtent(text, 1).cx;
}

std::string PrintableText(std::string_view text)
{
    std::string printable;
    for (const char c : text)
    {
        const auto byte = static_cast<unsigned char>(c);
        constexpr unsigned char kContinuationMask = 0xC0;
        constexpr unsigned char kContinuation = 0x80;
        if ((byte & kContinuationMask) == kContinuation)
            continue; // the rest of a UTF-8 sequence already shown
        printable += (c >= kFirstLabelChar && c <= kLastLabelChar) ? c : '?';
    }
    return printable;
}

std::string FitText(std::string_view text, std::int32_t width)
{
    if (LabelTextWidth(text) <= width)
        return std::string(text);
    constexpr std::string_view kEllipsis = "...";
    std::string cut(text);
    while (!cut.empty() && LabelTextWidth(cut + std::string(kEllipsis)) > width)
        cut.pop_back();
    return cut + std::string(kEllipsis);
}

std::string FormatDecimals(double value, int decimals)
{
    std::array<char, kFixedTextRoom> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
    return error == std::errc{} ? std::string(buffer.data(), end) : std::string("?");
}

std::string FormatShortest(double value)
{
    std::array<char, kFixedTextRoom> buffer{};
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    return error == std::errc{} ? std::string(buffer.data(), end) : std::string("?");
}
