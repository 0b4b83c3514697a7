#include "cli/CliChecks.h"

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
