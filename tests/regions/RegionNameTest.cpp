// The region name rule: what a name may hold, counted in characters of valid UTF-8.
#include "regions/RegionName.h"

#include <gtest/gtest.h>

namespace
{
std::string Repeat(const std::string& piece, std::size_t times)
{
    std::string text;
    for (std::size_t k = 0; k < times; ++k)
        text += piece;
    return text;
}

// Test that usable names pass and every kind of bad name is told with its own problem.
TEST(RegionName, FindRegionNameProblemJudgesEveryRule)
{
    struct Case
    {
        std::string name;
        std::optional<std::string> problem;
    };
    const Case cases[] = {
        {"open arm", std::nullopt},
        {"Box3", std::nullopt},
        {"a", std::nullopt},
        {".hidden", std::nullopt},
        {"...", std::nullopt},
        {"a.b", std::nullopt},
        {"a:b,c\"d", std::nullopt},
        {"\xC3\xB1"
         "and\xC3\xBA",
         std::nullopt},                             // ñandú
        {"\xE6\x97\xA5\xE6\x9C\xAC", std::nullopt}, // two CJK characters
        {"\xF0\x9F\x90\x81", std::nullopt},         // a four-byte character
        {Repeat("x", 64), std::nullopt},
        {Repeat("\xC3\xA9", 64), std::nullopt}, // 64 characters in 128 bytes
        {Repeat("\xF0\x9F\x90\x81", 64), std::nullopt},
        {"", "is empty"},
        {Repeat("x", 65), "is longer than 64 characters"},
        {Repeat("\xC3\xA9", 65), "is longer than 64 characters"},
        {".", "is \".\", which names a folder"},
        {"..", "is \"..\", which names a folder"},
        {"a/b", "holds a \"/\""},
        {"/", "holds a \"/\""},
        {"a\\b", "holds a \"\\\""},
        {"tab\there", "holds a control character"},
        {std::string("nul\0x", 5), "holds a control character"},
        {"line\n", "holds a control character"},
        {"del\x7F", "holds a control character"},
        {"next\xC2\x85line", "holds a control character"}, // U+0085, a C1 control
        {"\xC2\xA0", std::nullopt},                        // U+00A0, just past the C1 controls
        {"cut\xC3", "is not valid UTF-8"},
        {"\xC0\xAF", "is not valid UTF-8"},         // overlong '/'
        {"\xE0\x80\xAF", "is not valid UTF-8"},     // overlong '/' in three bytes
        {"\xED\xA0\x80", "is not valid UTF-8"},     // a surrogate
        {"\xF4\x90\x80\x80", "is not valid UTF-8"}, // above U+10FFFF
        {"\x80", "is not valid UTF-8"},
        {"\xFF", "is not valid UTF-8"},
        {"a\xE6\x97", "is not valid UTF-8"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindRegionNameProblem(c.name), c.problem) << c.name;
}

// Test that the dialog's message says what is wrong and what a name may be, and that a usable name
// gets none.
TEST(RegionName, CheckRegionNameGivesTheDialogsMessage)
{
    EXPECT_EQ(CheckRegionName("open arm"), std::nullopt);
    EXPECT_EQ(
        CheckRegionName("a/b"),
        std::optional<std::string>("The region name holds a \"/\". A name is 1 to 64 characters without "
                                   "\"/\", \"\\\" or control characters, and not \".\" or \"..\"."));
}

// Test that code points are counted, not bytes, and that any fault of the encoding gives nothing.
TEST(RegionName, CountUtf8CodePoints)
{
    const std::pair<std::string, std::optional<std::size_t>> cases[] = {
        {"", 0},
        {"abc", 3},
        {"\xC3\xA9t\xC3\xA9", 3},
        {"\xEF\xBF\xBF", 1},        // U+FFFF
        {"\xF4\x8F\xBF\xBF", 1},    // U+10FFFF
        {"\xC1\xBF", std::nullopt}, // overlong
        {"\xF0\x8F\xBF\xBF", std::nullopt},
        {"\xE2\x82", std::nullopt},
        {"\xE2\x28\xA1", std::nullopt},
        {"\xF8\x88\x80\x80\x80", std::nullopt},
    };
    for (const auto& [text, count] : cases)
        EXPECT_EQ(CountUtf8CodePoints(text), count) << text;
}
} // namespace
