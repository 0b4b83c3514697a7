// The per-record table as an output: every record's fields, the same bytes whatever the blocks and
// the pieces the rows are handed over in, and every failing call of the file layer, the reader's
// included, failing the pass cleanly.
#include "outputs/RecordsOutput.h"

#include "OutputTestSupport.h"
#include "base/ResultCodes.h"
#include "support/FaultMatrix.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"

#include <gtest/gtest.h>

namespace
{
// Test the table's exact bytes: counts of light points and targets up to the lists' ends (full
// lists included), negative values as they stand.
TEST(RecordsOutput, RowsHoldEveryRecordsFields)
{
    CTempDir dir;
    TrackRecord full = MakeRecord(-3, -1, 479, 359);
    for (std::size_t k = 0; k < kMaxPoints; ++k)
        full.points[k] = MakeTrackWord(1, 1, kWordBitRR);
    SetTargets(full, std::vector<TrackWord>(kMaxTargets, MakeTrackWord(2, 2, kWordBitPB)));
    TrackRecord empty = MakeRecord(0, 0, 0, 0);
    for (std::size_t k = 0; k < kMaxPoints; ++k)
        empty.points[k] = 0;
    CTrackFileBuilder builder;
    builder
        .Add(MakeRecord(1000, 100, 200, 45,
                        {MakeTrackWord(1, 2, kWordBitRR), MakeTrackWord(3, 4, kWordBitPG)}))
        .Add(full)
        .Add(empty)
        .Add(MakeRecord(INT64_MAX, INT32_MIN, INT32_MAX, -90));
    const std::string track = builder.Write(dir.File("t.qtf"));
    CRecordsOutput output(dir.File("t.qtf_track.csv"));
    ASSERT_EQ(RunTelling(track, {&output}), kOk);
    EXPECT_EQ(ReadWholeFile(dir.File("t.qtf_track.csv")),
              "record,timestamp,x,y,angle,points,targets\n"
              "0,1000,100,200,45,5,2\n"
              "1,-3,-1,479,359,400,50\n"
              "2,0,0,0,0,0,0\n"
              "3,9223372036854775807,-2147483648,2147483647,-90,5,0\n");
}

// Test that rows handed over in pieces of any size, over blocks of any size, are the rows written
// at once.
TEST(RecordsOutput, PiecesAndBlocksDoNotChangeTheBytes)
{
    CTempDir dir;
    const std::vector<TrackRecord> records = CTrackFileBuilder().AddSequence(500, -250, 1).Records();
    std::string whole;
    for (const auto& [piece, block] :
         {std::pair{kCsvPieceBytes, std::size_t{500}}, std::pair{std::size_t{64}, std::size_t{7}},
          std::pair{std::size_t{1}, std::size_t{1}}})
    {
        SCOPED_TRACE(std::to_string(piece) + " / " + std::to_string(block));
        CRecordsOutput output(dir.File("s.csv"), piece);
        ASSERT_TRUE(Feed(output, records, block).IsOk());
        const std::string bytes = ReadWholeFile(dir.File("s.csv"));
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 501);
        if (whole.empty())
            whole = bytes;
        EXPECT_EQ(bytes, whole);
    }
}

// Test that every failing call of the file layer, the reader's included, fails the pass cleanly.
TEST(RecordsOutput, EveryFileFaultFailsCleanly)
{
    for (const bool earlier : {false, true})
    {
        WriterUnderTest writer;
        writer.name = earlier ? "track table over an earlier one" : "track table";
        writer.cleanupMayFail = earlier;
        writer.inputClosesAtTheEnd = 1; // the reader's
        writer.prepare = [earlier](const CTempDir& dir)
        {
            CTrackFileBuilder().AddSequence(40).Write(dir.File("s.qtf"));
            if (earlier)
                WriteWholeFile(dir.File("s.qtf_track.csv"), "earlier");
        };
        writer.run = [](const CTempDir& dir)
        {
            CRecordsOutput output(dir.File("s.qtf_track.csv"), 128);
            return RunTelling(dir.File("s.qtf"), {&output});
        };
        EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 10u);
    }
}
} // namespace
