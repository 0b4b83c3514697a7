// Decimal number options ("--sigma 1.5", "--vmax 30"): plain decimal text, checked as the whole
// numbers of CliChecks.h are. Digits with at most one '.' between or after them, and a leading '-'
// only where negatives are allowed: no spaces, no '+', no exponent, no "inf" or "nan", nothing
// after the number.
#pragma once

#include "base/NumberText.h"

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <string_view>

// Refuses what ParseDecimalNumber refuses.
[[nodiscard]] CLI::Validator DecimalNumber(double min, LowerBound bound, double max);

// Declares a decimal option that sets value when given; typeName is the placeholder the help shows.
CLI::Option* AddDecimal(CLI::App& command, const std::string& name, std::optional<double>& value,
                        const std::string& typeName, const std::string& description, double min,
                        LowerBound bound, double max);
