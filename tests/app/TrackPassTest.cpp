// The window commands' pass over a track: every record handed over in order behind the progress
// display, a Cancel that abandons the consumers, and files that cannot be read.
#include "app/TrackPass.h"

#include "AppFixture.h"
#include "base/ResultCodes.h"
#include "trackfile/BlockReader.h"

namespace
{
// Counts what it is handed and how the pass ended.
class CCountingConsumer final : public IRecordConsumer
{
public:
    int Begin(const TrackSourceInfo& source) override
    {
        records = source.records;
        return kOk;
    }
    int Consume(std::span<const TrackRecord> block, std::uint64_t firstIndex) override
    {
        inOrder = inOrder && firstIndex == handed;
        for (const TrackRecord& record : block)
            timestampSum += record.timestamp;
        handed += block.size();
        return kOk;
    }
    int End() override
    {
        ended = true;
        return kOk;
    }
    void Abandon() override { abandoned = true; }

    std::uint64_t records = 0;
    std::uint64_t handed = 0;
    std::int64_t timestampSum = 0;
    bool inOrder = true;
    bool ended = false;
    bool abandoned = false;
};

using TrackPassTest = AppTest;

// Test a whole pass and a pass cancelled at each block: a finished pass hands over every record
// and ends its consumers; a cancelled one abandons them and reports the cancel, which nobody is
// told about; the display shows the records done of all of them.
TEST_F(TrackPassTest, WholeAndCancelledPasses)
{
    const std::uint32_t records = static_cast<std::uint32_t>(kBlockReaderRecords * 2 + 10); // three blocks
    const std::string path = WriteTrack("pass.qtf", records);
    struct Case
    {
        int cancelAt; // 0: never
        int result;
        std::uint64_t handed;
    };
    const std::uint64_t block = kBlockReaderRecords;
    const Case cases[] = {{0, kOk, records},
                          {1, kErrCancelled, block},
                          {2, kErrCancelled, 2 * block},
                          {3, kErrCancelled, records}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.cancelAt);
        host.progresses.clear();
        host.progressCancelAt.push_back(c.cancelAt);
        CCountingConsumer first;
        CCountingConsumer second;
        IRecordConsumer* consumers[] = {&first, &second};
        EXPECT_EQ(RunTrackPass(path, consumers, "Export Records", "Reading pass.qtf..."), c.result);
        for (const CCountingConsumer* consumer : {&first, &second})
        {
            EXPECT_EQ(consumer->records, records);
            EXPECT_EQ(consumer->handed, c.handed);
            EXPECT_TRUE(consumer->inOrder);
            EXPECT_EQ(consumer->ended, c.result == kOk);
            EXPECT_EQ(consumer->abandoned, c.result != kOk);
        }
        if (c.result == kOk)
        {
            // Timestamps 1000 + i: every record was read, each once.
            const std::int64_t n = records;
            EXPECT_EQ(first.timestampSum, n * 1000 + n * (n - 1) / 2);
        }
        ASSERT_EQ(host.progresses.size(), 1u);
        EXPECT_EQ(host.progresses[0].title, "Export Records");
        EXPECT_EQ(host.progresses[0].text, "Reading pass.qtf...");
        EXPECT_EQ(host.progresses[0].updates.front(),
                  (std::pair<std::uint64_t, std::uint64_t>{block, records}));
        EXPECT_FALSE(host.progresses[0].open);
    }
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Test that a file that cannot be opened is told once with the reader's message, shows no display
// and hands nothing over.
TEST_F(TrackPassTest, MissingFileIsToldAndReadsNothing)
{
    CCountingConsumer consumer;
    IRecordConsumer* consumers[] = {&consumer};
    EXPECT_EQ(RunTrackPass(temp.File("missing.qtf"), consumers, "Title", "Text"), kErrOpen);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{std::string(kMsgTrackOpenFailed)});
    EXPECT_TRUE(host.progresses.empty());
    EXPECT_EQ(consumer.handed, 0u);
    EXPECT_FALSE(consumer.ended);
}
} // namespace
