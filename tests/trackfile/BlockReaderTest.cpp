#include "trackfile/BlockReader.h"

#include "base/ResultCodes.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "trackfile/TrackFile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace
{
// Keeps every record it is handed, with the indexes it was told, and what was called on it.
class CCollectingConsumer final : public IRecordConsumer
{
public:
    int Begin(const TrackSourceInfo& source) override
    {
        info = source;
        calls.push_back("begin");
        return beginResult;
    }
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override
    {
        calls.push_back("consume");
        blockSizes.push_back(records.size());
        for (std::size_t k = 0; k < records.size(); ++k)
        {
            indexes.push_back(firstIndex + k);
            std::string bytes(sizeof(TrackRecord), '\0');
            std::memcpy(bytes.data(), &records[k], sizeof(TrackRecord));
            recordBytes.push_back(std::move(bytes));
        }
        if (onConsume)
            onConsume();
        return consumeResult;
    }
    int End() override
    {
        calls.push_back("end");
        return endResult;
    }
    void Abandon() override { calls.push_back("abandon"); }

    TrackSourceInfo info;
    std::vector<std::string> calls;
    std::vector<std::size_t> blockSizes;
    std::vector<std::uint64_t> indexes;
    std::vector<std::string> recordBytes;
    std::function<void()> onConsume;
    int beginResult = kOk;
    int consumeResult = kOk;
    int endResult = kOk;
};

std::string RecordBytes(const TrackRecord& record)
{
    std::string bytes(sizeof(TrackRecord), '\0');
    std::memcpy(bytes.data(), &record, sizeof(TrackRecord));
    return bytes;
}

class BlockReaderTest : public ::testing::Test
{
protected:
    CRecordingMessageSink sink;
    CScopedMessageSink scoped{sink};
    CTempDir dir;
};
} // namespace

// Test that every record arrives once, in order, with its index, whatever the block size, and
// that the count, header and tail agree with the window's reader.
TEST_F(BlockReaderTest, HandsEveryRecordInOrderAcrossBlocks)
{
    struct Case
    {
        const char* name;
        std::uint32_t records;
        bool header;
        std::uint32_t tail;
        std::size_t blockRecords;
    };
    const Case cases[] = {
        {"empty file, old style", 0, false, 0, 4},
        {"header only", 0, true, 0, 4},
        {"one record", 1, true, 0, 4},
        {"exactly two blocks", 8, true, 0, 4},
        {"two blocks and one", 9, false, 0, 4},
        {"blocks of one", 5, true, 0, 1},
        {"tail after records", 7, true, 100, 3},
        {"default block", 1200, true, 1827, kBlockReaderRecords},
        {"tail alone, old style", 0, false, 50, 4},
    };
    for (const Case& c : cases)
    {
        sink.messages.clear();
        const CTrackFileBuilder builder =
            CTrackFileBuilder().WithHeader(c.header).AddSequence(c.records, 77, 3).WithTail(c.tail);
        const std::string path = builder.Write(dir.File("t.qtf"));

        CBlockReader reader(c.blockRecords);
        ASSERT_EQ(reader.Open(path), kOk) << c.name;
        CTrackFile windowReader;
        ASSERT_EQ(windowReader.Open(path), kOk) << c.name;
        EXPECT_EQ(reader.Info().records, windowReader.GetRecordCount()) << c.name;
        EXPECT_EQ(reader.Info().hasHeader, windowReader.HasHeader()) << c.name;
        EXPECT_EQ(reader.Info().tailBytes, windowReader.GetTailBytes()) << c.name;
        EXPECT_EQ(reader.Info().fileName, "t.qtf") << c.name;

        CCollectingConsumer first;
        CCollectingConsumer second;
        IRecordConsumer* consumers[] = {&first, &second};
        EXPECT_EQ(reader.Run(consumers), kOk) << c.name;
        ASSERT_EQ(first.recordBytes.size(), c.records) << c.name;
        for (std::uint32_t i = 0; i < c.records; ++i)
        {
            EXPECT_EQ(first.indexes[i], i) << c.name;
            EXPECT_EQ(first.recordBytes[i], RecordBytes(builder.Records()[i])) << c.name << " record " << i;
        }
        EXPECT_EQ(second.recordBytes, first.recordBytes) << c.name;
        for (const std::size_t size : first.blockSizes)
            EXPECT_LE(size, c.blockRecords) << c.name;
        EXPECT_EQ(first.calls.front(), "begin") << c.name;
        EXPECT_EQ(first.calls.back(), "end") << c.name;
        // The tail is told once, at opening, by each reader.
        const std::size_t expectedMessages = c.tail != 0 ? 2 : 0;
        EXPECT_EQ(sink.messages.size(), expectedMessages) << c.name;
    }
}

