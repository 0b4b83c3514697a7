#include "trackfile/PositionFile.h"

#include "base/ResultCodes.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"

#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace
{
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// Keeps what it is handed and the calls made on it.
class CKeepingConsumer final : public IPositionConsumer
{
public:
    int Begin(const TrackSourceInfo& source) override
    {
        info = source;
        calls += "B";
        positions.clear();
        return kOk;
    }
    int Consume(std::span<const TrackPosition> block, std::uint64_t firstIndex) override
    {
        calls += "C";
        EXPECT_EQ(firstIndex, positions.size());
        positions.insert(positions.end(), block.begin(), block.end());
        return kOk;
    }
    int End() override
    {
        calls += "E";
        return kOk;
    }
    void Abandon() override { calls += "A"; }

    TrackSourceInfo info;
    std::string calls;
    std::vector<TrackPosition> positions;
};

std::string Bytes(const TrackPosition& position)
{
    return std::string(reinterpret_cast<const char*>(&position), sizeof position);
}

void ExpectSamePositions(const std::vector<TrackPosition>& got, const std::vector<TrackPosition>& expected)
{
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t k = 0; k < got.size(); ++k)
        EXPECT_EQ(Bytes(got[k]), Bytes(expected[k])) << "position " << k;
}

// Records at the edges of every field: extreme values, full lists, a zero word before others.
std::vector<TrackRecord> EdgeRecords()
{
    std::vector<TrackRecord> records;
    records.push_back(MakeRecord(kInt64Min, kInt32Min, kInt32Max, kInt32Min));
    records.push_back(MakeRecord(kInt64Max, kInt32Max, kInt32Min, kInt32Max));
    records.push_back(MakeRecord(-1, -1, -1, -1, {MakeTrackWord(1, 2), 0, MakeTrackWord(3, 4)}));
    TrackRecord full = MakeRecord(0, 0, 0, 360);
    SetTargets(full, std::vector<TrackWord>(kMaxTargets, MakeTrackWord(5, 6, kWordBitPR)));
    for (std::size_t k = 0; k < kMaxPoints; ++k)
        full.points[k] = MakeTrackWord(7, 8, kWordBitLum);
    records.push_back(full);
    TrackRecord empty = MakeRecord(42);
    empty.points[0] = 0;
    empty.points[1] = 0xFFFFFFFF;
    records.push_back(empty);
    return records;
}

PositionFileHeader HeaderFor(std::uint64_t records)
{
    PositionFileHeader header;
    header.key.identity = FileIdentity{std::numeric_limits<std::uint64_t>::max(), 1};
    header.key.modified = FileTime{kInt64Min, 999'999'999};
    header.key.changed = FileTime{kInt64Max, 0};
    header.key.edges = ContentHash{0x0123456789ABCDEF, 0xFEDCBA9876543210};
    header.hasHeader = true;
    header.key.size = kTrackHeaderSize + records * kTrackRecordSize + 5;
    header.records = records;
    header.tailBytes = 5;
    return header;
}

std::string WritePositionFile(const std::string& path, const PositionFileHeader& header,
                              const std::vector<TrackPosition>& positions)
{
    CPositionFileWriter writer;
    EXPECT_TRUE(writer.Create(path, header));
    EXPECT_TRUE(writer.Append(positions));
    EXPECT_TRUE(writer.Commit());
    return ReadWholeFile(path);
}

TrackSourceInfo SourceOf(const PositionFileHeader& header)
{
    TrackSourceInfo source;
    source.path = "/tracks/t.qtf";
    source.fileName = "t.qtf";
    source.hasHeader = header.hasHeader;
    source.records = header.records;
    source.tailBytes = header.tailBytes;
    return source;
}

// Opens and reads a position file; the result of whichever step refused it, or of the pass.
int ReadBack(const std::string& path, CKeepingConsumer& consumer, std::size_t blockPositions = 2)
{
    CPositionFileReader reader(blockPositions);
    if (const int opened = reader.Open(path); opened != kOk)
        return opened;
    IPositionConsumer* consumers[] = {&consumer};
    return reader.Run(SourceOf(reader.Header()), consumers);
}
} // namespace

// Test that a position keeps every field of its record and the records table's counts, at the
// extremes of each.
TEST(TrackPosition, KeepsFieldsAndListCounts)
{
    const struct
    {
        std::uint32_t points;
        std::uint32_t targets;
    } expected[] = {{5, 0}, {5, 0}, {5, 1}, {400, 50}, {0, 0}};
    const std::vector<TrackRecord> records = EdgeRecords();
    for (std::size_t k = 0; k < records.size(); ++k)
    {
        const TrackPosition position = MakeTrackPosition(records[k]);
        // Copies: the packed members are never bound to a reference.
        EXPECT_EQ(std::int64_t{position.timestamp}, std::int64_t{records[k].timestamp}) << k;
        EXPECT_EQ(std::int32_t{position.x}, std::int32_t{records[k].x}) << k;
        EXPECT_EQ(std::int32_t{position.y}, std::int32_t{records[k].y}) << k;
        EXPECT_EQ(std::int32_t{position.angle}, std::int32_t{records[k].angle}) << k;
        EXPECT_EQ(PositionPoints(position), expected[k].points) << k;
        EXPECT_EQ(PositionTargets(position), expected[k].targets) << k;
        EXPECT_TRUE(HasPossibleCounts(position)) << k;
    }
}

