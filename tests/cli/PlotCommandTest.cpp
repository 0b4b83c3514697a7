// tracktool plot and frame, run as a user would run them; the bitmaps are read back and their
// pixels checked.
#include "base/LittleEndian.h"
#include "cli/RunTool.h"
#include "support/PngReader.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <tuple>

namespace
{
using Colour = std::tuple<int, int, int>;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::size_t kStride = kWidth * 3;
constexpr Colour kPurple{128, 0, 128};

// A 640 x 480 24-bit bottom-up bitmap read back from a file.
struct Picture
{
    explicit Picture(const std::string& path) : bytes(ReadWholeFile(path)) {}
    [[nodiscard]] bool IsPlotBitmap() const
    {
        if (bytes.size() != 54 + kStride * kHeight)
            return false;
        const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
        return bytes.compare(0, 2, "BM") == 0 && LoadLE32(p + 2) == bytes.size() && LoadLE32(p + 10) == 54 &&
               LoadLE32(p + 18) == kWidth && LoadLE32(p + 22) == kHeight && LoadLE16(p + 28) == 24;
    }
    [[nodiscard]] Colour At(int x, int y) const
    {
        const std::size_t offset =
            54 + static_cast<std::size_t>(kHeight - 1 - y) * kStride + 3 * static_cast<std::size_t>(x);
        const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data()) + offset;
        return {p[2], p[1], p[0]};
    }
    // Colours other than black in the box [x0, x1) x [y0, y1).
    [[nodiscard]] std::set<Colour> ColoursIn(int x0, int y0, int x1, int y1) const
    {
        std::set<Colour> colours;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (At(x, y) != Colour{0, 0, 0})
                    colours.insert(At(x, y));
        return colours;
    }
    std::string bytes;
};

// 120 records, record i at (100 + 3 i, 200 + i), heading 0, with three targets and a point run.
std::string WriteTrack(const CTempDir& dir)
{
    CTrackFileBuilder builder;
    for (int i = 0; i < 120; ++i)
    {
        TrackRecord record =
            MakeRecord(1000 + i, 100 + 3 * i, 200 + i, 0,
                       {MakeTrackWord(500, 100, kWordBitRR), MakeTrackWord(520, 100, kWordBitRG),
                        MakeTrackWord(540, 100, kWordBitLum)});
        for (std::size_t k = 0; k < kMaxPoints; ++k)
            record.points[k] = 0;
        record.points[0] = MakeTrackWord(400, 420, kWordBitPB);
        record.points[1] = MakeTrackWord(450, 420, kWordBitPB);
        builder.Add(record);
    }
    return builder.Write(dir.File("t.qtf"));
}
} // namespace

TEST(PlotCommand, EveryNthMarkerOverTheRegionsWithTheLastSelected)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    const ToolResult result = RunTool(
        {"plot", track, dir.File("p.bmp"), "--region", "50,50,175,175", "--region", "300,300,400,400"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.err.empty()) << result.err;
    const Picture picture(dir.File("p.bmp"));
    ASSERT_TRUE(picture.IsPlotBitmap());
    EXPECT_EQ(picture.At(50, 100), (Colour{175, 175, 175}));
    EXPECT_EQ(picture.At(399, 350), (Colour{255, 0, 0}));
    EXPECT_EQ(picture.ColoursIn(5, 5, 11, 17), (std::set<Colour>{{143, 143, 143}})); // "0", dim
    EXPECT_EQ(picture.ColoursIn(15, 5, 21, 17), (std::set<Colour>{{255, 0, 0}}));    // "1", selected
    // Markers of records 0 and 60 (every 60th by default), none of record 30.
    EXPECT_EQ(picture.At(101, 201), kPurple);
    EXPECT_EQ(picture.At(281, 261), kPurple);
    EXPECT_TRUE(picture.ColoursIn(187, 227, 194, 234).empty());
    // Only markers: no points and no targets.
    EXPECT_TRUE(picture.ColoursIn(390, 410, 460, 430).empty());
    EXPECT_TRUE(picture.ColoursIn(495, 95, 545, 105).empty());
}

