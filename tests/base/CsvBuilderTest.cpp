#include "base/CsvBuilder.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

// Test that only fields that need it are quoted, and that quotes inside are doubled.
TEST(CsvBuilder, QuotesFieldsWithCommasQuotesAndLineBreaks)
{
    const std::pair<std::string, std::string> cases[] = {
        {"open arm", "open arm"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\rhere", "\"cr\rhere\""},
        {"Käfig Ø 30 cm", "Käfig Ø 30 cm"}, // UTF-8 passes through untouched
        {"  spaces kept  ", "  spaces kept  "},
        {"zone;semicolon", "zone;semicolon"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(CsvQuoted(text), expected) << text;
}

// Test the six-decimal form at the edges: rounding, zero, tiny negatives, large and odd values.
TEST(CsvBuilder, FixedSixDecimalsWithoutLocaleOrExponent)
{
    const std::pair<double, std::string> cases[] = {
        {0.0, "0.000000"},
        {1.0 / 60.0, "0.016667"},
        {600.0 / 60.0, "10.000000"},
        {-1.5, "-1.500000"},
        {-0.0000001, "0.000000"},
        {-0.0, "0.000000"},
        {0.0000006, "0.000001"}, // correctly rounded from the binary value
        {123456789012.25, "123456789012.250000"},
        {1e20, "100000000000000000000.000000"},
        {std::numeric_limits<double>::quiet_NaN(), ""},
        {std::numeric_limits<double>::infinity(), ""},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(FormatFixed6(value), expected) << value;
}

TEST(CsvBuilder, RowsJoinFieldsWithCommasAndEndWithNewline)
{
    CCsvBuilder csv;
    csv.HeaderRow("file,region,name,records,share,latency");
    csv.Field("run,7.qtf")
        .Field(std::int32_t{-1})
        .Field("Box \"A\"")
        .Field(std::numeric_limits<std::uint64_t>::max())
        .Fixed6(0.25)
        .Optional(std::optional<std::int64_t>{})
        .EndRow();
    csv.Field(std::numeric_limits<std::int64_t>::min()).Empty().OptionalFixed6(2.0).EndRow();
    EXPECT_EQ(csv.Text(), "file,region,name,records,share,latency\n"
                          "\"run,7.qtf\",-1,\"Box \"\"A\"\"\",18446744073709551615,0.250000,\n"
                          "-9223372036854775808,,2.000000\n");
    csv.Clear();
    EXPECT_TRUE(csv.Text().empty());
    csv.Empty().Empty().EndRow();
    EXPECT_EQ(csv.Text(), ",\n");
}
