#include "trackfile/TrackFileHeader.h"

#include "base/File.h"

#include <array>
#include <cstring>

HeaderCheck CheckTrackFileHeader(CFile& file)
{
    std::array<char, kTrackHeaderTag.size()> tag{};
    const std::int64_t got = file.Read(tag.data(), tag.size());
    if (!file.Seek(0) || got < 0)
        return HeaderCheck::Unreadable;
    const bool present = got == static_cast<std::int64_t>(tag.size()) &&
                         std::memcmp(tag.data(), kTrackHeaderTag.data(), tag.size()) == 0;
    return present ? HeaderCheck::Present : HeaderCheck::Absent;
}

bool HasTrackFileHeader(CFile& file)
{
    return CheckTrackFileHeader(file) == HeaderCheck::Present;
}

std::optional<TrackFileLayout> ExamineTrackFile(CFile& file)
{
    // The length is taken in 64 bits so that files beyond 4 GiB are counted correctly.
    const std::optional<std::uint64_t> fileLength = file.GetLength();
    if (!fileLength)
        return std::nullopt;
    const HeaderCheck header = CheckTrackFileHeader(file);
    if (header == HeaderCheck::Unreadable)
        return std::nullopt;
    return LayoutOfLength(*fileLength, header == HeaderCheck::Present);
}

TrackFileLayout LayoutOfLength(std::uint64_t length, bool hasHeader)
{
    TrackFileLayout layout;
    layout.hasHeader = hasHeader;
    if (layout.hasHeader)
    {
        if (length < kTrackHeaderSize)
        {
            layout.tailBytes = length; // a tag and less than a whole header: nothing to read
            return layout;
        }
        length -= kTrackHeaderSize;
    }
    layout.records = length / kTrackRecordSize;
    layout.tailBytes = length % kTrackRecordSize;
    return layout;
}
