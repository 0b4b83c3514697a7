// Numbers given as text (command-line values, settings typed in a dialog), read strictly: plain
// decimal digits with a leading '-' only where negatives are allowed, no spaces, no '+', no "0x",
// no exponent, no "inf" or "nan", nothing after the number, and within the range of what they set.
// The standard conversions are more lenient (" 5", "+5", "1e3", "010" as octal), so every number a
// user types is read through these.
#pragma once

#include <concepts>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

// text as a whole number in [min, max]; nothing when it is not one.
[[nodiscard]] std::optional<std::int64_t> ParseWholeNumber(std::string_view text, std::int64_t min,
                                                           std::int64_t max);

// The lowest and highest values of T as whole-number limits (the highest of a 64-bit unsigned type
// cut to that of std::int64_t).
template <std::integral T> inline constexpr std::int64_t kLowestOf = std::numeric_limits<T>::min();
template <std::integral T>
inline constexpr std::int64_t
    kHighestOf = static_cast<std::uint64_t>(std::numeric_limits<T>::max()) >
                         static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
                     ? std::numeric_limits<std::int64_t>::max()
                     : static_cast<std::int64_t>(std::numeric_limits<T>::max());

// Whether the lower limit itself is allowed ("0 or more") or not ("more than 0").
enum class LowerBound
{
    Included,
    Excluded,
};

// text as a decimal number (digits with at most one '.' between or after them) from min (included
// or not) to max (included); nothing when it is not one.
[[nodiscard]] std::optional<double> ParseDecimalNumber(std::string_view text, double min, LowerBound bound,
                                                       double max);

// The range [min, max] (min included or not) as messages say it: "from 0 to 3600", "greater than 0
// and at most 86400"; without an upper limit (max infinite) "0 or more", "greater than 0". The
// limits are written in full, without an exponent.
[[nodiscard]] std::string DescribeNumberRange(double min, LowerBound bound, double max);
