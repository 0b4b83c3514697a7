// tracktool info: what the reader makes of a tracker file, as "name: value" lines.
#include "base/ResultCodes.h"
#include "cli/CliCommand.h"
#include "trackfile/TrackFile.h"

#include <CLI/CLI.hpp>
#include <cinttypes>
#include <cstdio>
#include <limits>
#include <memory>

namespace
{
int RunInfo(const std::string& path)
{
    CTrackFile file;
    if (file.Open(path) != kOk)
        return kExitFailed; // the reader has said why

    const std::uint32_t count = file.GetRecordCount();
    std::printf("file: %s\n", file.GetFileName().c_str());
    std::printf("header: %s\n", file.HasHeader() ? "yes" : "no");
    std::printf("records: %" PRIu32 "\n", count);
    // Counts are 32-bit: past that, the records line shows what is served and this what is there.
    if (file.GetRecordsInFile() > std::numeric_limits<std::uint32_t>::max())
        std::printf("records in the file: %" PRIu64 " (more than can be counted; the first %" PRIu32
                    " are served)\n",
                    file.GetRecordsInFile(), count);
    std::printf("incomplete tail bytes: %" PRIu64 "\n", file.GetTailBytes());
    if (count == 0)
        return kExitOk;

    TrackRecord first;
    TrackRecord last;
    if (file.GetRecord(first, 0) != kOk || file.GetRecord(last, count - 1) != kOk)
        return kExitFailed;
    const std::int64_t firstTime = first.timestamp;
    const std::int64_t lastTime = last.timestamp;
    std::printf("first timestamp: %" PRId64 "\n", firstTime);
    std::printf("last timestamp: %" PRId64 "\n", lastTime);
    // The difference is taken unsigned so that opposite extremes do not overflow.
    const auto span = static_cast<std::uint64_t>(lastTime) - static_cast<std::uint64_t>(firstTime);
    std::printf("duration: %" PRId64 "\n", static_cast<std::int64_t>(span));
    std::printf("seconds at 60 records a second: %.3f\n",
                static_cast<double>(count) / static_cast<double>(kRecordsPerSecond));
    return kExitOk;
}

CliRun AddInfo(CLI::App& command)
{
    auto path = std::make_shared<std::string>();
    command.add_option("FILE", *path, "the tracker file")->required();
    return [path] { return RunInfo(*path); };
}

const CCliCommandRegistration kRegisterInfo(
    {"info", "header, record count, incomplete tail and time span of a tracker file", &AddInfo});
} // namespace
