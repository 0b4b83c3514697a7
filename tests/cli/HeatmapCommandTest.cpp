// tracktool heatmap, run as a user would run it: the picture read back with libpng, the matrix
// read back as text, what it prints, its usage errors and its failures.
#include "cli/RunTool.h"
#include "plot/HeatmapPicture.h"
#include "plot/Viridis.h"
#include "support/FileChecks.h"
#include "support/PngReader.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <numeric>
#include <sstream>

namespace
{
// 120 records at (15, 25), 60 at the plot's last pixel, and three off the plot.
std::string WriteTrack(const CTempDir& dir)
{
    CTrackFileBuilder builder;
    std::int64_t timestamp = 0;
    for (int i = 0; i < 120; ++i)
        builder.Add(MakeRecord(timestamp++, 15, 25));
    for (int i = 0; i < 60; ++i)
        builder.Add(MakeRecord(timestamp++, 639, 479));
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{-5, 10}, {700, 10}, {10, 480}})
        builder.Add(MakeRecord(timestamp++, x, y));
    return builder.Write(dir.File("t.qtf"));
}

// The matrix as numbers, row by row.
std::vector<std::vector<double>> ReadMatrix(const std::string& path)
{
    std::vector<std::vector<double>> rows;
    std::istringstream text(ReadWholeFile(path));
    std::string line;
    while (std::getline(text, line))
    {
        std::vector<double> row;
        std::istringstream fields(line);
        std::string field;
        while (std::getline(fields, field, ','))
            row.push_back(std::stod(field));
        rows.push_back(row);
    }
    return rows;
}

double Sum(const std::vector<std::vector<double>>& rows)
{
    double total = 0.0;
    for (const auto& row : rows)
        total = std::accumulate(row.begin(), row.end(), total);
    return total;
}

// The layout the picture has for a map of bins binPixels wide, at scale 1.
HeatmapLayout LayoutFor(std::int32_t binPixels, std::optional<double> vmax, double largest)
{
    COccupancyGrid grid(binPixels);
    OccupancyMap map = grid.Map();
    map.seconds[0] = largest;
    HeatmapPictureOptions options;
    options.vmax = vmax;
    options.fileName = "t.qtf";
    options.secondsBinned = 3.0;
    options.recordsOffPlot = 3;
    return LayOutHeatmapPicture(map, options);
}

std::vector<int> Channels(Rgb c)
{
    return {c.r, c.g, c.b};
}
} // namespace

TEST(HeatmapCommand, WritesThePictureAndTheMatrix)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    const ToolResult result = RunTool({"heatmap", track, dir.File("h.png"), "--csv", dir.File("h.csv")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "t.qtf: 3.000000 s binned, 3 records off the plot\n");
    EXPECT_EQ(result.err, "");

    const std::vector<std::vector<double>> matrix = ReadMatrix(dir.File("h.csv"));
    ASSERT_EQ(matrix.size(), 48u);
    for (const auto& row : matrix)
        ASSERT_EQ(row.size(), 64u);
    EXPECT_EQ(matrix[2][1], 2.0);
    EXPECT_EQ(matrix[47][63], 1.0);
    EXPECT_EQ(Sum(matrix), 3.0);

    const auto png = ReadPngFile(dir.File("h.png"));
    ASSERT_TRUE(png.has_value());
    const HeatmapLayout layout = LayoutFor(10, std::nullopt, 2.0);
    ASSERT_EQ(png->width, 2 * layout.width); // scale 2 by default
    ASSERT_EQ(png->height, 2 * layout.height);
    auto at = [&](int x, int y) { return png->At(2 * (layout.plot.left + x), 2 * (layout.plot.top + y)); };
    EXPECT_EQ(at(15, 25), Channels(kViridis[255]));
    EXPECT_EQ(at(639, 479), Channels(kViridis[128]));
    EXPECT_EQ(at(300, 300), (std::vector<int>{210, 210, 210})); // never visited
}