TEST(PlotCommand, EveryRecordAndNoSelection)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    const ToolResult result = RunTool({"plot", track, dir.File("p.bmp"), "--every", "0", "--region",
                                       "50,50,175,175", "--region", "300,300,400,400", "--selected", "-1"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const Picture picture(dir.File("p.bmp"));
    ASSERT_TRUE(picture.IsPlotBitmap());
    EXPECT_FALSE(picture.ColoursIn(187, 227, 194, 234).empty()); // record 30 as well
    EXPECT_EQ(picture.At(458, 320), kPurple);                    // the last record's dot on top
    EXPECT_EQ(picture.ColoursIn(15, 5, 21, 17), (std::set<Colour>{{127, 0, 0}}));
}

TEST(PlotCommand, LongPlotQuestionIsAnsweredYes)
{
    CTempDir dir;
    ASSERT_EQ(RunTool({"gen", dir.File("g.qtf"), "--records", "10001"}).exitCode, 0);
    const ToolResult result = RunTool({"plot", dir.File("g.qtf"), dir.File("p.bmp"), "--every", "1"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(
        result.err.find("This will result in plotting 10001 records which will take a long time, do you "
                        "wish to continue?"),
        std::string::npos)
        << result.err;
    const Picture picture(dir.File("p.bmp"));
    ASSERT_TRUE(picture.IsPlotBitmap());
    EXPECT_FALSE(picture.ColoursIn(0, 0, kWidth, kHeight).empty());

    const ToolResult quiet = RunTool({"plot", dir.File("g.qtf"), dir.File("q.bmp"), "--every", "2"});
    ASSERT_EQ(quiet.exitCode, 0);
    EXPECT_TRUE(quiet.err.empty()) << quiet.err;
}

TEST(PlotCommand, FrameShowsPointsOrTargetsThroughTheFilter)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    struct Case
    {
        std::vector<std::string> extra;
        Colour red, green, grey, points; // centre of each target block, a pixel of the point run
    };
    const Colour black{0, 0, 0};
    const Case cases[] = {
        {{}, black, black, black, {0, 0, 255}},
        {{"--targets"}, {255, 0, 0}, {0, 255, 0}, {159, 159, 159}, black},
        {{"--targets", "--colors", "RR,Lum"}, {255, 0, 0}, black, {159, 159, 159}, black},
        {{"--targets", "--colors", ""}, black, black, black, black},
        {{"--colors", "RR"}, black, black, black, black},
    };
    for (const Case& c : cases)
    {
        std::vector<std::string> args = {"frame", track, "10", dir.File("f.bmp")};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const ToolResult result = RunTool(args);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const Picture picture(dir.File("f.bmp"));
        ASSERT_TRUE(picture.IsPlotBitmap());
        EXPECT_EQ(picture.At(500, 100), c.red);
        EXPECT_EQ(picture.At(520, 100), c.green);
        EXPECT_EQ(picture.At(540, 100), c.grey);
        EXPECT_EQ(picture.At(425, 420), c.points);
        EXPECT_EQ(picture.At(131, 211), kPurple); // the marker of record 10 at (130, 210)
        EXPECT_EQ(picture.At(101, 201), black);   // nothing of any other record
    }
}

TEST(PlotCommand, FrameDrawsTheRegionsUnderTheRecord)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    const ToolResult result = RunTool({"frame", track, "0", dir.File("f.bmp"), "--region", "90,150,300,250",
                                       "--region", "10,400,20,410", "--selected", "0"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const Picture picture(dir.File("f.bmp"));
    EXPECT_EQ(picture.At(90, 160), (Colour{175, 175, 175}));
    EXPECT_EQ(picture.At(10, 405), (Colour{255, 0, 0}));
    EXPECT_EQ(picture.ColoursIn(5, 5, 11, 17), (std::set<Colour>{{175, 175, 175}}));
    EXPECT_EQ(picture.At(101, 201), kPurple);
}

// A name ending in .png, in any case, gets the bitmap's pixels as PNG; any other name the bitmap.
TEST(PlotCommand, PngNameWritesTheBitmapsPixelsAsPng)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    const std::vector<std::vector<std::string>> commands = {
        {"plot", track, "", "--every", "7", "--region", "50,50,175,175"},
        {"frame", track, "10", "", "--targets", "--region", "90,150,300,250"},
    };
    for (const auto& command : commands)
    {
        SCOPED_TRACE(command[0]);
        const std::size_t outAt = command[0] == "plot" ? 2 : 3;
        auto run = [&](const std::string& out)
        {
            std::vector<std::string> args = command;
            args[outAt] = dir.File(out);
            return RunTool(args);
        };
        ASSERT_EQ(run("reference.bmp").exitCode, 0);
        const Picture reference(dir.File("reference.bmp"));
        ASSERT_TRUE(reference.IsPlotBitmap());
        for (const std::string name : {"p.png", "p.PNG", "p.pNg"})
        {
            SCOPED_TRACE(name);
            const ToolResult result = run(name);
            ASSERT_EQ(result.exitCode, 0) << result.err;
            EXPECT_TRUE(result.err.empty()) << result.err;
            const auto png = ReadPngFile(dir.File(name));
            ASSERT_TRUE(png.has_value());
            ASSERT_EQ(png->width, kWidth);
            ASSERT_EQ(png->height, kHeight);
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                {
                    const auto [r, g, b] = reference.At(x, y);
                    ASSERT_EQ(png->At(x, y), (std::vector<int>{r, g, b})) << x << "," << y;
                }
        }
        for (const std::string name : {"p.png.bmp", "p.pngx", "p"})
        {
            SCOPED_TRACE(name);
            ASSERT_EQ(run(name).exitCode, 0);
            EXPECT_EQ(ReadWholeFile(dir.File(name)), reference.bytes);
        }
    }
}

// Test that --scale K draws each plot pixel as a K x K square, in either format.
TEST(PlotCommand, ScaleEnlargesEveryPlotPixel)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    const std::vector<std::string> base = {"--every", "7", "--region", "50,50,175,175"};
    auto run = [&](const std::string& out, const std::vector<std::string>& extra)
    {
        std::vector<std::string> args = {"plot", track, dir.File(out)};
        args.insert(args.end(), base.begin(), base.end());
        args.insert(args.end(), extra.begin(), extra.end());
        return RunTool(args);
    };
    ASSERT_EQ(run("reference.bmp", {}).exitCode, 0);
    const Picture reference(dir.File("reference.bmp"));
    ASSERT_TRUE(reference.IsPlotBitmap());
    ASSERT_EQ(run("one.bmp", {"--scale", "1"}).exitCode, 0);
    EXPECT_EQ(ReadWholeFile(dir.File("one.bmp")), reference.bytes);

    const ToolResult png = run("p.png", {"--scale", "2"});
    ASSERT_EQ(png.exitCode, 0) << png.err;
    const auto decoded = ReadPngFile(dir.File("p.png"));
    ASSERT_TRUE(decoded.has_value());
    ASSERT_EQ(decoded->width, 2 * kWidth);
    ASSERT_EQ(decoded->height, 2 * kHeight);
    for (int y = 0; y < 2 * kHeight; ++y)
        for (int x = 0; x < 2 * kWidth; ++x)
        {
            const auto [r, g, b] = reference.At(x / 2, y / 2);
            ASSERT_EQ(decoded->At(x, y), (std::vector<int>{r, g, b})) << x << "," << y;
        }

    ASSERT_EQ(run("p3.bmp", {"--scale", "3"}).exitCode, 0);
    const std::string bytes = ReadWholeFile(dir.File("p3.bmp"));
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::size_t stride = 3 * kWidth * 3; // 5760 bytes: a multiple of 4, no padding
    ASSERT_EQ(bytes.size(), 54 + stride * 3 * kHeight);
    EXPECT_EQ(LoadLE32(p + 18), 3u * kWidth);
    EXPECT_EQ(LoadLE32(p + 22), 3u * kHeight);
    for (int y = 0; y < 3 * kHeight; ++y)
        for (int x = 0; x < 3 * kWidth; ++x)
        {
            const std::uint8_t* pixel = p + 54 + static_cast<std::size_t>(3 * kHeight - 1 - y) * stride +
                                        3 * static_cast<std::size_t>(x);
            ASSERT_EQ((Colour{pixel[2], pixel[1], pixel[0]}), reference.At(x / 3, y / 3)) << x << "," << y;
        }
}

// Test that a layout draws its regions as the same regions given one by one would, with its first
// region selected as the window selects it after loading, unless --selected says otherwise.
TEST(PlotCommand, LayoutDrawsItsRegionsWithTheFirstSelected)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    const std::string layout = dir.File("arena.json");
    ASSERT_TRUE(WriteWholeFile(layout, "{\"format\": \"trackplay-layout\", \"version\": 1, \"regions\": ["
                                       "{\"name\": \"open arm\", \"rect\": [50, 50, 175, 175]}, "
                                       "{\"rect\": [400, 400, 300, 300]}]}"));
    const std::vector<std::string> regions = {"--region", "50,50,175,175", "--region", "400,400,300,300"};
    struct Case
    {
        std::vector<std::string> command; // the output's name goes last
        std::vector<std::string> selection;
        std::vector<std::string> sameSelection; // the selection the regions one by one need
    };
    const Case cases[] = {
        {{"plot", track}, {}, {"--selected", "0"}},
        {{"plot", track}, {"--selected", "1"}, {"--selected", "1"}},
        {{"plot", track}, {"--selected", "-1"}, {"--selected", "-1"}},
        {{"frame", track, "3"}, {}, {"--selected", "0"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.command.front() + " " + (c.selection.empty() ? "" : c.selection.back()));
        std::vector<std::string> fromLayout = c.command;
        fromLayout.push_back(dir.File("layout.bmp"));
        fromLayout.insert(fromLayout.end(), {"--layout", layout});
        fromLayout.insert(fromLayout.end(), c.selection.begin(), c.selection.end());
        std::vector<std::string> oneByOne = c.command;
        oneByOne.push_back(dir.File("regions.bmp"));
        oneByOne.insert(oneByOne.end(), regions.begin(), regions.end());
        oneByOne.insert(oneByOne.end(), c.sameSelection.begin(), c.sameSelection.end());
        const ToolResult a = RunTool(fromLayout);
        const ToolResult b = RunTool(oneByOne);
        ASSERT_EQ(a.exitCode, 0) << a.err;
        ASSERT_EQ(b.exitCode, 0) << b.err;
        const Picture picture(dir.File("layout.bmp"));
        ASSERT_TRUE(picture.IsPlotBitmap());
        EXPECT_EQ(picture.bytes, ReadWholeFile(dir.File("regions.bmp")));
        EXPECT_EQ(picture.At(50, 100), (Colour{175, 175, 175}));
    }
    // A layout that cannot be used is told and nothing is written; with --region it is a usage error.
    const std::string bad = dir.File("bad.json");
    ASSERT_TRUE(WriteWholeFile(bad, "{\"format\": \"trackplay-layout\", \"version\": 9, \"regions\": []}"));
    for (const std::string command : {"plot", "frame"})
    {
        SCOPED_TRACE(command);
        std::vector<std::string> args = {command, track};
        if (command == "frame")
            args.push_back("0");
        args.push_back(dir.File("x.png"));
        std::vector<std::string> faulty = args;
        faulty.insert(faulty.end(), {"--layout", bad});
        const ToolResult r = RunTool(faulty);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("The region layout " + bad + " cannot be loaded"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("x.png")));
        std::vector<std::string> both = args;
        both.insert(both.end(), {"--layout", layout, "--region", "1,2,3,4"});
        EXPECT_EQ(RunTool(both).exitCode, 2);
        EXPECT_FALSE(std::filesystem::exists(dir.File("x.png")));
    }
}

