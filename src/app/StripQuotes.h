// The quoting rule of the command line and of dropped names.
#pragma once

#include <string>
#include <string_view>

// The text itself, or, when it begins with a double quote, the text without its first and its
// last character, whatever that last one is (a lone '"' gives the empty text).
[[nodiscard]] inline std::string StripQuotes(std::string_view text)
{
    if (text.empty() || text.front() != '"')
        return std::string(text);
    if (text.size() < 2)
        return std::string();
    return std::string(text.substr(1, text.size() - 2));
}
