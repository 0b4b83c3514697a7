// tracktool convert, run as a user would run it.
#include "cli/RunTool.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"

#include <gtest/gtest.h>
#include <unistd.h>

TEST(ConvertCommand, ConvertsAGeneratedTrackAndKeepsEverythingButPositionAndHeading)
{
    CTempDir dir;
    ASSERT_EQ(RunTool({"gen", dir.File("in.qtf"), "--records", "300", "--seed", "5"}).exitCode, 0);
    const ToolResult result = RunTool({"convert", dir.File("in.qtf"), dir.File("out.qtf")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "Conversion Completed\n");
    const std::string in = ReadWholeFile(dir.File("in.qtf"));
    const std::string out = ReadWholeFile(dir.File("out.qtf"));
    ASSERT_EQ(out.size(), in.size());
    EXPECT_EQ(out.substr(0, kTrackHeaderSize), in.substr(0, kTrackHeaderSize));
    int moved = 0;
    for (std::size_t r = 0; r < 300; ++r)
    {
        const std::size_t at = kTrackHeaderSize + r * kTrackRecordSize;
        EXPECT_EQ(out.substr(at, 1616), in.substr(at, 1616)) << r;
        EXPECT_EQ(out.substr(at + 1628, 200), in.substr(at + 1628, 200)) << r;
        const TrackRecord before = RecordAt(in, true, r);
        const TrackRecord after = RecordAt(out, true, r);
        const int dx = after.x - before.x;
        const int dy = after.y - before.y;
        // The recomputed center of the head lights lies near the tracker's own position.
        if (dx * dx + dy * dy < 15 * 15)
            ++moved;
    }
    EXPECT_GT(moved, 270);
}

TEST(ConvertCommand, ExitStatusFollowsTheRun)
{
    CTempDir dir;
    CTrackFileBuilder().AddSequence(20).WithTail(1000).Write(dir.File("partial.qtf"));
    CTrackFileBuilder().AddSequence(2).Write(dir.File("ok.qtf"));
    struct Case
    {
        std::vector<std::string> args;
        int exitCode;
        std::string err;
    };
    const Case cases[] = {
        {{"convert", dir.File("ok.qtf"), dir.File("o1.qtf"), "--min", "50", "--max", "50"},
         1,
         "Invalid Values For Min/Max Target Distance Values, Unable To Complete Conversion\n"},
        {{"convert", dir.File("partial.qtf"), dir.File("o2.qtf")},
         1,
         "Conversion Completed, last rec was incomplete.\n"},
        {{"convert", dir.File("none.qtf"), dir.File("o3.qtf")},
         1,
         "Error opening file to Read from; Is the file/path name correct?\nNo such file or directory\n"},
        {{"convert", dir.File("ok.qtf"), dir.File("o4.qtf"), "--min", "-3", "--max", "7"},
         0,
         "Conversion Completed\n"},
    };
    for (const Case& c : cases)
    {
        const ToolResult result = RunTool(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.err;
        EXPECT_EQ(result.err, c.err);
    }
    // The refused band opens nothing.
    EXPECT_NE(::access(dir.File("o1.qtf").c_str(), F_OK), 0);
}

TEST(ConvertCommand, UsageErrors)
{
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"convert"},
                                               {"convert", "a"},
                                               {"convert", "a", "b", "c"},
                                               {"convert", "a", "b", "--min"},
                                               {"convert", "a", "b", "--max", "ten"},
                                               {"convert", "a", "b", "--fast"}})
    {
        const ToolResult result = RunTool(args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find("usage: tracktool convert"), std::string::npos);
    }
}
