// Checks of argument values shared by every tracktool command.
//
// Whole numbers are read as base/NumberText.h reads them. CLI11's own conversion is more lenient
// (" 5", "+5", "" and "010" as octal), so every number option and argument is declared through
// AddWholeNumber, which applies WholeNumber.
#pragma once

#include "base/NumberText.h"

#include <CLI/CLI.hpp>
#include <concepts>
#include <cstdint>
#include <string>

// Refuses what ParseWholeNumber refuses and hands CLI11 the number in canonical decimal.
[[nodiscard]] CLI::Validator WholeNumber(std::int64_t min, std::int64_t max);

// Refuses an empty value ("--dir ''" must not mean the root folder).
[[nodiscard]] CLI::Validator NonEmpty();

// Declares a number option ("--every") or positional argument ("INDEX") that sets value, checked
// against [min, max] (by default the range of T). typeName is the placeholder the help shows.
template <std::integral T>
CLI::Option* AddWholeNumber(CLI::App& command, const std::string& name, T& value, const std::string& typeName,
                            const std::string& description, std::int64_t min = kLowestOf<T>,
                            std::int64_t max = kHighestOf<T>)
{
    return command.add_option(name, value, description)
        ->type_name(typeName)
        ->transform(WholeNumber(min, max));
}
