// The strict checks of argument values: whole numbers and non-empty values.
#include "cli/CliChecks.h"

#include <gtest/gtest.h>

namespace
{
constexpr std::int64_t kU32Max = 4294967295;
constexpr std::int64_t kI32Min = -2147483648;
constexpr std::int64_t kI32Max = 2147483647;

// Parses args (in command-line order); the parse error's text, or nothing when they were taken.
std::optional<std::string> ParseProblem(CLI::App& app, const std::vector<std::string>& args)
{
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try
    {
        app.parse(reversed);
        return std::nullopt;
    }
    catch (const CLI::ParseError& error)
    {
        return std::string(error.what());
    }
}

// Test that only plain decimal text within the range is a whole number.
TEST(CliChecks, ParseWholeNumberTakesPlainDecimalWithinTheRangeOnly)
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

// Test that a number option sets its value from canonical decimal (never octal), within its type's
// range unless given a narrower one, and refuses with the option's name and the range.
TEST(CliChecks, NumberOptionSetsItsValueOrRefuses)
{
    struct Case
    {
        const char* text;
        std::optional<std::int64_t> asInt32, asUint32, asPartial; // nothing: refused
    };
    const Case cases[] = {
        {"-2147483648", kI32Min, {}, {}},
        {"2147483648", {}, 2147483648, {}},
        {"4294967295", {}, kU32Max, {}},
        {"4294967296", {}, {}, {}},
        {"017", 17, 17, 17},
        {"1827", 1827, 1827, 1827},
        {"1828", 1828, 1828, {}},
        {"-1", -1, {}, {}},
        {"+5", {}, {}, {}},
        {"", {}, {}, {}},
    };
    for (const Case& c : cases)
    {
        CLI::App app;
        std::int32_t asInt32 = 99;
        std::uint32_t asUint32 = 99;
        std::uint32_t asPartial = 99;
        AddWholeNumber(app, "--i", asInt32, "N", "");
        AddWholeNumber(app, "--u", asUint32, "N", "");
        AddWholeNumber(app, "--partial", asPartial, "BYTES", "", 0, 1827);
        const auto check = [&c](const std::string& name, const std::optional<std::int64_t>& expected,
                                const auto& value, CLI::App& parser)
        {
            const auto problem = ParseProblem(parser, {name, c.text});
            if (expected)
            {
                EXPECT_EQ(problem, std::nullopt) << name << " '" << c.text << "'";
                EXPECT_EQ(static_cast<std::int64_t>(value), *expected) << name << " '" << c.text << "'";
            }
            else
            {
                ASSERT_TRUE(problem.has_value()) << name << " took '" << c.text << "'";
                EXPECT_EQ(problem->rfind(name + ": '" + c.text + "' is not a whole number from ", 0), 0u)
                    << *problem;
            }
        };
        check("--i", c.asInt32, asInt32, app);
        check("--u", c.asUint32, asUint32, app);
        check("--partial", c.asPartial, asPartial, app);
    }
}
} // namespace