// Test that the header and the positions come back as written, extremes included, whatever the
// block size of the reader, and that the consumers are begun, fed and ended in order.
TEST(PositionFile, RoundTripsExtremeValues)
{
    CTempDir dir;
    std::vector<TrackPosition> positions;
    for (const TrackRecord& record : EdgeRecords())
        positions.push_back(MakeTrackPosition(record));
    const PositionFileHeader header = HeaderFor(positions.size());
    const std::string bytes = WritePositionFile(dir.File("p.tpos"), header, positions);
    EXPECT_EQ(bytes.size(), PositionFileLength(positions.size()));

    std::optional<PositionFileHeader> decoded = DecodePositionFileHeader(EncodePositionFileHeader(header));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, header);
    for (const std::size_t block :
         {std::size_t{1}, std::size_t{2}, positions.size(), kPositionBlockPositions})
    {
        CKeepingConsumer consumer;
        EXPECT_EQ(ReadBack(dir.File("p.tpos"), consumer, block), kOk) << block;
        ExpectSamePositions(consumer.positions, positions);
        const std::size_t blocks = (positions.size() + block - 1) / block;
        EXPECT_EQ(consumer.calls, "B" + std::string(blocks, 'C') + "E") << block;
        EXPECT_EQ(consumer.info.records, header.records);
    }
}

// Test that no change of a single byte, no cut and no byte added gets a position file served:
// each is refused at opening, or found while it is read and the consumer abandoned, never ended.
TEST(PositionFile, EveryDamageIsRefused)
{
    CTempDir dir;
    std::vector<TrackPosition> positions;
    for (const TrackRecord& record : EdgeRecords())
        positions.push_back(MakeTrackPosition(record));
    const std::string good = WritePositionFile(dir.File("good.tpos"), HeaderFor(positions.size()), positions);
    const std::string path = dir.File("bad.tpos");
    const auto expectRefused = [&](const std::string& bytes, const std::string& what)
    {
        ASSERT_TRUE(WriteWholeFile(path, bytes));
        CKeepingConsumer consumer;
        const int result = ReadBack(path, consumer);
        EXPECT_EQ(result, kErrDamaged) << what;
        EXPECT_EQ(consumer.calls.find('E'), std::string::npos) << what;
        EXPECT_TRUE(consumer.calls.empty() || consumer.calls.back() == 'A') << what << ": " << consumer.calls;
    };
    for (std::size_t at = 0; at < good.size(); ++at)
        for (const std::uint8_t flip : {0x01, 0x80})
        {
            std::string bytes = good;
            bytes[at] = static_cast<char>(bytes[at] ^ flip);
            expectRefused(bytes, "byte " + std::to_string(at) + " ^ " + std::to_string(flip));
        }
    for (std::size_t length = 0; length < good.size(); ++length)
        expectRefused(good.substr(0, length), "cut to " + std::to_string(length));
    expectRefused(good + '\0', "a byte added");
}

// Test that positions whose counts no record can have are refused even when every hash agrees
// (a file made by something else), and so is a header whose counts do not fit the track's size.
TEST(PositionFile, ImpossibleContentIsRefusedWhateverTheHashes)
{
    CTempDir dir;
    const std::uint16_t impossible[] = {401, 51 << kPositionTargetsShift, 0x8000};
    for (const std::uint16_t lists : impossible)
    {
        TrackPosition position = MakeTrackPosition(MakeRecord(1));
        position.lists = lists;
        std::string bytes = WritePositionFile(dir.File("p.tpos"), HeaderFor(1), {position});
        const std::size_t body = bytes.size() - kPositionFileTrailerSize;
        const ContentHash hash = HashBytes(bytes.data(), body);
        std::memcpy(bytes.data() + body, &hash.low, 8);
        std::memcpy(bytes.data() + body + 8, &hash.high, 8);
        ASSERT_TRUE(WriteWholeFile(dir.File("p.tpos"), bytes));
        CKeepingConsumer consumer;
        EXPECT_EQ(ReadBack(dir.File("p.tpos"), consumer), kErrDamaged) << lists;
        EXPECT_EQ(consumer.calls, "BA") << lists;
    }
    PositionFileHeader header = HeaderFor(3);
    for (const std::uint64_t size :
         {header.key.size - 1, header.key.size + kTrackRecordSize, std::uint64_t{0}})
    {
        header.key.size = size;
        EXPECT_FALSE(DecodePositionFileHeader(EncodePositionFileHeader(header))) << size;
    }
    EXPECT_EQ(PositionFileLength(std::numeric_limits<std::uint64_t>::max() / 22), std::nullopt);
}

// Test that a cancelled read abandons its consumers, and that a file that is not there or not a
// file is told apart from a damaged one.
TEST(PositionFile, CancelAndMissingFiles)
{
    CTempDir dir;
    std::vector<TrackPosition> positions(7, MakeTrackPosition(MakeRecord(9)));
    WritePositionFile(dir.File("p.tpos"), HeaderFor(positions.size()), positions);
    CPositionFileReader reader(3);
    ASSERT_EQ(reader.Open(dir.File("p.tpos")), kOk);
    CKeepingConsumer consumer;
    IPositionConsumer* consumers[] = {&consumer};
    std::uint64_t calls = 0;
    const StreamProgress cancelSecond = [&](std::uint64_t, std::uint64_t) { return ++calls < 2; };
    EXPECT_EQ(reader.Run(SourceOf(reader.Header()), consumers, cancelSecond), kErrCancelled);
    EXPECT_EQ(consumer.calls, "BCCA");

    EXPECT_EQ(reader.Open(dir.File("none.tpos")), kErrOpen);
    EXPECT_EQ(reader.GetProblem().error, ENOENT);
    EXPECT_EQ(reader.Open(dir.Path()), kErrOpen);
    EXPECT_EQ(reader.Run(SourceOf(HeaderFor(7)), consumers), kErrNoInput);
}
