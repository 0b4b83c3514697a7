// Opens arbitrary bytes as a tracker file and reads records in a pattern taken from the input.
#include "support/FuzzInput.h"
#include "support/FuzzScratch.h"
#include "support/GeneratedTrack.h"
#include "trackfile/TrackFile.h"

#include <cstring>
#include <string>
#include <vector>

std::vector<std::vector<std::uint8_t>> FuzzSeedInputs()
{
    std::vector<std::vector<std::uint8_t>> seeds;
    for (const TrackGeneratorOptions& options :
         {TrackGeneratorOptions{3, 1, false, 0}, TrackGeneratorOptions{2, 2, true, 0},
          TrackGeneratorOptions{2, 3, false, 700}})
        seeds.push_back(GeneratedTrackBytes(options));
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const CFuzzScratchDir scratch;
    const std::string path = scratch.File("input.qtf");
    if (WriteFileBytes(path, data, size))
    {
        CFuzzMessageSink sink;
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
    scratch.Clear();
    return 0;
}
