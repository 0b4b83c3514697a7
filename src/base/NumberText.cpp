#include "base/NumberText.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace
{
// Digits with at most one '.', at least one digit, after an optional '-'.
bool IsPlainDecimal(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    bool digit = false;
    bool point = false;
    for (const char c : text)
    {
        if (c == '.' && !point)
            point = true;
        else if (std::isdigit(static_cast<unsigned char>(c)) != 0)
            digit = true;
        else
            return false;
    }
    return digit;
}

std::string Describe(double value)
{
    std::array<char, 32> buffer{}; // the limits of a setting are short numbers
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    return error == std::errc{} ? std::string(buffer.data(), end) : std::string("?");
}
} // namespace

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

std::optional<double> ParseDecimalNumber(std::string_view text, double min, LowerBound bound, double max)
{
    if (!IsPlainDecimal(text))
        return std::nullopt;
    double value = 0.0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (error != std::errc{} || stop != end || !std::isfinite(value))
        return std::nullopt;
    const bool aboveMin = bound == LowerBound::Included ? value >= min : value > min;
    if (!aboveMin || value > max)
        return std::nullopt;
    return value;
}

std::string DescribeNumberRange(double min, LowerBound bound, double max)
{
    if (std::isinf(max))
        return bound == LowerBound::Included ? Describe(min) + " or more" : "greater than " + Describe(min);
    return bound == LowerBound::Included ? "from " + Describe(min) + " to " + Describe(max)
                                         : "greater than " + Describe(min) + " and at most " + Describe(max);
}
