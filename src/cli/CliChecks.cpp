#include "cli/CliChecks.h"

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

CLI::Validator WholeNumber(std::int64_t min, std::int64_t max)
{
    return CLI::Validator(
        [min, max](std::string& text) -> std::string
        {
            const auto value = ParseWholeNumber(text, min, max);
            if (!value)
                return "'" + text + "' is not a whole number from " + std::to_string(min) + " to " +
                       std::to_string(max);
            text = std::to_string(*value);
            return {};
        },
        std::string());
}

CLI::Validator NonEmpty()
{
    return CLI::Validator(
        [](const std::string& text) -> std::string
        { return text.empty() ? std::string("an empty value is not allowed") : std::string(); },
        std::string());
}
