#include "trackfile/TrackRecord.h"

#include "support/TrackFileBuilder.h"

#include <cstring>
#include <gtest/gtest.h>

TEST(TrackWord, DecodesCoordinatesFromTheirBitFields)
{
    struct Case
    {
        TrackWord word;
        std::uint32_t x;
        std::uint32_t y;
    };
    const Case cases[] = {
        {0x00000000u, 0, 0},    {0x0FFF0FFFu, 4095, 4095}, {0xFFFFFFFFu, 4095, 4095},
        {0x00320064u, 100, 50}, {0x70327064u, 100, 50},    {MakeTrackWord(639, 479, kWordBitPR), 639, 479},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(TrackWordX(c.word), c.x) << std::hex << c.word;
        EXPECT_EQ(TrackWordY(c.word), c.y) << std::hex << c.word;
    }
    EXPECT_EQ(MakeTrackWord(100, 50, kWordBitRR | kWordBitPB), 0x10324064u);
}

TEST(TrackRecord, ListsEndAtTheFirstZeroWord)
{
    TrackRecord record = MakeRecord(1);
    SetTargets(record, {});
    EXPECT_EQ(CountListEntries(CopyTargets(record)), 0u);
    for (std::size_t k = 0; k < kMaxTargets; ++k)
        record.targets[k] = MakeTrackWord(static_cast<std::uint32_t>(k + 1), 1);
    EXPECT_EQ(CountListEntries(CopyTargets(record)), 50u);
    record.targets[3] = 0;
    EXPECT_EQ(CountListEntries(CopyTargets(record)), 3u);
}

TEST(TrackRecord, FieldsSitAtTheirFileOffsets)
{
    TrackRecord record;
    std::memset(&record, 0, sizeof record);
    record.timestamp = static_cast<std::int64_t>(0x8000000000000001ull);
    record.x = -10;
    record.angle = 0x01020304;
    record.targets[49] = 0xAABBCCDDu;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    EXPECT_EQ(bytes[6], 0x01);
    EXPECT_EQ(bytes[13], 0x80);
    EXPECT_EQ(bytes[1616], 0xF6);
    EXPECT_EQ(bytes[1619], 0xFF);
    EXPECT_EQ(bytes[1624], 0x04);
    EXPECT_EQ(bytes[1627], 0x01);
    EXPECT_EQ(bytes[1827], 0xAA);
    EXPECT_LT(std::int64_t{record.timestamp}, 0); // bit 63 set reads as a negative number
}
