// Opens arbitrary bytes as a tracker file and reads records in a pattern taken from the input.
#include "base/MessageSink.h"
#include "support/RecordingMessageSink.h"
#include "trackfile/TrackFile.h"
#include "trackfile/TrackFileHeader.h"

#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

std::vector<std::uint8_t> FuzzSeedInput()
{
    std::vector<std::uint8_t> bytes(kTrackHeaderSize + 3 * kTrackRecordSize, 0);
    std::memcpy(bytes.data(), kTrackHeaderTag.data(), kTrackHeaderTag.size());
    return bytes;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    char path[] = "/tmp/trackplay-fuzz-XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0)
        return 0;
    const bool written = ::write(fd, data, size) == static_cast<ssize_t>(size);
    ::close(fd);
    if (written)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CTrackFile reader;
        reader.Open(path);
        const std::uint32_t count = reader.GetRecordCount();
        TrackRecord record;
        for (std::size_t i = 0; i < size && i < 64; ++i)
        {
            const std::uint32_t index = count == 0 ? data[i] : (data[i] * 7919u) % (count + 2);
            reader.GetRecord(record, index);
        }
    }
    ::unlink(path);
    return 0;
}