// Test each option's effect on the matrix and the picture.
TEST(HeatmapCommand, OptionsShapeTheMatrixAndThePicture)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    struct Case
    {
        std::vector<std::string> options;
        std::size_t rows, columns;
        std::int32_t bin;
        std::optional<double> vmax;
        std::int32_t scale;
        std::vector<int> atFirst; // the picture at (15, 25)
        std::vector<int> atLast;  // the picture at (639, 479)
    };
    const Case cases[] = {
        {{"--bin", "320"}, 2, 2, 320, std::nullopt, 2, Channels(kViridis[255]), Channels(kViridis[128])},
        {{"--bin", "7"}, 69, 92, 7, std::nullopt, 2, Channels(kViridis[255]), Channels(kViridis[128])},
        {{"--bin", "640"}, 1, 1, 640, std::nullopt, 2, Channels(kViridis[255]), Channels(kViridis[255])},
        {{"--vmax", "1"}, 48, 64, 10, 1.0, 2, Channels(kViridis[255]), Channels(kViridis[255])},
        {{"--vmax", "4"}, 48, 64, 10, 4.0, 2, Channels(kViridis[128]), Channels(kViridis[64])},
        {{"--scale", "1"}, 48, 64, 10, std::nullopt, 1, Channels(kViridis[255]), Channels(kViridis[128])},
        {{"--scale", "3", "--bin", "320", "--sigma", "0"},
         2,
         2,
         320,
         std::nullopt,
         3,
         Channels(kViridis[255]),
         Channels(kViridis[128])},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.options.front() + " " + c.options[1]);
        std::vector<std::string> args = {"heatmap", track, dir.File("h.png"), "--csv", dir.File("h.csv")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const ToolResult result = RunTool(args);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::vector<std::vector<double>> matrix = ReadMatrix(dir.File("h.csv"));
        ASSERT_EQ(matrix.size(), c.rows);
        ASSERT_EQ(matrix.front().size(), c.columns);
        EXPECT_EQ(Sum(matrix), 3.0);
        const auto png = ReadPngFile(dir.File("h.png"));
        ASSERT_TRUE(png.has_value());
        const double largest = c.bin == 640 ? 3.0 : 2.0;
        const HeatmapLayout layout = LayoutFor(c.bin, c.vmax, largest);
        ASSERT_EQ(png->width, c.scale * layout.width);
        auto at = [&](int x, int y)
        { return png->At(c.scale * (layout.plot.left + x), c.scale * (layout.plot.top + y)); };
        EXPECT_EQ(at(15, 25), c.atFirst);
        EXPECT_EQ(at(639, 479), c.atLast);
    }
}

TEST(HeatmapCommand, SmoothingSpreadsTheTimeAndKeepsItsTotal)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    const ToolResult result = RunTool(
        {"heatmap", track, dir.File("h.png"), "--csv", dir.File("h.csv"), "--bin", "80", "--sigma", "0.75"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "t.qtf: 3.000000 s binned, 3 records off the plot\n");
    const std::vector<std::vector<double>> matrix = ReadMatrix(dir.File("h.csv"));
    ASSERT_EQ(matrix.size(), 6u);
    EXPECT_NEAR(Sum(matrix), 3.0, 48 * 0.5e-6); // each field rounded to six decimals
    EXPECT_LT(matrix[0][0], 2.0);
    EXPECT_GT(matrix[0][1], 0.0);
    EXPECT_GT(matrix[1][0], 0.0);
    EXPECT_GT(matrix[0][0], matrix[0][1]);
}

// Test that a layout's regions and names are drawn as the same regions given one by one are, and
// that a layout that cannot be used is told with nothing written.
TEST(HeatmapCommand, LayoutDrawsItsNamedRegions)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    const std::string layout = dir.File("arena.json");
    ASSERT_TRUE(WriteWholeFile(layout, "{\"format\": \"trackplay-layout\", \"version\": 1, \"regions\": ["
                                       "{\"name\": \"open arm\", \"rect\": [50, 50, 175, 175]}, "
                                       "{\"rect\": [400, 400, 300, 300]}]}"));
    const ToolResult a = RunTool({"heatmap", track, dir.File("layout.png"), "--layout", layout});
    const ToolResult b = RunTool({"heatmap", track, dir.File("regions.png"), "--region",
                                  "50,50,175,175:open arm", "--region", "400,400,300,300:Box1"});
    ASSERT_EQ(a.exitCode, 0) << a.err;
    ASSERT_EQ(b.exitCode, 0) << b.err;
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(ReadWholeFile(dir.File("layout.png")), ReadWholeFile(dir.File("regions.png")));
    const ToolResult plain = RunTool({"heatmap", track, dir.File("plain.png")});
    ASSERT_EQ(plain.exitCode, 0);
    EXPECT_NE(ReadWholeFile(dir.File("layout.png")), ReadWholeFile(dir.File("plain.png")));

    const std::string bad = dir.File("bad.json");
    ASSERT_TRUE(WriteWholeFile(bad, "{\"format\": \"trackplay-layout\", \"version\": 1, \"regions\": [{}]}"));
    const ToolResult r =
        RunTool({"heatmap", track, dir.File("h.png"), "--csv", dir.File("h.csv"), "--layout", bad});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("The region layout " + bad + " cannot be loaded: regions[0]"), std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir.File("h.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("h.csv")));
}

