#include "regions/EventFile.h"

#include "base/File.h"
#include "base/LittleEndian.h"

std::string MakeEventFilePath(const std::string& dir, const std::string& trackFileName,
                              const std::string& regionName, EventKind kind)
{
    return JoinPath(dir, trackFileName + "_" + regionName +
                             (kind == EventKind::Enter ? "_Enter.qsf" : "_Leave.qsf"));
}

const std::array<std::uint8_t, kTrackHeaderSize>& EventFileHeader()
{
    // Bytes 18 .. 16383 (the zero byte after the tag and the filler) are all zero.
    static constexpr auto kHeader = []
    {
        std::array<std::uint8_t, kTrackHeaderSize> header{};
        for (std::size_t i = 0; i < kTrackHeaderTag.size(); ++i)
            header[i] = static_cast<std::uint8_t>(kTrackHeaderTag[i]);
        return header;
    }();
    return kHeader;
}

void StoreEventTimes(const std::int64_t* times, std::size_t count, std::uint8_t* out)
{
    for (std::size_t k = 0; k < count; ++k)
        StoreLE64(out + k * kEventEntrySize, static_cast<std::uint64_t>(times[k]));
}
