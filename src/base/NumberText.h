// Whole numbers as a user types them into an option or a file: plain decimal digits, with a
// leading '-' only where negatives are allowed; no spaces, no '+', no "0x", no empty text, nothing
// after the digits, and within the range of what they set.
#pragma once

#include <concepts>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

// text as a whole number in [min, max]; nothing when it is not one.
[[nodiscard]] std::optional<std::int64_t> ParseWholeNumber(std::string_view text, std::int64_t min,
                                                           std::int64_t max);

template <std::integral T> inline constexpr std::int64_t kLowestOf = std::numeric_limits<T>::min();
template <std::integral T>
inline constexpr std::int64_t
    kHighestOf = static_cast<std::uint64_t>(std::numeric_limits<T>::max()) >
                         static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
                     ? std::numeric_limits<std::int64_t>::max()
                     : static_cast<std::int64_t>(std::numeric_limits<T>::max());
