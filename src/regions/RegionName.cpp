#include "regions/RegionName.h"

#include <cstdint>

namespace
{
constexpr std::uint32_t kLastAsciiControl = 0x1F;
constexpr std::uint32_t kDelete = 0x7F;
constexpr std::uint32_t kFirstC1Control = 0x80;
constexpr std::uint32_t kLastC1Control = 0x9F;
constexpr std::uint32_t kFirstSurrogate = 0xD800;
constexpr std::uint32_t kLastSurrogate = 0xDFFF;
constexpr std::uint32_t kLastCodePoint = 0x10FFFF;
constexpr std::uint8_t kContinuationMask = 0xC0;
constexpr std::uint8_t kContinuationTag = 0x80;
constexpr std::uint8_t kContinuationBits = 0x3F;
constexpr unsigned kBitsPerContinuation = 6;

struct Utf8Lead
{
    std::uint8_t mask;     // the bits that tell the sequence's length
    std::uint8_t tag;      // their value for this length
    std::size_t length;    // bytes in the sequence
    std::uint32_t minimum; // the least code point this length may carry (shorter forms are overlong)
};
constexpr Utf8Lead kUtf8Leads[] = {
    {0x80, 0x00, 1, 0x0}, {0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800}, {0xF8, 0xF0, 4, 0x10000}};

// Decodes the code point at text[at]; its length in bytes, or 0 when the bytes there are not UTF-8.
std::size_t DecodeUtf8(std::string_view text, std::size_t at, std::uint32_t& codePoint)
{
    const auto lead = static_cast<std::uint8_t>(text[at]);
    for (const Utf8Lead& form : kUtf8Leads)
    {
        if ((lead & form.mask) != form.tag)
            continue;
        if (text.size() - at < form.length)
            return 0;
        codePoint = lead & static_cast<std::uint8_t>(~form.mask);
        for (std::size_t k = 1; k < form.length; ++k)
        {
            const auto next = static_cast<std::uint8_t>(text[at + k]);
            if ((next & kContinuationMask) != kContinuationTag)
                return 0;
            codePoint = (codePoint << kBitsPerContinuation) | (next & kContinuationBits);
        }
        const bool surrogate = codePoint >= kFirstSurrogate && codePoint <= kLastSurrogate;
        if (codePoint < form.minimum || surrogate || codePoint > kLastCodePoint)
            return 0;
        return form.length;
    }
    return 0; // a continuation byte or 0xF8 and above cannot start a character
}

bool IsControl(std::uint32_t codePoint)
{
    return codePoint <= kLastAsciiControl || codePoint == kDelete ||
           (codePoint >= kFirstC1Control && codePoint <= kLastC1Control);
}
} // namespace

std::optional<std::size_t> CountUtf8CodePoints(std::string_view text)
{
    std::size_t count = 0;
    std::uint32_t codePoint = 0;
    for (std::size_t at = 0; at < text.size(); ++count)
    {
        const std::size_t length = DecodeUtf8(text, at, codePoint);
        if (length == 0)
            return std::nullopt;
        at += length;
    }
    return count;
}

std::optional<std::string> FindRegionNameProblem(std::string_view name)
{
    if (name.empty())
        return "is empty";
    const std::optional<std::size_t> length = CountUtf8CodePoints(name);
    if (!length)
        return "is not valid UTF-8";
    if (*length > kMaxRegionNameLength)
        return "is longer than " + std::to_string(kMaxRegionNameLength) + " characters";
    if (name == "." || name == "..")
        return "is \"" + std::string(name) + "\", which names a folder";
    if (name.find('/') != std::string_view::npos)
        return "holds a \"/\"";
    if (name.find('\\') != std::string_view::npos)
        return "holds a \"\\\"";
    std::uint32_t codePoint = 0;
    for (std::size_t at = 0; at < name.size();)
    {
        at += DecodeUtf8(name, at, codePoint); // valid: checked above
        if (IsControl(codePoint))
            return "holds a control character";
    }
    return std::nullopt;
}

std::optional<std::string> CheckRegionName(std::string_view name)
{
    const std::optional<std::string> problem = FindRegionNameProblem(name);
    if (!problem)
        return std::nullopt;
    return "The region name " + *problem + ". A name is 1 to " + std::to_string(kMaxRegionNameLength) +
           " characters without \"/\", \"\\\" or control characters, and not \".\" or \"..\".";
}
