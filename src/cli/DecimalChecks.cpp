#include "cli/DecimalChecks.h"

CLI::Validator DecimalNumber(double min, LowerBound bound, double max)
{
    const std::string range = DescribeNumberRange(min, bound, max);
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
