// The strict checks of argument values: number options and non-empty values (whole numbers are
// read as tests/base/NumberTextTest.cpp checks).
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
