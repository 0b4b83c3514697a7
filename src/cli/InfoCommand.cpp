// tracktool info: what the reader makes of a tracker file, as "name: value" lines.
#include "cli/CliCommand.h"
#include "trackfile/TrackFile.h"

#include <cinttypes>
#include <cstdio>

namespace
{
int RunInfo(const std::vector<std::string>& args);

const CliCommand kInfo{"info", "FILE",
                       "header, record count, incomplete tail and time span of a tracker file", &RunInfo};
const CCliCommandRegistration kRegisterInfo(kInfo);

int RunInfo(const std::vector<std::string>& args)
{
    if (args.size() != 1 || (!args[0].empty() && args[0][0] == '-'))
        return CliUsageError(kInfo);
    CTrackFile file;
    if (file.Open(args[0]) == -601)
        return kExitFailed;

    const std::uint32_t count = file.GetRecordCount();
    std::printf("file: %s\n", file.GetFileName().c_str());
    std::printf("header: %s\n", file.HasHeader() ? "yes" : "no");
    std::printf("records: %" PRIu32 "\n", count);
    std::printf("incomplete tail bytes: %" PRIu64 "\n", file.GetTailBytes());
    if (count == 0)
        return kExitOk;

    TrackRecord first;
    TrackRecord last;
    if (file.GetRecord(first, 0) != 0 || file.GetRecord(last, count - 1) != 0)
        return kExitFailed;
    const std::int64_t firstTime = first.timestamp;
    const std::int64_t lastTime = last.timestamp;
    std::printf("first timestamp: %" PRId64 "\n", firstTime);
    std::printf("last timestamp: %" PRId64 "\n", lastTime);
    // The difference is taken unsigned so that opposite extremes do not overflow.
    const auto span = static_cast<std::uint64_t>(lastTime) - static_cast<std::uint64_t>(firstTime);
    std::printf("duration: %" PRId64 "\n", static_cast<std::int64_t>(span));
    std::printf("seconds at 60 records a second: %.3f\n", static_cast<double>(count) / 60.0);
    return kExitOk;
}
} // namespace