TEST(HeatmapCommand, UsageErrorsWriteNothing)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    const std::string out = dir.File("h.png");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--bin", "0"},
        {"--bin", "-1"},
        {"--bin", "641"},
        {"--bin", "1.5"},
        {"--bin"},
        {"--sigma", "-1"},
        {"--sigma", "-0.5"},
        {"--sigma", "abc"},
        {"--sigma", "1e1"},
        {"--sigma", "inf"},
        {"--sigma", ""},
        {"--sigma", "1000.5"},
        {"--vmax", "0"},
        {"--vmax", "0.0"},
        {"--vmax", "-2"},
        {"--vmax", "nan"},
        {"--scale", "0"},
        {"--scale", "9"},
        {"--scale", "2.0"},
        {"--csv", ""},
        {"--csv", out},
        {"--csv", dir.File("./h.png")},
        {"--region", "1,2,3"},
        {"--layout", ""},
        {"--layout", "a.json", "--region", "1,2,3,4"},
        {"--targets"},
    };
    for (const auto& extra : cases)
    {
        SCOPED_TRACE(extra.empty() ? std::string("none") : extra.front() + " " + extra.back());
        std::vector<std::string> args = {"heatmap", track, out};
        if (extra.empty())
            args.pop_back(); // no picture named at all
        args.insert(args.end(), extra.begin(), extra.end());
        const ToolResult result = RunTool(args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find("usage: tracktool heatmap FILE OUT.png"), std::string::npos) << result.err;
        EXPECT_EQ(VisibleEntries(SnapshotFolder(dir.Path())).size(), 1u); // the track alone
    }
    for (const std::string name : {"h.bmp", "h.png.csv", "h"})
    {
        SCOPED_TRACE(name);
        const ToolResult result = RunTool({"heatmap", track, dir.File(name)});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find("does not end in .png"), std::string::npos) << result.err;
    }
}

// Test that a failure exits with 1, names the file, and leaves the outputs' names as they were:
// the picture and the matrix appear together or not at all.
TEST(HeatmapCommand, FailuresLeaveNeitherFile)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    ASSERT_TRUE(WriteWholeFile(dir.File("old.png"), "an earlier picture"));
    struct Case
    {
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"heatmap", dir.File("missing.qtf"), dir.File("h.png")},
         "Error opening file; Is the file/path name correct?"},
        {{"heatmap", track, dir.File("none/h.png"), "--csv", dir.File("h.csv")},
         "Cannot create the picture file " + dir.File("none/h.png") + ".\nNo such file or directory\n"},
        {{"heatmap", track, dir.File("old.png"), "--csv", dir.File("none/h.csv")},
         "Cannot create the matrix file " + dir.File("none/h.csv") + ".\nNo such file or directory\n"},
        {{"heatmap", track, dir.File("old.png"), "--csv", dir.Path()},
         "Cannot create the matrix file " + dir.Path() + ".\n" + dir.Path() +
             " is a directory, not a file.\n"},
        {{"heatmap", track, track + ".png", "--csv", track},
         "Cannot create the matrix file " + track + ".\n" + track +
             " is a file this program is reading; it is left as it is.\n"},
    };
    const auto before = SnapshotFolder(dir.Path());
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.args[2]);
        const ToolResult result = RunTool(c.args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    }
}
