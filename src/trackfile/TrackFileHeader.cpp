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
