#include "recalc/TrackConverter.h"

#include "base/File.h"
#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "trackfile/TrackFileHeader.h"

#include <array>
#include <cstring>
#include <memory>

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

constexpr std::size_t kChunkBytes = std::size_t{kConversionChunkRecords} * kTrackRecordSize;
static_assert(kChunkBytes == 36560);

// Ends a run that failed after both files were opened: closes both and tells the user.
int FailRun(CFile& source, CFile& destination, const char* message)
{
    source.Close();
    destination.Close();
    ShowMessage(message);
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

void CTrackConverter::ConvertRecord(std::uint8_t* recordBytes, Point& heldCenter) const
{
    TrackRecord record;
    std::memcpy(&record, recordBytes, sizeof record);
    const std::array<TrackWord, kMaxTargets> targets = CopyTargets(record);

    // Center from the targets before the first zero word; a list with no zero word gets none.
    Point points[kMaxTargets];
    int count = 0;
    for (std::size_t k = 0; k < kMaxTargets; ++k)
    {
        const TrackWord word = targets[k];
        if (word == 0)
        {
            // Without a usable triangle the record takes the center held from earlier records.
            if (m_centerFinder.FindCenter(points, count, heldCenter) != -1)
            {
                record.x = heldCenter.x;
                record.y = heldCenter.y;
            }
            break;
        }
        points[count++] =
            Point{static_cast<std::int32_t>(TrackWordX(word)), static_cast<std::int32_t>(TrackWordY(word))};
    }
    record.angle = static_cast<std::int32_t>(m_directionFinder.FindDirection(targets, record.x, record.y));
    std::memcpy(recordBytes, &record, sizeof record);
}

int CTrackConverter::ConvertFile(const std::string& source, const std::string& destination, int minDistance,
                                 int maxDistance, const ConversionProgress& progress)
{
    CFile in;
    if (!in.Open(source, FileMode::Read, ShareMode::DenyNone))
    {
        ShowMessage(kMsgSourceOpen);
        return kErrNoInput;
    }
    // Creating the destination truncates it, so a destination that is the source itself (by any
    // path: ./a.qtf, a symbolic or a hard link) is refused before anything is opened for writing.
    const auto sourceId = in.GetIdentity();
    const auto destinationId = GetPathIdentity(destination);
    if (sourceId && destinationId && *sourceId == *destinationId)
    {
        in.Close();
        ShowMessage(kMsgSameFile);
        return kErrNoInput;
    }
    CFile out;
    if (!out.Open(destination, FileMode::CreateWrite, ShareMode::DenyNone))
    {
        in.Close();
        ShowMessage(kMsgDestinationOpen);
        return kErrNoInput;
    }
    const std::uint64_t total = in.GetLength().value_or(0);
    std::uint64_t done = 0;

    if (HasTrackFileHeader(in))
    {
        std::array<std::uint8_t, kTrackHeaderSize> header{};
        const std::int64_t got = in.Read(header.data(), header.size());
        if (got < 0)
            return FailRun(in, out, kMsgReadError);
        if (!out.Write(header.data(), header.size()))
            return FailRun(in, out, kMsgWriteError);
        done += static_cast<std::uint64_t>(got);
    }
    m_centerFinder.SetDistanceLimits(minDistance, maxDistance);

    Point heldCenter{0, 0};
    const auto chunk = std::make_unique<std::uint8_t[]>(kChunkBytes);
    std::memset(chunk.get(), 0, kChunkBytes);
    std::int64_t got = in.Read(chunk.get(), kChunkBytes);
    if (got < 0)
        return FailRun(in, out, kMsgReadError);
    auto bytes = static_cast<std::size_t>(got);
    while (bytes >= kTrackRecordSize)
    {
        for (std::size_t r = 0; r < bytes / kTrackRecordSize; ++r)
            ConvertRecord(chunk.get() + r * kTrackRecordSize, heldCenter);
        // A trailing partial record of a chunk that holds whole records too is copied unchanged.
        if (!out.Write(chunk.get(), bytes))
            return FailRun(in, out, kMsgWriteError);
        done += bytes;
        if (progress)
            progress(done, total);
        if (bytes < kChunkBytes)
        {
            in.Close();
            if (!out.Close())
                return FailRun(in, out, kMsgWriteError);
            ShowMessage(kMsgCompleted);
            return kOk;
        }
        std::memset(chunk.get(), 0, kChunkBytes);
        got = in.Read(chunk.get(), kChunkBytes);
        if (got < 0)
            return FailRun(in, out, kMsgReadError);
        bytes = static_cast<std::size_t>(got);
    }

    // Fewer than one record's bytes are left: a lone partial record after whole chunks is dropped.
    in.Close();
    if (!out.Close())
        return FailRun(in, out, kMsgWriteError);
    if (bytes == 0)
    {
        ShowMessage(kMsgCompleted);
        return kOk;
    }
    ShowMessage(kMsgLastIncomplete);
    return kErrNoInput;
}
