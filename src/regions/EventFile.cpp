#include "regions/EventFile.h"

#include "base/File.h"
#include "base/LittleEndian.h"

#include <array>

std::string MakeEventFilePath(const std::string& dir, const std::string& trackFileName,
                              const std::string& regionName, EventKind kind)
{
    return dir + "/" + trackFileName + "_" + regionName +
           (kind == EventKind::Enter ? "_Enter.qsf" : "_Leave.qsf");
}

bool CreateEventFile(const std::string& path)
{
    // Bytes 18 .. 16383 (the zero byte after the tag and the filler) are all zero.
    static constexpr auto kHeader = []
    {
        std::array<char, kEventFileHeaderSize> header{};
        for (std::size_t i = 0; i < kEventFileTag.size(); ++i)
            header[i] = kEventFileTag[i];
        return header;
    }();

    CFile file;
    if (!file.Open(path, FileMode::CreateWrite, ShareMode::DenyNone))
        return false;
    const bool written = file.Write(kHeader.data(), kHeader.size());
    return file.Close() && written;
}

void StoreEventTimes(const std::int64_t* times, std::size_t count, std::uint8_t* out)
{
    for (std::size_t k = 0; k < count; ++k)
        StoreLE64(out + k * kEventEntrySize, static_cast<std::uint64_t>(times[k]));
}
