// tracktool events, run as a user would run it.
#include "cli/RunTool.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace
{
// The bytes an event file holds: the tag, zeros to 16,384, then little-endian 64-bit times.
std::string EventBytes(const std::vector<std::int64_t>& times)
{
    std::string bytes(16384, '\0');
    bytes.replace(0, 18, "######## Zentravox");
    for (const std::int64_t t : times)
        for (int shift = 0; shift < 64; shift += 8)
            bytes += static_cast<char>((static_cast<std::uint64_t>(t) >> shift) & 0xFF);
    return bytes;
}

// Along y = 100: into (50, 50, 175, 175) at 1001, out at 1005; then into (300, 50, 400, 175)
// at 1007 (straight into its core), out at 1008.
std::string WriteTrack(const CTempDir& dir)
{
    CTrackFileBuilder builder;
    const std::int32_t xs[] = {40, 52, 60, 100, 170, 180, 250, 350, 420, 350};
    std::int64_t t = 1000;
    for (const std::int32_t x : xs)
        builder.Add(MakeRecord(t++, x, 100));
    return builder.Write(dir.File("walk.qtf"));
}

std::string WriteLayout(const CTempDir& dir, const std::string& name, const std::string& margin)
{
    const std::string path = dir.File(name);
    WriteWholeFile(path, "{\"format\": \"trackplay-layout\", \"version\": 1, " + margin +
                             "\"regions\": [{\"rect\": [50, 50, 175, 175]}, "
                             "{\"name\": \"Nest\", \"rect\": [400, 175, 300, 50]}]}");
    return path;
}
} // namespace

TEST(EventsCommand, WritesEachRegionsFilesAndReportsItsVisits)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    std::filesystem::create_directory(dir.File("out"));
    const ToolResult r = RunTool({"events", track, "--region", "50,50,175,175", "--region",
                                  "400,175,300,50:Nest", "--region", "0,0,10,10", "--dir", dir.File("out")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Box0: 1 visits\nNest: 1 visits\nBox2: 0 visits\n");
    EXPECT_EQ(ReadWholeFile(dir.File("out/walk.qtf_Box0_Enter.qsf")), EventBytes({1001}));
    EXPECT_EQ(ReadWholeFile(dir.File("out/walk.qtf_Box0_Leave.qsf")), EventBytes({1005}));
    // Given right to left and bottom to top, the second region is judged as the area it covers.
    EXPECT_EQ(ReadWholeFile(dir.File("out/walk.qtf_Nest_Enter.qsf")), EventBytes({1007}));
    EXPECT_EQ(ReadWholeFile(dir.File("out/walk.qtf_Nest_Leave.qsf")), EventBytes({1008}));
    EXPECT_EQ(ReadWholeFile(dir.File("out/walk.qtf_Box2_Enter.qsf")), EventBytes({}));
    EXPECT_EQ(r.err, ""); // no progress when stderr is not a terminal
}

TEST(EventsCommand, WritesIntoTheCurrentDirectoryByDefault)
{
    CTempDir dir;
    CTempDir work;
    const ToolResult r = RunTool({"events", WriteTrack(dir), "--region", "50,50,175,175"}, work.Path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(work.File("walk.qtf_Box0_Enter.qsf")), EventBytes({1001}));
    EXPECT_FALSE(std::filesystem::exists(dir.File("walk.qtf_Box0_Enter.qsf")));
}

// Test that the regions and the margin of a layout give the same files as the regions given one by
// one, and that the layout's margin is the one the visits follow.
TEST(EventsCommand, TakesTheRegionsAndTheMarginOfALayout)
{
    struct Case
    {
        const char* margin;
        std::string out;
        std::vector<std::int64_t> boxEnter;
        std::vector<std::int64_t> nestEnter;
    };
    const Case cases[] = {
        {"", "Box0: 1 visits\nNest: 1 visits\n", {1001}, {1007}},
        {"\"margin\": 8, ", "Box0: 1 visits\nNest: 1 visits\n", {1001}, {1007}},
        // With 50 the first core is (100, 100, 125, 125): the walk at x = 100 still reaches it, and
        // the visit still starts at the first record inside the rectangle; Nest's core is empty.
        {"\"margin\": 50, ", "Box0: 1 visits\nNest: 0 visits\n", {1001}, {}},
        {"\"margin\": 60, ", "Box0: 0 visits\nNest: 0 visits\n", {}, {}},
    };
    for (const Case& c : cases)
    {
        CTempDir dir;
        const std::string track = WriteTrack(dir);
        const ToolResult r = RunTool(
            {"events", track, "--layout", WriteLayout(dir, "arena.json", c.margin), "--dir", dir.Path()});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, c.out) << c.margin;
        EXPECT_EQ(ReadWholeFile(dir.File("walk.qtf_Box0_Enter.qsf")), EventBytes(c.boxEnter)) << c.margin;
        EXPECT_EQ(ReadWholeFile(dir.File("walk.qtf_Nest_Enter.qsf")), EventBytes(c.nestEnter)) << c.margin;
    }
    // A layout that cannot be used is told, naming the entry, and nothing is written.
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    const std::string bad = dir.File("bad.json");
    WriteWholeFile(bad,
                   "{\"format\": \"trackplay-layout\", \"version\": 1, \"regions\": [{\"rect\": [1, 2]}]}");
    const ToolResult r = RunTool({"events", track, "--layout", bad, "--dir", dir.Path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "The region layout " + bad +
                  " cannot be loaded: regions[0].rect is not a list of four whole numbers (left, top, right, "
                  "bottom).\n");
    // A layout without regions gives no region.
    const std::string none = dir.File("none.json");
    WriteWholeFile(none, "{\"format\": \"trackplay-layout\", \"version\": 1, \"regions\": []}");
    const ToolResult empty = RunTool({"events", track, "--layout", none, "--dir", dir.Path()});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_NE(empty.err.find("no region given; no files written"), std::string::npos) << empty.err;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3)
        << "the track and the layouts";
}

