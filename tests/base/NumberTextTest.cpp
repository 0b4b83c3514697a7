// Whole numbers as a user types them: plain decimal within the range only.
#include "base/NumberText.h"

#include <gtest/gtest.h>

namespace
{
constexpr std::int64_t kU32Max = 4294967295;
constexpr std::int64_t kI32Min = -2147483648;
constexpr std::int64_t kI32Max = 2147483647;

// Test that only plain decimal text within the range is a whole number.
TEST(NumberText, ParseWholeNumberTakesPlainDecimalWithinTheRangeOnly)
{
    struct Case
    {
        const char* text;
        std::int64_t min, max;
        std::optional<std::int64_t> expected;
    };
    const Case cases[] = {
        {"5", 0, kU32Max, 5},
        {"0", 0, kU32Max, 0},
        {"4294967295", 0, kU32Max, kU32Max},
        {"4294967296", 0, kU32Max, std::nullopt},
        {"010", 0, kU32Max, 10}, // decimal, never octal
        {"-2147483648", kI32Min, kI32Max, kI32Min},
        {"-2147483649", kI32Min, kI32Max, std::nullopt},
        {"2147483648", kI32Min, kI32Max, std::nullopt},
        {"-1", -1, 49, -1},
        {"-2", -1, 49, std::nullopt},
        {"50", -1, 49, std::nullopt},
        {"-1", 0, kU32Max, std::nullopt},
        {"-0", 0, kU32Max, std::nullopt}, // no sign where negatives are not allowed
        {"-0", -1, 49, 0},
        {"", 0, kU32Max, std::nullopt},
        {" 5", 0, kU32Max, std::nullopt},
        {"5 ", 0, kU32Max, std::nullopt},
        {"+5", 0, kU32Max, std::nullopt},
        {"5x", 0, kU32Max, std::nullopt},
        {"0x10", 0, kU32Max, std::nullopt},
        {"1e3", 0, kU32Max, std::nullopt},
        {"-", -1, 49, std::nullopt},
        {"99999999999999999999", 0, kU32Max, std::nullopt}, // past 64 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseWholeNumber(c.text, c.min, c.max), c.expected)
            << "'" << c.text << "' in [" << c.min << ", " << c.max << "]";
}
} // namespace
