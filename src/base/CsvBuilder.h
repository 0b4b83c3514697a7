// CCsvBuilder: builds CSV text the way every table trackplay writes it: RFC 4180, UTF-8 passed
// through, comma separated, "\n" line ends, "." as the decimal point whatever the locale, integers
// in full, seconds and shares with six decimals, and an empty field for "none". Writers take the
// text in pieces (Text, then Clear) so that a table of millions of rows never sits in memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CCsvBuilder
{
public:
    // A text field, quoted (with its quotes doubled) when it holds a comma, a quote or a line break.
    CCsvBuilder& Field(std::string_view text);
    CCsvBuilder& Field(std::int64_t value);
    CCsvBuilder& Field(std::uint64_t value);
    CCsvBuilder& Field(std::int32_t value) { return Field(std::int64_t{value}); }
    CCsvBuilder& Field(std::uint32_t value) { return Field(std::uint64_t{value}); }
    // A number with six decimals ("0.016667"); an empty field for a value that is not finite.
    CCsvBuilder& Fixed6(double value);
    // The empty field ("none").
    CCsvBuilder& Empty();
    template <typename T> CCsvBuilder& Optional(const std::optional<T>& value)
    {
        return value ? Field(*value) : Empty();
    }
    CCsvBuilder& OptionalFixed6(const std::optional<double>& value)
    {
        return value ? Fixed6(*value) : Empty();
    }
    // Ends the row.
    CCsvBuilder& EndRow();
    // A header row from names separated by commas ("file,region,name").
    CCsvBuilder& HeaderRow(std::string_view names);

    [[nodiscard]] const std::string& Text() const { return m_text; }
    void Clear() { m_text.clear(); }

private:
    void Separator();

    std::string m_text;
    bool m_rowStarted = false;
};

// The field as the builder writes it, for tests and single values.
[[nodiscard]] std::string CsvQuoted(std::string_view text);
[[nodiscard]] std::string FormatFixed6(double value);
