// The checks of decimal options: plain decimal text within the range, the lower limit included or
// not, and the option taking the value only when it passes.
#include "cli/DecimalChecks.h"

#include <gtest/gtest.h>

namespace
{
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
} // namespace

TEST(DecimalChecks, PlainDecimalWithinTheRangeOnly)
{
    struct Case
    {
        const char* text;
        double min;
        LowerBound bound;
        double max;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"1.5", 0.0, LowerBound::Included, 1000.0, 1.5},
        {"0", 0.0, LowerBound::Included, 1000.0, 0.0},
        {"0.0", 0.0, LowerBound::Included, 1000.0, 0.0},
        {"0", 0.0, LowerBound::Excluded, 1000.0, std::nullopt},
        {"0.000001", 0.0, LowerBound::Excluded, 1000.0, 0.000001},
        {"1000", 0.0, LowerBound::Included, 1000.0, 1000.0},
        {"1000.0001", 0.0, LowerBound::Included, 1000.0, std::nullopt},
        {"-0.5", 0.0, LowerBound::Included, 1000.0, std::nullopt},
        {"-1", 0.0, LowerBound::Excluded, 1000.0, std::nullopt},
        {"-0.5", -1.0, LowerBound::Included, 1.0, -0.5},
        {".5", 0.0, LowerBound::Included, 10.0, 0.5},
        {"5.", 0.0, LowerBound::Included, 10.0, 5.0},
        {"007.25", 0.0, LowerBound::Included, 10.0, 7.25},
        {"", 0.0, LowerBound::Included, 10.0, std::nullopt},
        {".", 0.0, LowerBound::Included, 10.0, std::nullopt},
        {"-", -1.0, LowerBound::Included, 10.0, std::nullopt},
        {"1..5", 0.0, LowerBound::Included, 10.0, std::nullopt},
        {"1.5.", 0.0, LowerBound::Included, 10.0, std::nullopt},
        {"+1", 0.0, LowerBound::Included, 10.0, std::nullopt},
        {" 1", 0.0, LowerBound::Included, 10.0, std::nullopt},
        {"1 ", 0.0, LowerBound::Included, 10.0, std::nullopt},
        {"1e2", 0.0, LowerBound::Included, 1000.0, std::nullopt},
        {"1,5", 0.0, LowerBound::Included, 10.0, std::nullopt},
        {"inf", 0.0, LowerBound::Included, 1e300, std::nullopt},
        {"nan", 0.0, LowerBound::Included, 10.0, std::nullopt},
        {"0x10", 0.0, LowerBound::Included, 100.0, std::nullopt},
        {"--1", -10.0, LowerBound::Included, 10.0, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseDecimalNumber(c.text, c.min, c.bound, c.max), c.expected) << "'" << c.text << "'";
}

TEST(DecimalChecks, OptionTakesOnlyWhatPasses)
{
    struct Case
    {
        std::vector<std::string> args;
        std::optional<double> value;
        const char* problem; // part of the parse error's text, or nullptr when taken
    };
    const Case cases[] = {
        {{}, std::nullopt, nullptr},
        {{"--vmax", "2.5"}, 2.5, nullptr},
        {{"--vmax", "0"}, std::nullopt, "'0' is not a decimal number greater than 0 and at most 100"},
        {{"--vmax", "-3"}, std::nullopt, "is not a decimal number greater than 0 and at most 100"},
        {{"--vmax", "abc"}, std::nullopt, "'abc' is not a decimal number"},
        {{"--vmax"}, std::nullopt, "--vmax"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.args.empty() ? std::string("none") : c.args.back());
        CLI::App app;
        std::optional<double> value;
        AddDecimal(app, "--vmax", value, "SECONDS", "the top", 0.0, LowerBound::Excluded, 100.0);
        const std::optional<std::string> problem = ParseProblem(app, c.args);
        if (c.problem == nullptr)
        {
            EXPECT_EQ(problem, std::nullopt);
            EXPECT_EQ(value, c.value);
        }
        else
        {
            ASSERT_TRUE(problem.has_value());
            EXPECT_NE(problem->find(c.problem), std::string::npos) << *problem;
            EXPECT_EQ(value, std::nullopt);
        }
    }
}
