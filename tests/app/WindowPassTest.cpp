// The window commands' pass over a track: every record handed over in order behind the progress
// display, a Cancel that abandons the outputs and tells nothing, a refusal told before any
// progress shows with the system's reason on its second line, and a file that cannot be read.
#include "app/WindowPass.h"

#include "AppFixture.h"
#include "base/ResultCodes.h"
#include "trackfile/BlockReader.h"

namespace
{
// Counts what it is handed and how the pass ended; refuses its destination when asked to.
class CCountingOutput final : public ITrackOutput
{
public:
    [[nodiscard]] std::vector<std::string> Files() const override { return {}; }
    [[nodiscard]] RecordNeeds Needs() const override { return RecordNeeds::Positions; }
    Problem Prepare(const TrackSourceInfo& source) override
    {
        records = source.records;
        return refusal;
    }
    Problem Begin(const TrackSourceInfo& /*source*/) override
    {
        begun = true;
        return {};
    }
    Problem Consume(std::span<const TrackRecord> block, std::uint64_t firstIndex) override
    {
        inOrder = inOrder && firstIndex == handed;
        for (const TrackRecord& record : block)
            timestampSum += record.timestamp;
        handed += block.size();
        return {};
    }
    Problem End() override
    {
        ended = true;
        return ending;
    }
    void Abandon() override { abandoned = true; }

    Problem refusal;
    Problem ending;
    std::uint64_t records = 0;
    std::uint64_t handed = 0;
    std::int64_t timestampSum = 0;
    bool inOrder = true;
    bool begun = false;
    bool ended = false;
    bool abandoned = false;
};

using WindowPassTest = AppTest;

// Test a whole pass and a pass cancelled at each block: a finished pass hands over every record
// and ends its outputs; a cancelled one abandons them and reports the cancel, which nobody is told
// about; the display shows the records done of all of them.
TEST_F(WindowPassTest, WholeAndCancelledPasses)
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
        CCountingOutput first;
        CCountingOutput second;
        ITrackOutput* outputs[] = {&first, &second};
        EXPECT_EQ(RunWindowPass(path, outputs, "Export Records", "Reading pass.qtf..."), c.result);
        for (const CCountingOutput* output : {&first, &second})
        {
            EXPECT_EQ(output->records, records);
            EXPECT_EQ(output->handed, c.handed);
            EXPECT_TRUE(output->inOrder);
            EXPECT_EQ(output->ended, c.result == kOk);
            EXPECT_EQ(output->abandoned, c.result != kOk);
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

// Test what is told: a refusal before any progress, an output's failure at the end after the
// display has closed, each with the system's reason on the message's second line when it has one;
// every refusal told, not only the first.
TEST_F(WindowPassTest, ProblemsAreToldWithTheirReason)
{
    const std::string path = WriteTrack("pass.qtf", 100);
    struct Case
    {
        const char* what;
        Problem refusal;
        Problem otherRefusal;
        Problem ending;
        std::vector<std::string> messages;
        bool progress;
    };
    const Case cases[] = {
        {"refused",
         Failure(kErrWrite, "Cannot create x.", "Permission denied"),
         {},
         {},
         {"Cannot create x.\nPermission denied"},
         false},
        {"both refused",
         Failure(kErrWrite, "Cannot create x.\nx is a directory, not a file."),
         Failure(kErrWrite, "Cannot create y.", "No such file or directory"),
         {},
         {"Cannot create x.\nx is a directory, not a file.", "Cannot create y.\nNo such file or directory"},
         false},
        {"failed at the end",
         {},
         {},
         Failure(kErrWrite, "Cannot write x.", "No space left on device"),
         {"Cannot write x.\nNo space left on device"},
         true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        host.progresses.clear();
        host.messageBoxes.clear();
        CCountingOutput first;
        first.refusal = c.refusal;
        first.ending = c.ending;
        CCountingOutput second;
        second.refusal = c.otherRefusal;
        ITrackOutput* outputs[] = {&first, &second};
        EXPECT_EQ(RunWindowPass(path, outputs, "Title", "Text"), kErrWrite);
        EXPECT_EQ(MessageTexts(), c.messages);
        EXPECT_EQ(host.progresses.size(), c.progress ? 1u : 0u);
        EXPECT_EQ(first.begun, c.progress);
        EXPECT_TRUE(first.abandoned || first.ended);
    }
}

// Test that a file that cannot be opened is told once with the reader's message, shows no display
// and hands nothing over.
TEST_F(WindowPassTest, MissingFileIsToldAndReadsNothing)
{
    CCountingOutput output;
    ITrackOutput* outputs[] = {&output};
    EXPECT_EQ(RunWindowPass(temp.File("missing.qtf"), outputs, "Title", "Text"), kErrOpen);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{std::string(kMsgTrackOpenFailed)});
    EXPECT_TRUE(host.progresses.empty());
    EXPECT_EQ(output.handed, 0u);
    EXPECT_FALSE(output.ended);
}
} // namespace
