// The position file: the positions of every record of one track (TrackPosition.h), made by a pass
// over the track and read instead of it while the track stays as it was (TrackKey.h).
//
//   offset  size  content (integers little-endian)
//        0     8  the tag "TPPOS\r\n\x1a": a text transfer or a foreign file fails here
//        8     4  format version (1)
//       12     4  header size (128)
//       16     4  size of one position (22)
//       20     4  zero
//       24    64  the track's key: device, inode, size (8 each), modification time (seconds 8,
//                 nanoseconds 4), change time (nanoseconds 4, seconds 8), edge hash (low, high)
//       88     8  records: the track's whole records, one position each
//       96     8  bytes of the track's incomplete last record (never read as a record)
//      104     1  1 when the track has the 16,384-byte header, else 0
//      105     7  zero
//      112    16  XXH3-128 of bytes 0-111
//      128  22 n  the positions, in record order
//    end-16    16  XXH3-128 of every byte before it
//
// A file is trusted only whole: its tag, version, sizes, zeros, header hash and length are checked
// when it is opened, the counts of every position and the closing hash while it is read. A file
// that fails any of these is never served; the caller reads the track again.
#pragma once

#include "base/OutputFile.h"
#include "trackfile/ContentHash.h"
#include "trackfile/PositionStream.h"
#include "trackfile/TrackKey.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

inline constexpr std::uint32_t kPositionFileVersion = 1;
inline constexpr std::size_t kPositionFileHeaderSize = 128;
inline constexpr std::size_t kPositionFileTrailerSize = 16;

// What a position file says of the track it was made from.
struct PositionFileHeader
{
    TrackKey key;
    bool hasHeader = false; // as TrackSourceInfo has them
    std::uint64_t records = 0;
    std::uint64_t tailBytes = 0;
    friend bool operator==(const PositionFileHeader&, const PositionFileHeader&) = default;
};

using PositionFileHeaderBytes = std::array<std::uint8_t, kPositionFileHeaderSize>;

[[nodiscard]] PositionFileHeaderBytes EncodePositionFileHeader(const PositionFileHeader& header);
// The header the bytes hold, or nothing when they are not a sound header of this version: a wrong
// tag, version, size or hash, a non-zero reserved byte, or records, tail and header flag that do
// not fit the track's size.
[[nodiscard]] std::optional<PositionFileHeader>
DecodePositionFileHeader(const PositionFileHeaderBytes& bytes);
// The length of the file of a track of records records; nothing when it would not fit 64 bits.
[[nodiscard]] std::optional<std::uint64_t> PositionFileLength(std::uint64_t records);

// Writes a position file through COutputFile: nothing is at the destination until Commit, and a
// failure or a destructor before it leaves nothing behind.
class CPositionFileWriter
{
public:
    // Creates the temporary file and writes the header. False on failure (see GetProblem).
    [[nodiscard]] bool Create(const std::string& path, const PositionFileHeader& header);
    // The next positions, in record order. False on failure; the file is then discarded.
    [[nodiscard]] bool Append(std::span<const TrackPosition> positions);
    // Writes the closing hash and puts the file in place. False on failure, or when fewer or more
    // positions than the header's records were appended; nothing is put in place then.
    [[nodiscard]] bool Commit();
    void Discard() { m_file.Discard(); }

    [[nodiscard]] const FileProblem& GetProblem() const { return m_problem; }

private:
    bool Fail();

    COutputFile m_file;
    CContentHasher m_hasher;
    FileProblem m_problem;
    std::uint64_t m_records = 0;
    std::uint64_t m_appended = 0;
};

class CPositionFileReader
{
public:
    explicit CPositionFileReader(std::size_t blockPositions = kPositionBlockPositions);
    CPositionFileReader(const CPositionFileReader&) = delete;
    CPositionFileReader& operator=(const CPositionFileReader&) = delete;

    // Opens a position file and checks its header and length. 0; -601 when it cannot be opened
    // (GetProblem says why: ENOENT when there is none); -605 when it is not a whole position file
    // of this version. Nothing is shown to the user either way.
    int Open(const std::string& path);
    void Close();
    [[nodiscard]] bool IsOpen() const { return m_file.IsOpen(); }
    [[nodiscard]] const PositionFileHeader& Header() const { return m_header; }
    [[nodiscard]] const FileProblem& GetProblem() const { return m_file.GetProblem(); }

    // One pass over the open file, as CBlockReader::Run makes over a track; source is what the
    // consumers are told (its counts must be the header's). 0 when every position was handed over
    // and every consumer ended well; a consumer's non-zero result; kErrCancelled when progress
    // returned false; -605, nothing shown, when the file turns out damaged or cut short: the
    // consumers are then abandoned before any of them is ended, so nothing of it is kept.
    int Run(const TrackSourceInfo& source, std::span<IPositionConsumer* const> consumers,
            const StreamProgress& progress = {});

private:
    int Damaged(CPositionFanOut& fanOut);

    std::size_t m_blockPositions;
    std::unique_ptr<TrackPosition[]> m_block;
    CFile m_file;
    PositionFileHeader m_header;
    PositionFileHeaderBytes m_headerBytes{};
};
