// The rule for a region's name. A name becomes part of file names (the event files, the batch's
// outputs), so it is 1 to 64 characters of valid UTF-8 with no '/', '\' or control character, and
// neither "." nor "..". The region layout files, the window's region dialog and tracktool all judge
// names by it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::size_t kMaxRegionNameLength = 64; // characters (code points), not bytes

// What is wrong with name as a region's name, as a phrase that follows the name's subject ("is
// empty", "holds a \"/\""), or nothing when the name is usable.
[[nodiscard]] std::optional<std::string> FindRegionNameProblem(std::string_view name);

// The message a dialog shows for a name that is not usable ("The region name is empty."), or
// nothing when it is usable.
[[nodiscard]] std::optional<std::string> CheckRegionName(std::string_view name);

// The number of code points of text when it is valid UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF), else nothing.
[[nodiscard]] std::optional<std::size_t> CountUtf8CodePoints(std::string_view text);
