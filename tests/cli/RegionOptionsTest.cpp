// The regions options: the --region values and the table they fill.
#include "cli/RegionOptions.h"

#include <gtest/gtest.h>

namespace
{
// Test that a region value is four 32-bit numbers and, only where names are taken, a usable name.
TEST(RegionOptions, ParseRegionArgumentTakesFourNumbersAndANameWhereAllowed)
{
    struct Case
    {
        const char* text;
        RegionNaming naming;
        std::optional<Rect> rect; // nothing: refused
        std::optional<std::string> name;
    };
    const Case cases[] = {
        {"1,2,3,4", RegionNaming::Unnamed, Rect{1, 2, 3, 4}, {}},
        {"400,175,300,50", RegionNaming::Named, Rect{400, 175, 300, 50}, {}}, // kept as given
        {"-5,0,-1,2147483647", RegionNaming::Unnamed, Rect{-5, 0, -1, 2147483647}, {}},
        {"-2147483648,0,0,0", RegionNaming::Unnamed, Rect{-2147483648, 0, 0, 0}, {}},
        {"1,2,3,4:Nest", RegionNaming::Named, Rect{1, 2, 3, 4}, "Nest"},
        {"1,2,3,4:a:b", RegionNaming::Named, Rect{1, 2, 3, 4}, "a:b"},
        {"1,2,3,4:Nest", RegionNaming::Unnamed, {}, {}},
        {"1,2,3,4:", RegionNaming::Named, {}, {}},
        {"1,2,3,4:a/b", RegionNaming::Named, {}, {}},
        {"1,2,3", RegionNaming::Unnamed, {}, {}},
        {"1,2,3,4,5", RegionNaming::Unnamed, {}, {}},
        {"1,2,3,", RegionNaming::Unnamed, {}, {}},
        {",1,2,3", RegionNaming::Unnamed, {}, {}},
        {"1,2,x,4", RegionNaming::Unnamed, {}, {}},
        {"1,2,3,99999999999", RegionNaming::Unnamed, {}, {}},
        {"1,2,3,2147483648", RegionNaming::Unnamed, {}, {}},
        {"1, 2,3,4", RegionNaming::Unnamed, {}, {}},
        {"+1,2,3,4", RegionNaming::Unnamed, {}, {}},
        {"", RegionNaming::Named, {}, {}},
        {":Nest", RegionNaming::Named, {}, {}},
    };
    for (const Case& c : cases)
    {
        const auto region = ParseRegionArgument(c.text, c.naming);
        ASSERT_EQ(region.has_value(), c.rect.has_value()) << c.text;
        if (!region)
            continue;
        EXPECT_EQ(region->rect, *c.rect) << c.text;
        EXPECT_EQ(region->name, c.name) << c.text;
    }
}
} // namespace
