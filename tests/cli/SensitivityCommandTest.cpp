// tracktool sensitivity, run as a user would run it, and the sensitivity asked of a batch.
#include "analysis/SensitivityCsv.h"
#include "cli/RunTool.h"
#include "plot/SensitivityPicture.h"
#include "regions/RegionLayout.h"
#include "support/FileChecks.h"
#include "support/PngReader.h"
#include "support/TempDir.h"
#include "trackfile/TrackGenerator.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace
{
struct Study
{
    CTempDir dir;
    std::string track;
    std::string layout;
    CRegionTable table;
};

// A generated track and a layout of three regions with a margin of 6.
void MakeStudy(Study& study)
{
    TrackGeneratorOptions options;
    options.records = 6000;
    options.seed = 4;
    study.track = study.dir.File("run.qtf");
    ASSERT_EQ(WriteGeneratedTrack(study.track, options), 0);
    study.table.m_nRegionCount = 3;
    study.table.m_regionRects[0] = Rect{0, 0, 320, 240};
    study.table.m_regionRects[1] = Rect{200, 150, 440, 330};
    study.table.m_regionRects[2] = Rect{560, 400, 640, 480};
    study.table.m_regionNames[0] = "corner";
    study.table.m_regionNames[1] = "centre";
    study.table.m_regionNames[2] = "far";
    study.layout = study.dir.File("arena.json");
    ASSERT_EQ(SaveRegionLayout(study.layout, study.table, 6), 0);
}

// Test that the two files are the core's table and picture for the margin in force (the layout's
// or --margin's) and the scale asked for, and that stdout has a line per region.
TEST(SensitivityCommand, WritesTheCoresTableAndPicture)
{
    Study study;
    ASSERT_NO_FATAL_FAILURE(MakeStudy(study));
    struct Case
    {
        std::vector<std::string> extra;
        std::int32_t margin;
        std::int32_t scale;
    };
    const std::vector<Case> cases = {
        {{}, 6, kDefaultSensitivityScale},
        {{"--margin", "3", "--scale", "1"}, 3, 1},
        {{"--margin", "0", "--scale", "8"}, 0, 8},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.margin);
        const std::string out = study.dir.File("out" + std::to_string(c.margin));
        std::vector<std::string> args = {"sensitivity", study.track, "--layout", study.layout, "--out", out};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const ToolResult r = RunTool(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
        SensitivityResult expected;
        ASSERT_EQ(BuildSensitivity(study.track, study.table, c.margin, AnalysisSettings{}, expected), 0);
        EXPECT_EQ(ReadWholeFile(out + "/run.qtf_sensitivity.csv"), FormatSensitivityCsv(expected, "run.qtf"));
        const std::optional<DecodedPng> png = ReadPngFile(out + "/run.qtf_sensitivity.png");
        ASSERT_TRUE(png.has_value());
        const CRgbRaster picture =
            DrawSensitivityPicture(expected, SensitivityPictureOptions{c.scale, "run.qtf"});
        ASSERT_EQ(png->width, picture.Width());
        ASSERT_EQ(png->height, picture.Height());
        const RgbImageView view = picture.View();
        EXPECT_TRUE(std::equal(png->rgb.begin(), png->rgb.end(), view.pixels));
        ASSERT_EQ(expected.regions.size(), 3u);
        EXPECT_EQ(r.out.substr(0, r.out.find(':')), "corner");
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3);
        EXPECT_NE(r.out.find("centre: " + std::to_string(expected.regions[1].current.entries) + " entries; "),
                  std::string::npos)
            << r.out;
        EXPECT_EQ(VisibleEntries(SnapshotFolder(out)).size(), 2u);
    }
}

// Test that a batch asked for the sensitivity writes the command's files, and one not asked writes
// none.
TEST(SensitivityCommand, BatchWritesTheSameFilesOnlyWhenAsked)
{
    Study study;
    ASSERT_NO_FATAL_FAILURE(MakeStudy(study));
    const ToolResult single =
        RunTool({"sensitivity", study.track, "--layout", study.layout, "--out", study.dir.File("single")});
    ASSERT_EQ(single.exitCode, 0) << single.err;
    const ToolResult asked = RunTool({"batch", study.track, "--layout", study.layout, "--outputs",
                                      "visits,sensitivity", "--out", study.dir.File("asked"), "--jobs", "1"});
    ASSERT_EQ(asked.exitCode, 0) << asked.err;
    for (const char* name : {"run.qtf_sensitivity.csv", "run.qtf_sensitivity.png"})
        EXPECT_EQ(ReadWholeFile(study.dir.File("asked/") + name),
                  ReadWholeFile(study.dir.File("single/") + name))
            << name;
    const ToolResult unasked = RunTool(
        {"batch", study.track, "--layout", study.layout, "--out", study.dir.File("default"), "--jobs", "1"});
    ASSERT_EQ(unasked.exitCode, 0) << unasked.err;
    EXPECT_TRUE(std::filesystem::exists(study.dir.File("default/run.qtf_visits.csv")));
    EXPECT_FALSE(std::filesystem::exists(study.dir.File("default/run.qtf_sensitivity.csv")));
}

// Test that a malformed command line exits 2 with the usage, and that what cannot be read or
// written fails with one message and exit 1; neither leaves a file.
TEST(SensitivityCommand, RefusalsExitWithOneMessage)
{
    Study study;
    ASSERT_NO_FATAL_FAILURE(MakeStudy(study));
    const std::string& track = study.track;
    std::filesystem::create_directory(study.dir.File("out"));
    std::filesystem::create_directory(study.dir.File("out/run.qtf_sensitivity.png"));
    struct Case
    {
        std::vector<std::string> args;
        int exitCode;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"sensitivity"}, 2, "usage: tracktool sensitivity FILE"},
        {{"sensitivity", track}, 2, "usage: tracktool sensitivity FILE"},
        {{"sensitivity", track, "--layout", study.layout, "--region", "1,2,3,4"}, 2, "usage:"},
        {{"sensitivity", track, "--region", "1,2,3,4", "--scale", "0"}, 2, "usage:"},
        {{"sensitivity", track, "--region", "1,2,3,4", "--scale", "9"}, 2, "usage:"},
        {{"sensitivity", track, "--region", "1,2,3,4", "--margin", "-1"}, 2, "usage:"},
        {{"sensitivity", track, "--region", "1,2,3,4", "--out", ""}, 2, "usage:"},
        {{"sensitivity", study.dir.File("missing.qtf"), "--region", "0,0,9,9"}, 1, "Error opening file"},
        {{"sensitivity", track, "--layout", study.dir.File("missing.json")},
         1,
         "Cannot open the region layout"},
        {{"sensitivity", track, "--region", "0,0,9,9", "--out", track + "/results"},
         1,
         "Cannot make the folder " + track + "/results; nothing was written."},
        {{"sensitivity", track, "--region", "0,0,9,9", "--out", study.dir.File("out")},
         1,
         "Cannot create the picture file " + study.dir.File("out/run.qtf_sensitivity.png") + "."},
    };
    const auto before = SnapshotFolder(study.dir.Path());
    for (const Case& c : cases)
    {
        const ToolResult r = RunTool(c.args, study.dir.Path());
        EXPECT_EQ(r.exitCode, c.exitCode) << c.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.err;
    }
    EXPECT_EQ(SnapshotFolder(study.dir.Path()), before);
}
} // namespace
