#include "recalc/TrackConverter.h"

#include "base/File.h"
#include "base/MessageSink.h"
#include "base/OutputFile.h"
#include "base/ResultCodes.h"
#include "recalc/ScratchArray.h"
#include "trackfile/TrackFileHeader.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

namespace
{
constexpr const char* kMsgInvalidBand =
    "Invalid Values For Min/Max Target Distance Values, Unable To Complete Conversion";
constexpr const char* kMsgSourceOpen = "Error opening file to Read from; Is the file/path name correct?";
constexpr const char* kMsgDestinationOpen = "Error opening file to write to; Is the file/path name correct?";
constexpr const char* kMsgSameFile =
    "The file to save to is the file being converted; choose another file to save to. Nothing was written.";
constexpr const char* kMsgReadError = "Error reading the file being converted; the conversion is incomplete.";
constexpr const char* kMsgWriteError =
    "Error writing the converted file (is the disk full?); the conversion is incomplete.";
constexpr const char* kMsgCompleted = "Conversion Completed";
constexpr const char* kMsgLastIncomplete = "Conversion Completed, last rec was incomplete.";

// The chunk every run reads and writes, pinned.
constexpr std::size_t kChunkBytesOnDisk = 36560;
constexpr std::size_t kChunkBytes = std::size_t{kConversionChunkRecords} * kTrackRecordSize;
static_assert(kChunkBytes == kChunkBytesOnDisk);

int FailRead(const CFile& source)
{
    ShowMessageWithReason(kMsgReadError, std::generic_category().message(source.GetLastError()));
    return kErrNoInput;
}

int FailWrite(const COutputFile& destination)
{
    ShowMessageWithReason(kMsgWriteError, std::generic_category().message(destination.GetProblem().error));
    return kErrNoInput;
}
} // namespace

bool ValidateTargetDistances(int minDistance, int maxDistance)
{
    if (minDistance < maxDistance)
        return true;
    MessageBoxWithNumber(kMsgInvalidBand, 0);
    return false;
}

RecalculatedRecord CTrackConverter::RecalculateRecord(const TrackRecord& record, Point& heldCenter) const
{
    // The listed targets: the words before the first zero word, all 50 when none is zero.
    TrackWord words[kMaxTargets];
    std::size_t listed = 0;
    while (listed < kMaxTargets)
    {
        const TrackWord word = record.targets[listed];
        if (word == 0)
            break;
        words[listed++] = word;
    }
    RecalculatedRecord result;
    result.targets = static_cast<std::uint32_t>(listed);
    result.x = record.x;
    result.y = record.y;
    if (listed == kMaxTargets)
        result.centerCase = CenterCase::Unterminated;
    else if (listed < kFewestCenterTargets)
        result.centerCase = CenterCase::Few;
    else
    {
        // Center from the targets before the first zero word; without a usable triangle the record
        // takes the center held from earlier records.
        CScratchArray<Point, kMaxTargets> points;
        for (std::size_t k = 0; k < listed; ++k)
            points[k] = Point{static_cast<std::int32_t>(TrackWordX(words[k])),
                              static_cast<std::int32_t>(TrackWordY(words[k]))};
        if (const std::optional<Point> center =
                m_centerFinder.ComputeCenter(points.Data(), static_cast<int>(listed)))
        {
            heldCenter = *center;
            result.centerCase = CenterCase::Computed;
        }
        else
            result.centerCase = CenterCase::Held;
        result.x = heldCenter.x;
        result.y = heldCenter.y;
    }
    result.angle =
        CDirectionFinder::FindWholeDirection(std::span<const TrackWord>(words, listed), result.x, result.y);
    return result;
}

void CTrackConverter::ConvertRecord(std::uint8_t* recordBytes, Point& heldCenter) const
{
    TrackRecord record;
    std::memcpy(&record, recordBytes, sizeof record);
    const RecalculatedRecord recalculated = RecalculateRecord(record, heldCenter);
    record.x = recalculated.x;
    record.y = recalculated.y;
    record.angle = recalculated.angle;
    std::memcpy(recordBytes, &record, sizeof record);
}

