// Whole numbers in a parsed layout, as its reader takes them: an integer in JSON (8.0 is not one),
// within the range of what it sets.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>

// value as a whole number in [min, max], or nothing (a fraction, text, or out of range).
[[nodiscard]] inline std::optional<std::int64_t> WholeNumberIn(const nlohmann::json& value, std::int64_t min,
                                                               std::int64_t max)
{
    if (value.is_number_unsigned())
    {
        const auto number = value.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(max) || static_cast<std::int64_t>(number) < min)
            return std::nullopt;
        return static_cast<std::int64_t>(number);
    }
    if (!value.is_number_integer())
        return std::nullopt;
    const auto number = value.get<std::int64_t>();
    if (number < min || number > max)
        return std::nullopt;
    return number;
}
