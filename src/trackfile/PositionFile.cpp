#include "trackfile/PositionFile.h"

#include "base/LittleEndian.h"
#include "base/ResultCodes.h"
#include "trackfile/TrackFileHeader.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <limits>

namespace
{
// NOLINTBEGIN(readability-magic-numbers): the byte offsets of the header, as the table in the
// header file gives them.
constexpr std::array<std::uint8_t, 8> kTag = {'T', 'P', 'P', 'O', 'S', '\r', '\n', 0x1A};
constexpr std::size_t kVersionAt = 8;
constexpr std::size_t kHeaderSizeAt = 12;
constexpr std::size_t kPositionSizeAt = 16;
constexpr std::size_t kDeviceAt = 24;
constexpr std::size_t kInodeAt = 32;
constexpr std::size_t kSizeAt = 40;
constexpr std::size_t kModifiedSecondsAt = 48;
constexpr std::size_t kModifiedNanosecondsAt = 56;
constexpr std::size_t kChangedNanosecondsAt = 60;
constexpr std::size_t kChangedSecondsAt = 64;
constexpr std::size_t kEdgesLowAt = 72;
constexpr std::size_t kEdgesHighAt = 80;
constexpr std::size_t kRecordsAt = 88;
constexpr std::size_t kTailBytesAt = 96;
constexpr std::size_t kHasHeaderAt = 104;
constexpr std::size_t kHeaderHashAt = 112;
// NOLINTEND(readability-magic-numbers)
static_assert(kHeaderHashAt + sizeof(ContentHash) == kPositionFileHeaderSize);

// Bytes that must be zero: the word after the sizes and the bytes after the header flag.
constexpr std::size_t kZeroRanges[][2] = {{kPositionSizeAt + 4, kDeviceAt},
                                          {kHasHeaderAt + 1, kHeaderHashAt}};

constexpr std::uint32_t kNanosecondsPerSecond = 1'000'000'000;

void StoreHash(std::uint8_t* p, const ContentHash& hash)
{
    StoreLE64(p, hash.low);
    StoreLE64(p + 8, hash.high);
}

ContentHash LoadHash(const std::uint8_t* p)
{
    return ContentHash{LoadLE64(p), LoadLE64(p + 8)};
}

std::int64_t LoadSigned64(const std::uint8_t* p)
{
    return static_cast<std::int64_t>(LoadLE64(p));
}
} // namespace

PositionFileHeaderBytes EncodePositionFileHeader(const PositionFileHeader& header)
{
    PositionFileHeaderBytes bytes{};
    std::copy(kTag.begin(), kTag.end(), bytes.begin());
    std::uint8_t* p = bytes.data();
    StoreLE32(p + kVersionAt, kPositionFileVersion);
    StoreLE32(p + kHeaderSizeAt, kPositionFileHeaderSize);
    StoreLE32(p + kPositionSizeAt, sizeof(TrackPosition));
    StoreLE64(p + kDeviceAt, header.key.identity.device);
    StoreLE64(p + kInodeAt, header.key.identity.inode);
    StoreLE64(p + kSizeAt, header.key.size);
    StoreLE64(p + kModifiedSecondsAt, static_cast<std::uint64_t>(header.key.modified.seconds));
    StoreLE32(p + kModifiedNanosecondsAt, header.key.modified.nanoseconds);
    StoreLE32(p + kChangedNanosecondsAt, header.key.changed.nanoseconds);
    StoreLE64(p + kChangedSecondsAt, static_cast<std::uint64_t>(header.key.changed.seconds));
    StoreLE64(p + kEdgesLowAt, header.key.edges.low);
    StoreLE64(p + kEdgesHighAt, header.key.edges.high);
    StoreLE64(p + kRecordsAt, header.records);
    StoreLE64(p + kTailBytesAt, header.tailBytes);
    p[kHasHeaderAt] = header.hasHeader ? 1 : 0;
    StoreHash(p + kHeaderHashAt, HashBytes(p, kHeaderHashAt));
    return bytes;
}

std::optional<PositionFileHeader> DecodePositionFileHeader(const PositionFileHeaderBytes& bytes)
{
    const std::uint8_t* p = bytes.data();
    if (!std::equal(kTag.begin(), kTag.end(), p) || LoadLE32(p + kVersionAt) != kPositionFileVersion ||
        LoadLE32(p + kHeaderSizeAt) != kPositionFileHeaderSize ||
        LoadLE32(p + kPositionSizeAt) != sizeof(TrackPosition) || p[kHasHeaderAt] > 1)
        return std::nullopt;
    for (const auto& range : kZeroRanges)
        if (std::any_of(p + range[0], p + range[1], [](std::uint8_t b) { return b != 0; }))
            return std::nullopt;
    if (LoadHash(p + kHeaderHashAt) != HashBytes(p, kHeaderHashAt))
        return std::nullopt;

    PositionFileHeader header;
    header.key.identity = FileIdentity{LoadLE64(p + kDeviceAt), LoadLE64(p + kInodeAt)};
    header.key.size = LoadLE64(p + kSizeAt);
    header.key.modified =
        FileTime{LoadSigned64(p + kModifiedSecondsAt), LoadLE32(p + kModifiedNanosecondsAt)};
    header.key.changed = FileTime{LoadSigned64(p + kChangedSecondsAt), LoadLE32(p + kChangedNanosecondsAt)};
    header.key.edges = ContentHash{LoadLE64(p + kEdgesLowAt), LoadLE64(p + kEdgesHighAt)};
    header.records = LoadLE64(p + kRecordsAt);
    header.tailBytes = LoadLE64(p + kTailBytesAt);
    header.hasHeader = p[kHasHeaderAt] == 1;
    // The counts are those of a track of the key's size, and the file's length fits 64 bits.
    const TrackFileLayout layout = LayoutOfLength(header.key.size, header.hasHeader);
    if (layout.records != header.records || layout.tailBytes != header.tailBytes ||
        header.key.modified.nanoseconds >= kNanosecondsPerSecond ||
        header.key.changed.nanoseconds >= kNanosecondsPerSecond || !PositionFileLength(header.records))
        return std::nullopt;
    return header;
}