// Test that a file cut short while it is read fails the pass once, and nothing is ended.
TEST_F(BlockReaderTest, FileThatGetsShorterFailsThePassOnce)
{
    const std::string path = CTrackFileBuilder().AddSequence(20).Write(dir.File("t.qtf"));
    CBlockReader reader(4);
    ASSERT_EQ(reader.Open(path), kOk);
    CCollectingConsumer consumer;
    consumer.onConsume = [&] { std::filesystem::resize_file(path, kTrackHeaderSize + 6 * kTrackRecordSize); };
    CCollectingConsumer other;
    IRecordConsumer* consumers[] = {&consumer, &other};
    EXPECT_EQ(reader.Run(consumers), kErrNoRecord);
    EXPECT_EQ(consumer.indexes.size(), 4u);
    EXPECT_EQ(consumer.calls.back(), "abandon");
    EXPECT_EQ(other.calls.back(), "abandon");
    EXPECT_EQ(std::count(consumer.calls.begin(), consumer.calls.end(), "end"), 0);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].find("t.qtf got shorter while it was read (record 6"), std::string::npos)
        << sink.messages[0];
}

// Test that a consumer's refusal and the user's cancel end the pass with their results.
TEST_F(BlockReaderTest, RefusalsAndCancelAbandonEveryConsumer)
{
    const std::string path = CTrackFileBuilder().AddSequence(10).Write(dir.File("t.qtf"));
    struct Case
    {
        const char* name;
        int beginResult;
        int consumeResult;
        int endResult;
        bool cancel;
        int expected;
        const char* lastCall;
        std::size_t recordsSeen;
    };
    const Case cases[] = {
        {"begin refused", -601, kOk, kOk, false, -601, "abandon", 0},
        {"consume refused", kOk, -1, kOk, false, -1, "abandon", 4},
        {"end failed", kOk, kOk, -601, false, -601, "end", 10},
        {"cancelled after the first block", kOk, kOk, kOk, true, kErrCancelled, "abandon", 4},
    };
    for (const Case& c : cases)
    {
        CBlockReader reader(4);
        ASSERT_EQ(reader.Open(path), kOk);
        CCollectingConsumer refusing;
        refusing.beginResult = c.beginResult;
        refusing.consumeResult = c.consumeResult;
        refusing.endResult = c.endResult;
        CCollectingConsumer other;
        IRecordConsumer* consumers[] = {&refusing, &other};
        std::uint64_t reported = 0;
        const int result = reader.Run(consumers,
                                      [&](std::uint64_t done, std::uint64_t total)
                                      {
                                          EXPECT_EQ(total, 10u);
                                          reported = done;
                                          return !c.cancel;
                                      });
        EXPECT_EQ(result, c.expected) << c.name;
        EXPECT_EQ(refusing.calls.back(), c.lastCall) << c.name;
        EXPECT_EQ(other.calls.back(), c.lastCall) << c.name;
        EXPECT_EQ(refusing.indexes.size(), c.recordsSeen) << c.name;
        if (c.cancel)
        {
            EXPECT_EQ(reported, 4u) << c.name;
        }
    }
}

TEST_F(BlockReaderTest, MissingFileIsToldWithTheReadersTextAndTheReason)
{
    CBlockReader reader;
    EXPECT_EQ(reader.Open(dir.File("missing.qtf")), kErrOpen);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0], "Error opening file; Is the file/path name correct?");
    EXPECT_EQ(sink.reasons[0], "No such file or directory");
    CCollectingConsumer consumer;
    IRecordConsumer* consumers[] = {&consumer};
    EXPECT_EQ(reader.Run(consumers), kErrNoInput);
    EXPECT_TRUE(consumer.calls.empty());
}
