#include "base/NumberText.h"

#include <charconv>

std::optional<std::int64_t> ParseWholeNumber(std::string_view text, std::int64_t min, std::int64_t max)
{
    if (text.empty() || (text.front() == '-' && min >= 0))
        return std::nullopt;
    // from_chars takes no '+', no white space and no base prefix; the whole text must be read.
    std::int64_t value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, 10);
    if (error != std::errc{} || stop != end || value < min || value > max)
        return std::nullopt;
    return value;
}
