#include "base/CsvBuilder.h"

#include <array>
#include <charconv>
#include <cmath>

std::string CsvQuoted(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text)
    {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string FormatFixed6(double value)
{
    if (!std::isfinite(value))
        return {};
    // to_chars never looks at the locale, so the decimal point is always '.'.
    std::array<char, 64> buffer{};
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 6);
    if (error != std::errc())
        return {};
    std::string text(buffer.data(), end);
    if (text == "-0.000000") // a tiny negative value rounds to zero: write it without a sign
        text.erase(0, 1);
    return text;
}

void CCsvBuilder::Separator()
{
    if (m_rowStarted)
        m_text += ',';
    m_rowStarted = true;
}

CCsvBuilder& CCsvBuilder::Field(std::string_view text)
{
    Separator();
    m_text += CsvQuoted(text);
    return *this;
}

CCsvBuilder& CCsvBuilder::Field(std::int64_t value)
{
    Separator();
    m_text += std::to_string(value);
    return *this;
}

CCsvBuilder& CCsvBuilder::Field(std::uint64_t value)
{
    Separator();
    m_text += std::to_string(value);
    return *this;
}

CCsvBuilder& CCsvBuilder::Fixed6(double value)
{
    Separator();
    m_text += FormatFixed6(value);
    return *this;
}

CCsvBuilder& CCsvBuilder::Empty()
{
    Separator();
    return *this;
}

CCsvBuilder& CCsvBuilder::EndRow()
{
    m_text += '\n';
    m_rowStarted = false;
    return *this;
}

CCsvBuilder& CCsvBuilder::HeaderRow(std::string_view names)
{
    m_text += names;
    return EndRow();
}
