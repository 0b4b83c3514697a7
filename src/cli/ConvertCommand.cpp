// tracktool convert: recomputes every record's position and heading from its targets into a new
// file, with the window's check of the distance band.
#include "cli/CliCommand.h"
#include "cli/CliProgress.h"
#include "recalc/TrackConverter.h"

#include <filesystem>

namespace
{
int RunConvert(const std::vector<std::string>& args);

const CliCommand kConvert{"convert", "SRC DST [--min N] [--max N]   (defaults: --min 10 --max 100)",
                          "recompute position and heading from the targets into a new file", &RunConvert};
const CCliCommandRegistration kRegisterConvert(kConvert);

int RunConvert(const std::vector<std::string>& args)
{
    std::vector<std::string> paths;
    int minDistance = 10;
    int maxDistance = 100;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if ((arg == "--min" || arg == "--max") && i + 1 < args.size())
        {
            const auto value = ParseCliSigned(args[++i]);
            if (!value)
                return CliUsageError(kConvert, "not a whole number: " + args[i]);
            (arg == "--min" ? minDistance : maxDistance) = static_cast<int>(*value);
        }
        else if (arg.size() > 1 && arg[0] == '-')
            return CliUsageError(kConvert, "unknown or incomplete option " + arg);
        else
            paths.push_back(arg);
    }
    if (paths.size() != 2)
        return CliUsageError(kConvert, "give one source and one destination");

    // Nothing is opened when the band is refused.
    if (!ValidateTargetDistances(minDistance, maxDistance))
        return kExitFailed;
    std::error_code ignored;
    const std::uintmax_t size = std::filesystem::file_size(paths[0], ignored);
    CCliProgress progress("convert", size == static_cast<std::uintmax_t>(-1) ? 0 : size);
    CTrackConverter converter;
    const int result =
        converter.ConvertFile(paths[0], paths[1], minDistance, maxDistance,
                              [&](std::uint64_t done, std::uint64_t) { progress.Update(done); });
    return result == 0 ? kExitOk : kExitFailed;
}
} // namespace