std::optional<std::uint64_t> PositionFileLength(std::uint64_t records)
{
    constexpr std::uint64_t kFixed = kPositionFileHeaderSize + kPositionFileTrailerSize;
    if (records > (std::numeric_limits<std::uint64_t>::max() - kFixed) / sizeof(TrackPosition))
        return std::nullopt;
    return kFixed + records * sizeof(TrackPosition);
}

bool CPositionFileWriter::Fail()
{
    m_problem = m_file.GetProblem();
    m_file.Discard();
    return false;
}

bool CPositionFileWriter::Create(const std::string& path, const PositionFileHeader& header)
{
    m_problem = FileProblem{};
    m_records = header.records;
    m_appended = 0;
    m_hasher.Reset();
    if (!m_file.Create(path))
        return Fail();
    const PositionFileHeaderBytes bytes = EncodePositionFileHeader(header);
    m_hasher.Update(bytes.data(), bytes.size());
    return m_file.Write(bytes.data(), bytes.size()) || Fail();
}

bool CPositionFileWriter::Append(std::span<const TrackPosition> positions)
{
    m_hasher.Update(positions.data(), positions.size_bytes());
    m_appended += positions.size();
    return m_file.Write(positions.data(), positions.size_bytes()) || Fail();
}

bool CPositionFileWriter::Commit()
{
    if (m_appended != m_records)
    {
        assert(false && "a position file gets one position per record of its track");
        m_file.Discard();
        m_problem = FileProblem{};
        m_problem.error = EINVAL;
        return false;
    }
    std::array<std::uint8_t, kPositionFileTrailerSize> trailer{};
    StoreHash(trailer.data(), m_hasher.Digest());
    if (!m_file.Write(trailer.data(), trailer.size()) || !m_file.Commit())
        return Fail();
    return true;
}

CPositionFileReader::CPositionFileReader(std::size_t blockPositions)
    : m_blockPositions(blockPositions == 0 ? 1 : blockPositions),
      m_block(std::make_unique<TrackPosition[]>(m_blockPositions))
{
}

void CPositionFileReader::Close()
{
    (void)m_file.Close();
}

int CPositionFileReader::Open(const std::string& path)
{
    if (!m_file.Open(path, FileMode::Read, ShareMode::DenyNone))
        return kErrOpen;
    const std::optional<std::uint64_t> length = m_file.GetLength();
    if (!length)
    {
        Close();
        return kErrOpen;
    }
    std::optional<PositionFileHeader> header;
    if (m_file.Read(m_headerBytes.data(), m_headerBytes.size()) ==
        static_cast<std::int64_t>(m_headerBytes.size()))
        header = DecodePositionFileHeader(m_headerBytes);
    if (!header || PositionFileLength(header->records) != *length)
    {
        Close();
        return kErrDamaged;
    }
    m_header = *header;
    return kOk;
}

int CPositionFileReader::Damaged(CPositionFanOut& fanOut)
{
    fanOut.Abandon();
    return kErrDamaged;
}

int CPositionFileReader::Run(const TrackSourceInfo& source, std::span<IPositionConsumer* const> consumers,
                             const StreamProgress& progress)
{
    if (!IsOpen())
        return kErrNoInput;
    CPositionFanOut fanOut(consumers);
    if (source.records != m_header.records || source.hasHeader != m_header.hasHeader ||
        source.tailBytes != m_header.tailBytes)
    {
        assert(false && "the consumers are told the counts of the track the file was made from");
        return kErrDamaged;
    }
    if (const int begun = fanOut.Begin(source); begun != kOk)
        return begun;
    if (!m_file.Seek(kPositionFileHeaderSize))
        return Damaged(fanOut);

    CContentHasher hasher;
    hasher.Update(m_headerBytes.data(), m_headerBytes.size());
    std::uint64_t done = 0;
    while (done < m_header.records)
    {
        const std::uint64_t left = m_header.records - done;
        const std::size_t count = left < m_blockPositions ? static_cast<std::size_t>(left) : m_blockPositions;
        const std::size_t wanted = count * sizeof(TrackPosition);
        if (m_file.Read(m_block.get(), wanted) != static_cast<std::int64_t>(wanted))
            return Damaged(fanOut);
        const std::span<const TrackPosition> block(m_block.get(), count);
        if (!std::all_of(block.begin(), block.end(), HasPossibleCounts))
            return Damaged(fanOut);
        hasher.Update(block.data(), wanted);
        if (const int consumed = fanOut.Consume(block, done); consumed != kOk)
            return consumed;
        done += count;
        if (progress && !progress(done, m_header.records))
        {
            fanOut.Abandon();
            return kErrCancelled;
        }
    }
    std::array<std::uint8_t, kPositionFileTrailerSize> trailer{};
    if (m_file.Read(trailer.data(), trailer.size()) != static_cast<std::int64_t>(trailer.size()) ||
        LoadHash(trailer.data()) != hasher.Digest())
        return Damaged(fanOut);
    return fanOut.End();
}
