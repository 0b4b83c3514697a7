#include "cli/DecimalChecks.h"

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
    std::array<char, 32> buffer{}; // the limits of the options are short numbers
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    return error == std::errc{} ? std::string(buffer.data(), end) : std::string("?");
}
} // namespace

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

CLI::Validator DecimalNumber(double min, LowerBound bound, double max)
{
    const std::string range = bound == LowerBound::Included
                                  ? "from " + Describe(min) + " to " + Describe(max)
                                  : "greater than " + Describe(min) + " and at most " + Describe(max);
    return CLI::Validator(
        [min, bound, max, range](std::string& text) -> std::string
        {
            if (!ParseDecimalNumber(text, min, bound, max))
                return "'" + text + "' is not a decimal number " + range;
            return {};
        },
        std::string());
}

CLI::Option* AddDecimal(CLI::App& command, const std::string& name, std::optional<double>& value,
                        const std::string& typeName, const std::string& description, double min,
                        LowerBound bound, double max)
{
    return command
        .add_option_function<std::string>(
            name,
            [&value, min, bound, max](const std::string& text)
            { value = ParseDecimalNumber(text, min, bound, max); },
            description)
        ->type_name(typeName)
        ->check(DecimalNumber(min, bound, max));
}
