#include "support/GeneratedTrack.h"

#include "support/FuzzInput.h"
#include "support/FuzzScratch.h"

std::vector<std::uint8_t> GeneratedTrackBytes(const TrackGeneratorOptions& options)
{
    const CFuzzScratchDir scratch;
    const std::string path = scratch.File("generated.qtf");
    FuzzCheck(WriteGeneratedTrack(path, options) == 0, "the generator writes its track");
    std::optional<std::vector<std::uint8_t>> bytes = ReadFileBytes(path);
    FuzzCheck(bytes.has_value(), "the generated track can be read back");
    return *bytes;
}

std::vector<TrackRecord> GeneratedRecords(std::uint32_t count, std::uint64_t seed)
{
    CTrackGenerator generator(seed);
    std::vector<TrackRecord> records(count);
    for (TrackRecord& record : records)
        generator.NextRecord(record);
    return records;
}