int CTrackConverter::ConvertFile(const std::string& source, const std::string& destination, int minDistance,
                                 int maxDistance, const ConversionProgress& progress)
{
    // Every early return below leaves both files to their destructors: the source is closed and
    // the destination, never committed, keeps what it had.
    CFile in;
    if (!in.Open(source, FileMode::Read, ShareMode::DenyNone))
    {
        ShowFileProblem(kMsgSourceOpen, source, in.GetProblem());
        return kErrNoInput;
    }
    // A destination that is the source itself (by any path: ./a.qtf, a symbolic or a hard link)
    // is refused with a message of its own before anything is created.
    const auto sourceId = in.GetIdentity();
    int destinationError = 0;
    const auto destinationId = GetPathIdentity(destination, destinationError);
    if (!destinationId && destinationError != ENOENT)
    {
        // A destination that cannot be examined cannot be told apart from the source.
        FileProblem problem;
        problem.error = destinationError;
        ShowFileProblem(kMsgDestinationOpen, destination, problem);
        return kErrNoInput;
    }
    if (sourceId && destinationId && *sourceId == *destinationId)
    {
        ShowMessage(kMsgSameFile);
        return kErrNoInput;
    }
    COutputFile out;
    if (!out.Create(destination))
    {
        ShowFileProblem(kMsgDestinationOpen, destination, out.GetProblem());
        return kErrNoInput;
    }
    // The source's length now: a run that reads fewer bytes has lost records to a file that got
    // shorter meanwhile.
    const std::optional<std::uint64_t> total = in.GetLength();
    if (!total)
        return FailRead(in);
    std::uint64_t done = 0;

    const HeaderCheck header = CheckTrackFileHeader(in);
    if (header == HeaderCheck::Unreadable)
        return FailRead(in);
    if (header == HeaderCheck::Present)
    {
        std::array<std::uint8_t, kTrackHeaderSize> bytes{};
        const std::int64_t got = in.Read(bytes.data(), bytes.size());
        if (got < 0)
            return FailRead(in);
        if (!out.Write(bytes.data(), bytes.size()))
            return FailWrite(out);
        done += static_cast<std::uint64_t>(got);
    }
    m_centerFinder.SetDistanceLimits(minDistance, maxDistance);

    Point heldCenter{0, 0};
    const auto chunk = std::make_unique<std::uint8_t[]>(kChunkBytes);
    // The next chunk into the zero-filled buffer: the bytes read, or -1 on a read error.
    const auto ReadChunk = [&]() -> std::int64_t
    {
        std::memset(chunk.get(), 0, kChunkBytes);
        const std::int64_t got = in.Read(chunk.get(), kChunkBytes);
        if (got > 0)
            done += static_cast<std::uint64_t>(got);
        return got;
    };
    std::int64_t got = ReadChunk();
    while (got >= static_cast<std::int64_t>(kTrackRecordSize))
    {
        const auto bytes = static_cast<std::size_t>(got);
        for (std::size_t r = 0; r < bytes / kTrackRecordSize; ++r)
            ConvertRecord(chunk.get() + r * kTrackRecordSize, heldCenter);
        // A trailing partial record of a chunk that holds whole records too is copied unchanged.
        if (!out.Write(chunk.get(), bytes))
            return FailWrite(out);
        if (progress)
            progress(done, *total);
        if (bytes < kChunkBytes)
            break;
        got = ReadChunk();
    }
    if (got < 0)
        return FailRead(in);
    if (done < *total)
    {
        ShowMessage("The file being converted, " + source + ", got shorter while it was read (" +
                    std::to_string(done) + " of " + std::to_string(*total) +
                    " bytes); the conversion is incomplete. Nothing was written.");
        return kErrNoInput;
    }
    if (!in.Close())
        return FailRead(in);
    if (!out.Commit())
        return FailWrite(out);
    // A lone partial record after whole chunks (fewer than one record's bytes in the last read)
    // is dropped; a partial record that shared its chunk with whole records was copied above.
    if (got > 0 && got < static_cast<std::int64_t>(kTrackRecordSize))
    {
        ShowMessage(kMsgLastIncomplete);
        return kErrNoInput;
    }
    ShowMessage(kMsgCompleted);
    return kOk;
}
