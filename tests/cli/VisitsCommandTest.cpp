// tracktool visits and tracktool records, run as a user would run them.
#include "analysis/TrackCsv.h"
#include "analysis/VisitCsv.h"
#include "cli/RunTool.h"
#include "outputs/OutputNames.h"
#include "regions/RegionLayout.h"
#include "support/FileChecks.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "support/TrackRuns.h"
#include "trackfile/TrackGenerator.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace
{
// Along y = 100: into (50, 50, 175, 175) at record 1, out at record 5; into (300, 50, 400, 175)
// at record 7 (straight into its core) and still there at the end.
std::string WriteWalk(const CTempDir& dir)
{
    CTrackFileBuilder builder;
    const std::int32_t xs[] = {40, 52, 60, 100, 170, 180, 250, 350, 390, 350};
    std::int64_t t = 1000;
    for (const std::int32_t x : xs)
        builder.Add(MakeRecord(t++, x, 100));
    return builder.Write(dir.File("walk.qtf"));
}

std::string WriteLayout(const CTempDir& dir, std::int32_t margin)
{
    const std::string path = dir.File("arena.json");
    WriteWholeFile(
        path, "{\"format\": \"trackplay-layout\", \"version\": 1, \"margin\": " + std::to_string(margin) +
                  ", \"regions\": [{\"name\": \"open arm\", \"rect\": [50, 50, 175, 175]}, "
                  "{\"name\": \"n\xC3\xA9st, far\", \"rect\": [400, 175, 300, 50]}, "
                  "{\"rect\": [0, 400, 10, 410]}]}");
    return path;
}

// Test that visits writes the three files of the track into the folder asked for (made when
// missing), named after the track file, and prints each region's entries and time inside.
TEST(VisitsCommand, WritesTheThreeFilesAndReportsEachRegion)
{
    CTempDir dir;
    const std::string track = WriteWalk(dir);
    const ToolResult r =
        RunTool({"visits", track, "--layout", WriteLayout(dir, 8), "--out", dir.File("results/day1")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, ""); // no progress when stderr is not a terminal
    EXPECT_EQ(r.out, "open arm: 1 entries, 0.066667 s inside\n"
                     "n\xC3\xA9st, far: 1 entries, 0.050000 s inside\n"
                     "Box2: 0 entries, 0.000000 s inside\n");
    EXPECT_EQ(ReadWholeFile(dir.File("results/day1/walk.qtf_visits.csv")),
              std::string(kVisitsCsvHeader) + "\n"
                                              "walk.qtf,0,open arm,1,1,5,1001,1005,4,0.066667,4,1\n"
                                              "walk.qtf,1,\"n\xC3\xA9st, far\",1,7,10,1007,,3,0.050000,,0\n");
    EXPECT_EQ(ReadWholeFile(dir.File("results/day1/walk.qtf_session.csv")),
              std::string(kSessionCsvHeader) +
                  "\nwalk.qtf,10,0.166667,1000,1009,0.050000,390.000000,2600.000000,0\n");
    const std::string regions = ReadWholeFile(dir.File("results/day1/walk.qtf_regions.csv"));
    EXPECT_NE(
        regions.find(
            "\nwalk.qtf,1,\"n\xC3\xA9st, far\",400,175,300,50,8,1,0,3,0.050000,0.300000,7,0.116667,,,rect\n"),
        std::string::npos)
        << regions;
    EXPECT_EQ(VisibleEntries(SnapshotFolder(dir.File("results/day1"))).size(), 3u);
}

// Test that the files are written into the current folder by default, and that --margin overrides
// the layout's: with 60 the walk never reaches a region's core.
TEST(VisitsCommand, CurrentFolderByDefaultAndMarginOverridesTheLayout)
{
    CTempDir dir;
    CTempDir work;
    const std::string track = WriteWalk(dir);
    const std::string layout = WriteLayout(dir, 8);
    const ToolResult r = RunTool({"visits", track, "--layout", layout, "--margin", "60"}, work.Path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "open arm: 0 entries, 0.000000 s inside");
    EXPECT_TRUE(std::filesystem::exists(work.File("walk.qtf_visits.csv")));
    EXPECT_NE(ReadWholeFile(work.File("walk.qtf_regions.csv")).find(",175,175,60,0,0,0,"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("walk.qtf_visits.csv")));

    // The same regions given one by one, with the default margin.
    const ToolResult byHand =
        RunTool({"visits", track, "--region", "50,50,175,175:open arm", "--region",
                 "400,175,300,50:n\xC3\xA9st, far", "--region", "0,400,10,410", "--out", work.Path()});
    ASSERT_EQ(byHand.exitCode, 0) << byHand.err;
    const ToolResult fromLayout = RunTool({"visits", track, "--layout", layout, "--out", dir.Path()});
    EXPECT_EQ(byHand.out, fromLayout.out);
    for (const char* name : {"walk.qtf_visits.csv", "walk.qtf_regions.csv", "walk.qtf_session.csv"})
        EXPECT_EQ(ReadWholeFile(work.File(name)), ReadWholeFile(dir.File(name))) << name;
}

// Test that the tool writes exactly the files the core's own table and writer give, for a long
// generated track over many regions (the numbers are computed once, in the core).
TEST(VisitsCommand, FilesAreThoseOfTheCore)
{
    CTempDir dir;
    TrackGeneratorOptions options;
    options.records = 20000;
    options.seed = 9;
    ASSERT_EQ(WriteGeneratedTrack(dir.File("gen.qtf"), options), 0);
    CRegionTable table;
    table.m_nRegionCount = 12;
    for (std::size_t j = 0; j < 12; ++j)
    {
        const auto left = static_cast<std::int32_t>(j % 4 * 150);
        const auto top = static_cast<std::int32_t>(j / 4 * 150);
        table.m_regionRects[j] =
            j % 3 == 0 ? Rect{left + 200, top + 180, left, top} : Rect{left, top, left + 200, top + 180};
    }
    ASSERT_EQ(SaveRegionLayout(dir.File("grid.json"), table, 5), 0);
    std::filesystem::create_directory(dir.File("core"));
    VisitTable expected;
    ASSERT_EQ(BuildVisitTable(dir.File("gen.qtf"), table, 5, expected), 0);
    for (const VisitCsvKind kind : {VisitCsvKind::Visits, VisitCsvKind::Regions, VisitCsvKind::Session})
        ASSERT_TRUE(WriteWholeFile(MakeVisitCsvPath(dir.File("core"), "gen.qtf", kind),
                                   FormatVisitCsv(expected, "gen.qtf", kind)));
    ASSERT_GT(expected.visits.size(), 50u);

    std::filesystem::create_directory(dir.File("tool"));
    const ToolResult r = RunTool(
        {"visits", dir.File("gen.qtf"), "--layout", dir.File("grid.json"), "--out", dir.File("tool")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(SnapshotFolder(dir.File("tool")), SnapshotFolder(dir.File("core")));
}

// Test that a malformed command line exits 2 with the usage and writes nothing.
TEST(VisitsCommand, UsageErrorsExitWithTwo)
{
    CTempDir dir;
    const std::string track = WriteWalk(dir);
    const std::string layout = WriteLayout(dir, 8);
    const std::vector<std::vector<std::string>> cases = {
        {"visits"},
        {"visits", track},
        {"visits", track, "--margin", "4"},
        {"visits", track, "--layout", layout, "--region", "1,2,3,4"},
        {"visits", track, "--layout"},
        {"visits", track, "--layout", ""},
        {"visits", track, "--region", "1,2,3"},
        {"visits", track, "--region", "1,2,3,4", "--margin", "-1"},
        {"visits", track, "--region", "1,2,3,4", "--margin", "x"},
        {"visits", track, "--region", "1,2,3,4", "--out", ""},
        {"visits", track, "--region", "1,2,3,4", "--bogus"},
        {"visits", track, track, "--region", "1,2,3,4"},
    };
    for (const auto& args : cases)
    {
        const ToolResult r = RunTool(args, dir.Path());
        EXPECT_EQ(r.exitCode, 2) << args.back();
        EXPECT_NE(r.err.find("usage: tracktool visits FILE"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(VisibleEntries(SnapshotFolder(dir.Path())).size(), 2u) << "only the track and the layout";
}

// Test that a track or layout that cannot be read, or a folder that cannot take the files, fails
// with one clear message and leaves no file.
TEST(VisitsCommand, FailuresExitWithOne)
{
    CTempDir dir;
    const std::string track = WriteWalk(dir);
    const std::string bad = dir.File("bad.json");
    WriteWholeFile(bad,
                   "{\"format\": \"trackplay-layout\", \"version\": 1, \"regions\": [{\"name\": \"a/b\", "
                   "\"rect\": [1, 2, 3, 4]}]}");
    const std::string newer = dir.File("newer.json");
    WriteWholeFile(newer, "{\"format\": \"trackplay-layout\", \"version\": 3, \"regions\": []}");
    std::filesystem::create_directory(dir.File("out"));
    std::filesystem::create_directory(dir.File("out/walk.qtf_session.csv")); // a folder where a file goes
    struct Case
    {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"visits", dir.File("missing.qtf"), "--region", "0,0,9,9"}, "Error opening file"},
        {{"visits", track, "--layout", dir.File("missing.json")}, "Cannot open the region layout"},
        {{"visits", track, "--layout", bad},
         "The region layout " + bad + " cannot be loaded: regions[0].name holds a \"/\"."},
        {{"visits", track, "--layout", newer},
         "The region layout " + newer +
             " cannot be loaded: version 3 is newer than this program reads (version 2)."},
        {{"visits", track, "--region", "0,0,9,9", "--out", track + "/results"},
         "Cannot make the folder " + track + "/results; nothing was written."},
        {{"visits", track, "--region", "0,0,9,9", "--out", dir.File("out")},
         "Cannot create the CSV file " + dir.File("out") +
             "/walk.qtf_session.csv; no visit tables were written."},
    };
    for (const Case& c : cases)
    {
        const auto before = SnapshotFolder(dir.File("out"));
        const ToolResult r = RunTool(c.args, dir.Path());
        EXPECT_EQ(r.exitCode, 1) << c.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.err;
        EXPECT_EQ(SnapshotFolder(dir.File("out")), before) << c.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("walk.qtf_visits.csv")));
}

// Test that records writes one row per record, and fails with one message and no file when the
// track cannot be read or the file cannot be written.
TEST(RecordsCommand, WritesOneRowPerRecord)
{
    CTempDir dir;
    const std::string track = WriteWalk(dir);
    const ToolResult r = RunTool({"records", track, dir.File("walk.csv")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    const std::string csv = ReadWholeFile(dir.File("walk.csv"));
    EXPECT_EQ(csv.substr(0, csv.find('\n', csv.find('\n') + 1) + 1),
              std::string(kTrackCsvHeader) + "\n0,1000,40,100,0,5,0\n");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 11);
    EXPECT_TRUE(csv.ends_with("\n9,1009,350,100,0,5,0\n"));

    struct Case
    {
        std::vector<std::string> args;
        int exitCode;
        std::string err;
    };
    const Case cases[] = {
        {{"records", dir.File("missing.qtf"), dir.File("m.csv")}, 1, "Error opening file"},
        {{"records", track, dir.File("nowhere/w.csv")},
         1,
         "Cannot create the CSV file " + dir.File("nowhere/w.csv") + "; it was not written."},
        {{"records", track, track}, 1, "is a file this program is reading; it is left as it is."},
        {{"records", track}, 2, "usage: tracktool records FILE OUT.csv"},
        {{"records"}, 2, "usage: tracktool records FILE OUT.csv"},
    };
    const auto before = SnapshotFolder(dir.Path());
    for (const Case& c : cases)
    {
        const ToolResult failed = RunTool(c.args);
        EXPECT_EQ(failed.exitCode, c.exitCode) << c.err;
        EXPECT_NE(failed.err.find(c.err), std::string::npos) << failed.err;
    }
    EXPECT_EQ(SnapshotFolder(dir.Path()), before);
}
} // namespace
