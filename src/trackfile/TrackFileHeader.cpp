#include "trackfile/TrackFileHeader.h"

#include "base/File.h"

#include <array>
#include <cstring>

bool HasTrackFileHeader(CFile& file)
{
    std::array<char, kTrackHeaderTag.size()> tag{};
    const std::int64_t got = file.Read(tag.data(), tag.size());
    file.Seek(0);
    return got == static_cast<std::int64_t>(tag.size()) &&
           std::memcmp(tag.data(), kTrackHeaderTag.data(), tag.size()) == 0;
}
