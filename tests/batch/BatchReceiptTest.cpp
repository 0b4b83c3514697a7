// The receipt beside each track's outputs: what it says of the input, read back as a rerun reads it.
#include "batch/BatchTestSupport.h"
#include "cli/RunTool.h"
#include "outputs/ReceiptOutput.h"
#include "support/FileChecks.h"
#include "support/TempDir.h"
#include "trackfile/ContentHash.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace
{
// Test that the receipt's hash is that of the whole file, its header and a cut-off tail included,
// though the pass hands over only whole records, and that it names the input, its size and its
// outputs.
TEST(BatchReceipt, TheHashIsThatOfTheWholeFile)
{
    struct Case
    {
        const char* what;
        std::uint32_t records;
        std::string tail;
        bool oldStyle;
    };
    const Case cases[] = {
        {"a current-style track", 700, "", false},
        {"with a cut-off last record", 300, "tail", false},
        {"without records", 0, "", false},
        {"an old-style track", 2, "", true},
    };
    for (const Case& c : cases)
    {
        CTempDir dir;
        WriteStudy(dir.File("study"), {{"t.qtf", c.records, 5}});
        const std::string track = dir.File("study/t.qtf");
        if (c.oldStyle)
            WriteWholeFile(track, std::string(c.records * 1828, 'x'));
        std::ofstream(track, std::ios::app | std::ios::binary) << c.tail;
        const ToolResult r = RunTool({"batch", "study", "--out", "out", "--outputs", "records"}, dir.Path());
        ASSERT_EQ(r.exitCode, 0) << c.what << r.err;
        const std::optional<ReadReceipt> receipt =
            ParseReceipt(ReadWholeFile(dir.File("out/t.qtf_receipt.json")));
        ASSERT_TRUE(receipt) << c.what;
        const std::string bytes = ReadWholeFile(track);
        EXPECT_EQ(receipt->hash, HashText(HashBytes(bytes.data(), bytes.size()))) << c.what;
        EXPECT_EQ(receipt->stamp.bytes, bytes.size()) << c.what;
        EXPECT_EQ(receipt->facts.input, "t.qtf") << c.what;
        EXPECT_EQ(receipt->facts.outputs, std::vector<std::string>{"t.qtf_track.csv"}) << c.what;
    }
}

// Test that a study's track is never taken for another study's same-named track in the same output
// folder: the second study's track is made again, saying its input changed.
TEST(BatchReceipt, AnotherStudysSameNamedTrackIsMadeAgain)
{
    CTempDir dir;
    WriteStudy(dir.File("day1"), {{"VT1.qtf", 300, 1}});
    WriteStudy(dir.File("day2"), {{"VT1.qtf", 300, 2}});
    ASSERT_EQ(RunTool({"batch", "day1", "--out", "res", "--outputs", "records"}, dir.Path()).exitCode, 0);
    const ToolResult r = RunTool({"batch", "day2", "--out", "res", "--outputs", "records"}, dir.Path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(WithoutSeconds(ReadWholeFile(dir.File("res/batch_status.csv"))),
              "file,status,message\nVT1.qtf,ok,changed: input\n");
    ASSERT_EQ(RunTool({"records", "day2/VT1.qtf", "single.csv"}, dir.Path()).exitCode, 0);
    EXPECT_EQ(ReadWholeFile(dir.File("res/VT1.qtf_track.csv")), ReadWholeFile(dir.File("single.csv")));
}

// Test that texts that are not receipts are refused, whatever part is wrong.
TEST(BatchReceipt, WhatIsNotAReceiptIsRefused)
{
    const std::string good =
        R"({"program": "trackplay", "version": "2", "input": {"file": "a", "bytes": 1,)"
        R"( "modified": "m", "xxh3_128": "h"}, "layout": null, "options": {}, "settings": {},)"
        R"( "outputs": ["a_track.csv"]})";
    ASSERT_TRUE(ParseReceipt(good));
    const auto with = [&good](const std::string& from, const std::string& to)
    {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::string bad[] = {
        "",
        "[]",
        good.substr(0, good.size() - 1),
        with("\"trackplay\"", "\"other\""),
        with("\"bytes\": 1", "\"bytes\": -1"),
        with("\"bytes\": 1", "\"bytes\": \"1\""),
        with("\"version\": \"2\", ", ""),
        with("\"layout\": null, ", ""),
        with("[\"a_track.csv\"]", "[1]"),
        with("[\"a_track.csv\"]", "\"a_track.csv\""),
        with("\"xxh3_128\": \"h\"", "\"xxh3_128\": 7"),
    };
    for (const std::string& text : bad)
        EXPECT_FALSE(ParseReceipt(text)) << text;
}
} // namespace