TEST(EventsCommand, UsageErrorsExitWithTwo)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    std::vector<std::string> tooMany = {"events", track};
    for (int k = 0; k < 51; ++k)
    {
        tooMany.push_back("--region");
        tooMany.push_back("0,0,100,100");
    }
    const std::vector<std::vector<std::string>> cases = {
        {"events"},
        {"events", "--region", "1,2,3,4"},
        {"events", track, "--region"},
        {"events", track, "--region", "1,2,3"},
        {"events", track, "--region", "1,2,3,4,5"},
        {"events", track, "--region", "1,2,x,4"},
        {"events", track, "--region", "1,2,3,99999999999"},
        {"events", track, "--region", "1,2,3,4:"},
        {"events", track, "--region", "1,2,3,4:a/b"},
        {"events", track, "--dir"},
        {"events", track, "--region", "0,0,100,100", "--dir", ""}, // not the root folder
        {"events", track, "--bogus"},
        {"events", track, "--layout", track, "--region", "0,0,100,100"},
        {"events", track, "--layout", ""},
        {"events", track, "--region", "0,0,100,100", "--margin", "3"},
        {"events", track, track},
        tooMany,
    };
    for (const auto& args : cases)
    {
        const ToolResult r = RunTool(args, dir.Path());
        EXPECT_EQ(r.exitCode, 2) << args.back();
        EXPECT_NE(r.err.find("usage: tracktool events FILE"), std::string::npos) << args.back();
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "only the track";
}

TEST(EventsCommand, FailuresExitWithOne)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    const std::string empty = CTrackFileBuilder().Write(dir.File("empty.qtf")); // header, no records
    struct Case
    {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"events", dir.File("missing.qtf"), "--region", "0,0,9,9"}, "Error opening file"},
        {{"events", empty, "--region", "0,0,9,9"}, "has no records"},
        {{"events", track}, "no region given"},
        {{"events", track, "--region", "0,0,9,9", "--dir", dir.File("nowhere")},
         "Cannot create the event file " + dir.File("nowhere") + "/walk.qtf_Box0_Enter.qsf"},
    };
    for (const Case& c : cases)
    {
        const ToolResult r = RunTool(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
}