TEST(PlotCommand, UsageErrorsExitWithTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {"plot"},
        {"plot", "t.qtf"},
        {"plot", "t.qtf", "a.bmp", "b.bmp"},
        {"plot", "t.qtf", "a.bmp", "--every", "-1"},
        {"plot", "t.qtf", "a.bmp", "--every"},
        {"plot", "t.qtf", "a.bmp", "--region", "1,2,3"},
        {"plot", "t.qtf", "a.bmp", "--region", "1,2,3,4,5"},
        {"plot", "t.qtf", "a.bmp", "--region", "1,2,x,4"},
        {"plot", "t.qtf", "a.bmp", "--selected", "50"},
        {"plot", "t.qtf", "a.bmp", "--selected", "-2"},
        {"plot", "t.qtf", "a.bmp", "--targets"},
        {"frame", "t.qtf", "a.bmp"},
        {"frame", "t.qtf", "x", "a.bmp"},
        {"frame", "t.qtf", "1", "a.bmp", "--colors", "RR,XX"},
        {"frame", "t.qtf", "1", "a.bmp", "--colors", "RR,"},
        {"frame", "t.qtf", "1", "a.bmp", "--every", "3"},
        {"plot", "t.qtf", "a.png", "--scale", "0"},
        {"plot", "t.qtf", "a.png", "--scale", "9"},
        {"frame", "t.qtf", "1", "a.png", "--scale", "-1"},
    };
    for (const auto& args : cases)
    {
        const ToolResult result = RunTool(args);
        EXPECT_EQ(result.exitCode, 2) << args.size() << " " << args.back();
        EXPECT_NE(result.err.find("usage: tracktool " + args[0]), std::string::npos);
    }
}

