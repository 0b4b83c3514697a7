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
    std::vector<std::string> shapes; // "circle 1,2,3", ...
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
        {
            g_resolved.names.push_back(regions->Table().m_regionNames[static_cast<std::size_t>(j)]);
            const RegionShape shape = regions->Table().ShapeOf(j);
            g_resolved.shapes.push_back(std::string(ShapeKindName(shape.kind)) + " " +
                                        FormatShapeText(shape));
        }
        return kExitOk;
    };
}

// Runs the regions command with args after "r", with g_resolved fresh; its exit status.
int RunRegionsCommand(const std::vector<std::string>& args)
{
    g_resolved = Resolved{};
    CCliApp app({{"r", "regions", &AddRegionsCommand}}, "tracktool 0.0.0");
    std::vector<std::string> all = {"r"};
    all.insert(all.end(), args.begin(), args.end());
    return app.Run(all);
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
        const std::string name = c.args.empty() ? "(nothing)" : c.args.front() + " " + c.args.back();
        EXPECT_EQ(RunRegionsCommand(c.args), c.status) << name;
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
// Test that a circle is three whole numbers and a polygon pairs of them, each a usable shape, named
// only where names are taken, and that a refusal says what is wrong.
TEST(RegionOptions, ParseShapeArgumentTakesUsableShapesAndNamesWhereAllowed)
{
    struct Case
    {
        const char* text;
        ShapeKind kind;
        RegionNaming naming;
        std::optional<RegionShape> shape; // nothing: refused with problem
        std::optional<std::string> name;
        const char* problem;
    };
    const RegionShape triangle = RegionShape::Polygon({{0, 0}, {40, 0}, {0, 30}});
    const Case cases[] = {
        {"320,240,40", ShapeKind::Circle, RegionNaming::Unnamed, RegionShape::Circle(320, 240, 40), {}, ""},
        {"320,240,40:pool", ShapeKind::Circle, RegionNaming::Named, RegionShape::Circle(320, 240, 40), "pool",
         ""},
        {"0,0,40,0,0,30:arm", ShapeKind::Polygon, RegionNaming::Named, triangle, "arm", ""},
        {"0,0,40,0,0,30:a:b", ShapeKind::Polygon, RegionNaming::Named, triangle, "a:b", ""},
        {"320,240,40:pool", ShapeKind::Circle, RegionNaming::Unnamed, {}, {}, "is not a circle CX,CY,R"},
        {"320,240,40:", ShapeKind::Circle, RegionNaming::Named, {}, {}, "is not a circle CX,CY,R[:NAME]"},
        {"320,240,40:a/b", ShapeKind::Circle, RegionNaming::Named, {}, {}, "is not a circle CX,CY,R[:NAME]"},
        {"320,240,-1",
         ShapeKind::Circle,
         RegionNaming::Unnamed,
         {},
         {},
         "is not a circle CX,CY,R: it has radius -1; a circle's radius is at least 1"},
        {"0,0,40,0,0,30,0,0",
         ShapeKind::Polygon,
         RegionNaming::Unnamed,
         {},
         {},
         "is not a polygon X1,Y1,X2,Y2,X3,Y3[,...]: it repeats its first point (0, 0) at its end; a polygon "
         "closes by itself"},
    };
    for (const Case& c : cases)
    {
        const auto parsed = ParseShapeArgument(c.text, c.kind, c.naming);
        if (!c.shape)
        {
            ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << c.text;
            EXPECT_EQ(std::get<std::string>(parsed), c.problem) << c.text;
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<ShapeArgument>(parsed)) << c.text;
        EXPECT_EQ(std::get<ShapeArgument>(parsed).shape, *c.shape) << c.text;
        EXPECT_EQ(std::get<ShapeArgument>(parsed).name, c.name) << c.text;
    }
}

// Test that regions of the three options take the table's slots in the order given, whichever
// option gives them, that 50 is the limit across all three, and that a bad shape is a usage error
// naming the option.
TEST(RegionOptions, CirclesAndPolygonsTakeSlotsInTheOrderGiven)
{
    std::vector<std::string> fifty;
    for (int k = 0; k < 25; ++k)
        fifty.insert(fifty.end(), {"--circle", "10,10,5", "--region", "0,0,9,9"});
    std::vector<std::string> fiftyOne = fifty;
    fiftyOne.insert(fiftyOne.end(), {"--polygon", "0,0,9,0,0,9"});
    struct Case
    {
        std::vector<std::string> args;
        int status;
        std::vector<std::string> shapes;
        std::vector<std::string> names;
        std::string message;
    };
    const Case cases[] = {
        {{"--circle", "320,240,40:pool", "--region", "1,2,3,4", "--polygon", "0,0,9,0,0,9:arm", "--circle",
          "5,6,7"},
         kExitOk,
         {"circle 320,240,40", "rect 1,2,3,4", "polygon 0,0,9,0,0,9", "circle 5,6,7"},
         {"pool", "Box1", "arm", "Box3"},
         ""},
        {{"--polygon", "0,0,9,0,0,9"}, kExitOk, {"polygon 0,0,9,0,0,9"}, {"Box0"}, ""},
        {fifty, kExitOk, {}, {}, ""},
        {fiftyOne, kExitUsage, {}, {}, "tracktool r: --polygon: at most 50 regions"},
        {{"--circle", "1,2,0"},
         kExitUsage,
         {},
         {},
         "tracktool r: --circle: '1,2,0' is not a circle CX,CY,R[:NAME]: it has radius 0; a circle's radius "
         "is "
         "at least 1"},
        {{"--polygon", "0,0,9,9,9,0,0,9"},
         kExitUsage,
         {},
         {},
         "tracktool r: --polygon: '0,0,9,9,9,0,0,9' is not a polygon X1,Y1,X2,Y2,X3,Y3[,...][:NAME]: it has "
         "edges that cross or touch: (0, 0)-(9, 9) and (9, 0)-(0, 9)"},
        {{"--layout", "a.json", "--polygon", "0,0,9,0,0,9"},
         kExitUsage,
         {},
         {},
         "tracktool r: --layout excludes --polygon"},
        {{"--circle", "1,2,3", "--layout", "a.json"},
         kExitUsage,
         {},
         {},
         "tracktool r: --layout excludes --circle"},
    };
    for (const Case& c : cases)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        const std::string name =
            c.args.front() + " " + c.args.back() + " (" + std::to_string(c.args.size()) + ")";
        EXPECT_EQ(RunRegionsCommand(c.args), c.status) << name;
        if (c.status == kExitOk && c.args != fifty)
        {
            EXPECT_EQ(g_resolved.shapes, c.shapes) << name;
            EXPECT_EQ(g_resolved.names, c.names) << name;
        }
        if (c.args == fifty)
        {
            EXPECT_EQ(g_resolved.count, 50) << name;
        }
        if (c.message.empty())
        {
            EXPECT_TRUE(sink.messages.empty()) << name;
        }
        else
        {
            ASSERT_FALSE(sink.messages.empty()) << name;
            EXPECT_EQ(sink.messages.front(), c.message) << name;
        }
    }
}
} // namespace
