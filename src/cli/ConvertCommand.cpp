// tracktool convert: recomputes every record's position and heading from its targets into a new
// file, with the window's check of the distance band.
#include "base/ResultCodes.h"
#include "cli/CliChecks.h"
#include "cli/CliCommand.h"
#include "cli/CliProgress.h"
#include "recalc/TrackConverter.h"

#include <filesystem>
#include <memory>

namespace
{
struct ConvertArgs
{
    std::string source;
    std::string destination;
    int minDistance = 10;
    int maxDistance = 100;
};

int RunConvert(const ConvertArgs& args)
{
    // Nothing is opened when the band is refused.
    if (!ValidateTargetDistances(args.minDistance, args.maxDistance))
        return kExitFailed;
    std::error_code unknownSize;
    const std::uintmax_t size = std::filesystem::file_size(args.source, unknownSize);
    CCliProgress progress("convert", unknownSize ? 0 : size);
    CTrackConverter converter;
    const int result =
        converter.ConvertFile(args.source, args.destination, args.minDistance, args.maxDistance,
                              [&](std::uint64_t done, std::uint64_t) { progress.Update(done); });
    return result == kOk ? kExitOk : kExitFailed;
}

CliRun AddConvert(CLI::App& command)
{
    auto args = std::make_shared<ConvertArgs>();
    command.add_option("SRC", args->source, "the tracker file to read")->required();
    command.add_option("DST", args->destination, "the file to write")->required();
    AddWholeNumber(command, "--min", args->minDistance, "N", "least distance between targets (default 10)");
    AddWholeNumber(command, "--max", args->maxDistance, "N",
                   "greatest distance between targets (default 100)");
    return [args] { return RunConvert(*args); };
}

const CCliCommandRegistration kRegisterConvert(
    {"convert", "recompute position and heading from the targets into a new file", &AddConvert});
} // namespace
