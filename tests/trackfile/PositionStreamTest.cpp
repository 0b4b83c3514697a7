#include "trackfile/PositionStream.h"

#include "base/ResultCodes.h"
#include "support/TrackFileBuilder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
// Writes down each call ("B", "C<first>", "E", "A") and refuses the one it is told to.
class CScriptedConsumer final : public IPositionConsumer
{
public:
    int Begin(const TrackSourceInfo&) override
    {
        calls += "B";
        return refuseBegin;
    }
    int Consume(std::span<const TrackPosition> positions, std::uint64_t firstIndex) override
    {
        calls += "C" + std::to_string(firstIndex);
        handed += positions.size();
        return firstIndex == refuseAt ? kErrNoRecord : kOk;
    }
    int End() override
    {
        calls += "E";
        return endResult;
    }
    void Abandon() override { calls += "A"; }

    int refuseBegin = kOk;
    std::uint64_t refuseAt = UINT64_MAX;
    int endResult = kOk;
    std::string calls;
    std::size_t handed = 0;
};
} // namespace

// Test that served positions reach every consumer in blocks, and that a refusal, a cancel or a
// failed end ends the pass as the block reader does: every consumer abandoned once, or all ended.
TEST(PositionStream, ServesInBlocksAndEndsAsTheBlockReaderDoes)
{
    std::vector<TrackPosition> positions;
    for (int k = 0; k < 7; ++k)
        positions.push_back(MakeTrackPosition(MakeRecord(k)));
    TrackSourceInfo source;
    source.records = positions.size();
    const struct
    {
        const char* name;
        int firstBegin;
        std::uint64_t secondRefusesAt;
        int secondEnd;
        int cancelAfter; // blocks; 0 for never
        int result;
        const char* first;
        const char* second;
    } cases[] = {
        {"whole", kOk, UINT64_MAX, kOk, 0, kOk, "BC0C3C6E", "BC0C3C6E"},
        {"begin refused", kErrOpen, UINT64_MAX, kOk, 0, kErrOpen, "BA", "A"},
        {"block refused", kOk, 3, kOk, 0, kErrNoRecord, "BC0C3A", "BC0C3A"},
        {"last block refused", kOk, 6, kOk, 0, kErrNoRecord, "BC0C3C6A", "BC0C3C6A"},
        {"cancelled", kOk, UINT64_MAX, kOk, 2, kErrCancelled, "BC0C3A", "BC0C3A"},
        {"cancelled after the last", kOk, UINT64_MAX, kOk, 3, kErrCancelled, "BC0C3C6A", "BC0C3C6A"},
        {"end failed", kOk, UINT64_MAX, kErrNoInput, 0, kErrNoInput, "BC0C3C6E", "BC0C3C6E"},
    };
    for (const auto& c : cases)
    {
        CScriptedConsumer first;
        CScriptedConsumer second;
        first.refuseBegin = c.firstBegin;
        second.refuseAt = c.secondRefusesAt;
        second.endResult = c.secondEnd;
        IPositionConsumer* consumers[] = {&first, &second};
        int blocks = 0;
        const StreamProgress progress = [&](std::uint64_t, std::uint64_t)
        { return ++blocks != c.cancelAfter; };
        EXPECT_EQ(ServePositions(positions, source, consumers, progress, 3), c.result) << c.name;
        EXPECT_EQ(first.calls, c.first) << c.name;
        EXPECT_EQ(second.calls, c.second) << c.name;
    }
}

// Test that the list keeps the positions only after a whole pass, serves them again as often as
// asked, and holds nothing after a pass that ended early or handed over fewer than announced.
TEST(PositionStream, ListIsCompleteOnlyAfterAWholePass)
{
    std::vector<TrackRecord> records;
    for (int k = 0; k < 5; ++k)
        records.push_back(MakeRecord(100 + k, k, -k, 90 * k));
    TrackSourceInfo source;
    source.records = records.size();
    CPositionList list;
    CScriptedConsumer served;
    IPositionConsumer* const servedTo[] = {&served};
    EXPECT_EQ(list.Serve(servedTo), kErrNoInput);

    IPositionConsumer* const filled[] = {&list};
    CRecordsToPositions toPositions(filled);
    ASSERT_EQ(toPositions.Begin(source), kOk);
    ASSERT_EQ(toPositions.Consume(std::span(records).first(2), 0), kOk);
    ASSERT_EQ(toPositions.Consume(std::span(records).subspan(2), 2), kOk);
    ASSERT_EQ(toPositions.End(), kOk);
    ASSERT_TRUE(list.IsComplete());
    ASSERT_EQ(list.Positions().size(), records.size());
    for (std::size_t k = 0; k < records.size(); ++k)
    {
        EXPECT_EQ(std::int64_t{list.Positions()[k].timestamp}, std::int64_t{records[k].timestamp});
        EXPECT_EQ(std::int32_t{list.Positions()[k].angle}, std::int32_t{records[k].angle});
    }
    for (int round = 0; round < 2; ++round)
        EXPECT_EQ(list.Serve(servedTo), kOk);
    EXPECT_EQ(served.calls, "BC0EBC0E");
    EXPECT_EQ(served.handed, 2 * records.size());

    ASSERT_EQ(toPositions.Begin(source), kOk);
    ASSERT_EQ(toPositions.Consume(std::span(records).first(3), 0), kOk);
    EXPECT_EQ(toPositions.End(), kErrNoRecord);
    EXPECT_FALSE(list.IsComplete());
    ASSERT_EQ(toPositions.Begin(source), kOk);
    ASSERT_EQ(toPositions.Consume(std::span(records).first(3), 0), kOk);
    toPositions.Abandon();
    EXPECT_FALSE(list.IsComplete());
    EXPECT_TRUE(list.Positions().empty());
}