TEST(PlotCommand, FailuresExitWithOne)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    const std::vector<std::vector<std::string>> cases = {
        {"plot", dir.File("missing.qtf"), dir.File("a.bmp")},
        {"plot", track, dir.File("none/a.bmp")},
        {"frame", track, "120", dir.File("a.bmp")},
        {"frame", dir.File("missing.qtf"), "0", dir.File("a.bmp")},
        {"frame", track, "0", dir.File("none/a.bmp")},
        {"plot", track, dir.File("none/a.png")},
        {"frame", track, "0", dir.File("none/a.png")},
    };
    for (const auto& args : cases)
    {
        const ToolResult result = RunTool(args);
        EXPECT_EQ(result.exitCode, 1) << args[0] << " " << args[1] << " " << args[2];
        EXPECT_FALSE(result.err.empty());
    }
    EXPECT_NE(
        RunTool({"plot", track, dir.File("none/a.bmp")}).err.find("Unable to create() file to save .bmp..."),
        std::string::npos);
    EXPECT_EQ(RunTool({"frame", track, "0", dir.File("none/a.png")}).err,
              "Cannot create the picture file " + dir.File("none/a.png") + ".\nNo such file or directory\n");
}

// Test that plot and frame outline circles and polygons by their shapes, in their regions' colours,
// never by their boxes.
TEST(PlotCommand, CirclesAndPolygonsAreOutlinedByTheirShapes)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir);
    const std::vector<std::string> regions = {"--circle", "320,100,30", "--polygon",
                                              "500,300,600,300,500,400"};
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"plot", track, dir.File("p.bmp")},
          {"frame", track, "5", dir.File("p.bmp")}})
    {
        std::vector<std::string> args = command;
        args.insert(args.end(), regions.begin(), regions.end());
        const ToolResult result = RunTool(args);
        ASSERT_EQ(result.exitCode, 0) << command[0] << result.err;
        const Picture picture(dir.File("p.bmp"));
        ASSERT_TRUE(picture.IsPlotBitmap()) << command[0];
        EXPECT_EQ(picture.At(290, 100), (Colour{175, 175, 175})) << command[0]; // the circle's leftmost
        EXPECT_EQ(picture.At(349, 100), (Colour{175, 175, 175})) << command[0]; // and rightmost pixel
        EXPECT_EQ(picture.At(290, 70), (Colour{0, 0, 0})) << command[0];        // not its box's corner
        EXPECT_EQ(picture.At(550, 300), (Colour{255, 0, 0})) << command[0];     // the polygon's top edge
        EXPECT_EQ(picture.At(550, 350), (Colour{255, 0, 0})) << command[0];     // its long edge
        EXPECT_EQ(picture.At(599, 399), (Colour{0, 0, 0})) << command[0];       // not its box's corner
    }
}
