// The regions options: the --region values and the table they fill.
#include "cli/RegionOptions.h"

#include "cli/CliApp.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

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

// What the regions command of the test below was given, after Load.
struct Resolved
{
    bool ran = false;
    std::int32_t count = -1;
    std::int32_t margin = -1;
    std::vector<std::string> names;
};
Resolved g_resolved;

// A command taking the regions as visits takes them: a layout or regions, a margin, one required.
CliRun AddRegionsCommand(CLI::App& command)
{
    auto regions = std::make_shared<CRegionOptions>();
    regions->AddLayoutTo(command);
    regions->AddTo(command, RegionNaming::Named);
    regions->AddMarginTo(command);
    regions->RequireRegions(command);
    return [regions]
    {
        g_resolved.ran = true;
        if (regions->Load() != 0)
            return kExitFailed;
        g_resolved.count = regions->Count();
        g_resolved.margin = regions->Margin();
        for (std::int32_t j = 0; j < regions->Count(); ++j)
            g_resolved.names.push_back(regions->Table().m_regionNames[static_cast<std::size_t>(j)]);
        return kExitOk;
    };
}

// Test where the regions and the margin come from: a layout with its margin, regions given one by
// one, --margin over either, the default of 8; and what is refused, as a usage error or, for a
// layout that cannot be used, as a failure told once.
TEST(RegionOptions, LayoutRegionsAndMargin)
{
    CTempDir dir;
    const std::string layout = dir.File("arena.json");
    ASSERT_TRUE(WriteWholeFile(layout, "{\"format\": \"trackplay-layout\", \"version\": 1, \"margin\": 12, "
                                       "\"regions\": [{\"name\": \"open arm\", \"rect\": [1, 2, 3, 4]}, "
                                       "{\"rect\": [5, 6, 7, 8]}]}"));
    const std::string bad = dir.File("bad.json");
    ASSERT_TRUE(WriteWholeFile(bad, "{\"format\": \"trackplay-layout\", \"version\": 1, \"regions\": [{}]}"));
    struct Case
    {
        std::vector<std::string> args;
        int status;
        std::int32_t count;
        std::int32_t margin;
        std::vector<std::string> names;
        std::string message; // the first message, when there is one
    };
    const Case cases[] = {
        {{"--layout", layout}, kExitOk, 2, 12, {"open arm", "Box1"}, ""},
        {{"--layout", layout, "--margin", "0"}, kExitOk, 2, 0, {"open arm", "Box1"}, ""},
        {{"--region", "1,2,3,4:nest", "--region", "0,0,9,9"}, kExitOk, 2, 8, {"nest", "Box1"}, ""},
        {{"--region", "1,2,3,4", "--margin", "2147483647"}, kExitOk, 1, 2147483647, {"Box0"}, ""},
        {{"--layout", layout, "--region", "1,2,3,4"},
         kExitUsage,
         -1,
         -1,
         {},
         "tracktool r: --layout excludes --region"},
        {{"--region", "1,2,3,4", "--layout", layout},
         kExitUsage,
         -1,
         -1,
         {},
         "tracktool r: --layout excludes --region"},
        {{}, kExitUsage, -1, -1, {}, "tracktool r: --layout or --region is required"},
        {{"--margin", "3"}, kExitUsage, -1, -1, {}, "tracktool r: --layout or --region is required"},
        {{"--region", "1,2,3,4", "--margin", "-1"},
         kExitUsage,
         -1,
         -1,
         {},
         "tracktool r: --margin: '-1' is not a whole number from 0 to 2147483647"},
        {{"--layout", ""}, kExitUsage, -1, -1, {}, "tracktool r: --layout: an empty value is not allowed"},
        {{"--layout", bad},
         kExitFailed,
         -1,
         -1,
         {},
         "The region layout " + bad + " cannot be loaded: regions[0].rect is missing."},
        {{"--layout", dir.File("none.json")},
         kExitFailed,
         -1,
         -1,
         {},
         "Cannot open the region layout " + dir.File("none.json") + "."},
    };
    for (const Case& c : cases)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        g_resolved = Resolved{};
        CCliApp app({{"r", "regions", &AddRegionsCommand}}, "tracktool 0.0.0");
        std::vector<std::string> args = {"r"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const std::string name = c.args.empty() ? "(nothing)" : c.args.front() + " " + c.args.back();
        EXPECT_EQ(app.Run(args), c.status) << name;
        EXPECT_EQ(g_resolved.ran, c.status != kExitUsage) << name;
        EXPECT_EQ(g_resolved.count, c.count) << name;
        EXPECT_EQ(g_resolved.margin, c.margin) << name;
        EXPECT_EQ(g_resolved.names, c.names) << name;
        if (c.message.empty())
        {
            EXPECT_TRUE(sink.messages.empty()) << name;
        }
        else
        {
            ASSERT_FALSE(sink.messages.empty()) << name;
            EXPECT_EQ(sink.messages.front(), c.message) << name;
            EXPECT_EQ(sink.messages.size(), c.status == kExitUsage ? 2u : 1u)
                << name; // usage: with the usage line
        }
    }
}
} // namespace
