// Opens arbitrary bytes as a position file and reads it through. The first byte chooses whether the
// two hashes are put right before the bytes are written (so that the checks behind them are
// reached too); the rest is the file. A file is either refused (at opening, or while it is read,
// with its consumer abandoned and never ended) or read whole, and then writing its header and
// positions again gives back exactly its bytes.
#include "base/LittleEndian.h"
#include "base/ResultCodes.h"
#include "support/FuzzInput.h"
#include "support/FuzzScratch.h"
#include "support/GeneratedTrack.h"
#include "trackfile/PositionFile.h"

#include <string>
#include <vector>

namespace
{
constexpr std::uint8_t kFixHashes = 1;

class CCheckingConsumer final : public IPositionConsumer
{
public:
    int Begin(const TrackSourceInfo& source) override
    {
        FuzzCheck(m_calls.empty() || m_calls.back() == 'A', "a pass begins once, or again after abandoning");
        m_calls += 'B';
        m_records = source.records;
        m_positions.clear();
        return kOk;
    }
    int Consume(std::span<const TrackPosition> positions, std::uint64_t firstIndex) override
    {
        FuzzCheck(firstIndex == m_positions.size(), "blocks come in order");
        FuzzCheck(firstIndex + positions.size() <= m_records, "no more positions than records");
        m_positions.insert(m_positions.end(), positions.begin(), positions.end());
        return kOk;
    }
    int End() override
    {
        m_calls += 'E';
        return kOk;
    }
    void Abandon() override { m_calls += 'A'; }

    std::string m_calls;
    std::uint64_t m_records = 0;
    std::vector<TrackPosition> m_positions;
};

void StoreHash(std::uint8_t* at, const ContentHash& hash)
{
    StoreLE64(at, hash.low);
    StoreLE64(at + 8, hash.high);
}

// The file a writer makes of a header and positions.
std::vector<std::uint8_t> WrittenBytes(const std::string& path, const PositionFileHeader& header,
                                       std::span<const TrackPosition> positions)
{
    CPositionFileWriter writer;
    const bool written = writer.Create(path, header) && writer.Append(positions) && writer.Commit();
    FuzzCheck(written, "a position file is written in the scratch folder");
    return ReadFileBytes(path).value_or(std::vector<std::uint8_t>{});
}

PositionFileHeader SeedHeader(std::uint64_t records, bool hasHeader, std::uint64_t tailBytes)
{
    PositionFileHeader header;
    header.key.identity = FileIdentity{0x803, 4242};
    header.key.size = (hasHeader ? kTrackHeaderSize : 0) + records * kTrackRecordSize + tailBytes;
    header.key.modified = FileTime{1'700'000'000, 123'456'789};
    header.key.changed = FileTime{1'700'000'001, 5};
    header.key.edges = ContentHash{0x0123456789abcdef, 0xfedcba9876543210};
    header.hasHeader = hasHeader;
    header.records = records;
    header.tailBytes = tailBytes;
    return header;
}
} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeedInputs()
{
    const CFuzzScratchDir scratch;
    std::vector<std::vector<std::uint8_t>> seeds;
    const struct
    {
        std::uint32_t records;
        bool hasHeader;
        std::uint32_t tailBytes;
        std::uint8_t mode;
    } files[] = {{0, false, 0, 0}, {5, true, 9, 0}, {40, false, 0, kFixHashes}};
    for (const auto& file : files)
    {
        std::vector<TrackPosition> positions;
        for (const TrackRecord& record : GeneratedRecords(file.records, 3))
            positions.push_back(MakeTrackPosition(record));
        std::vector<std::uint8_t> seed{file.mode};
        const std::vector<std::uint8_t> bytes = WrittenBytes(
            scratch.File("seed.tpos"), SeedHeader(file.records, file.hasHeader, file.tailBytes), positions);
        seed.insert(seed.end(), bytes.begin(), bytes.end());
        seeds.push_back(std::move(seed));
    }
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const CFuzzScratchDir scratch;
    if (size == 0)
        return 0;
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    if ((data[0] & kFixHashes) != 0 && bytes.size() >= kPositionFileHeaderSize)
    {
        constexpr std::size_t kHashAt = kPositionFileHeaderSize - sizeof(ContentHash);
        StoreHash(bytes.data() + kHashAt, HashBytes(bytes.data(), kHashAt));
        if (bytes.size() >= kPositionFileHeaderSize + kPositionFileTrailerSize)
        {
            const std::size_t body = bytes.size() - kPositionFileTrailerSize;
            StoreHash(bytes.data() + body, HashBytes(bytes.data(), body));
        }
    }
    const std::string path = scratch.File("input.tpos");
    if (!WriteFileBytes(path, bytes.data(), bytes.size()))
        return 0;

    CFuzzMessageSink sink;
    CScopedMessageSink scoped(sink);
    CPositionFileReader reader(1 + data[0] / 2);
    const int opened = reader.Open(path);
    FuzzCheck(opened == kOk || opened == kErrDamaged, "a position file opens or is found damaged");
    if (opened == kOk)
    {
        const PositionFileHeader header = reader.Header();
        FuzzCheck(PositionFileLength(header.records) == bytes.size(), "an opened file has its length");
        TrackSourceInfo source;
        source.hasHeader = header.hasHeader;
        source.records = header.records;
        source.tailBytes = header.tailBytes;
        CCheckingConsumer consumer;
        IPositionConsumer* consumers[] = {&consumer};
        const int result = reader.Run(source, consumers);
        reader.Close();
        if (result == kOk)
        {
            FuzzCheck(consumer.m_calls == "BE", "a whole read begins and ends once");
            FuzzCheck(consumer.m_positions.size() == header.records, "one position per record");
            FuzzCheck(WrittenBytes(scratch.File("again.tpos"), header, consumer.m_positions) == bytes,
                      "a file read whole is written again byte for byte");
        }
        else
        {
            FuzzCheck(result == kErrDamaged, "a read fails only on damage");
            FuzzCheck(consumer.m_calls == "BA", "a damaged file's consumer is abandoned, never ended");
        }
    }
    FuzzCheck(sink.m_messages.empty(), "reading a position file tells the user nothing");
    scratch.Clear();
    return 0;
}
