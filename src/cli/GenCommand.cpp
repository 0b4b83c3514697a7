// tracktool gen: writes a synthetic tracker file.
#include "cli/CliCommand.h"
#include "cli/CliProgress.h"
#include "trackfile/TrackGenerator.h"

#include <cstdio>
#include <limits>

namespace
{
int RunGen(const std::vector<std::string>& args);

const CliCommand kGen{"gen", "OUT [--records N] [--seed S] [--old-style] [--partial BYTES]",
                      "write a synthetic tracker file (60 records a second, 640 x 480 arena)", &RunGen};
const CCliCommandRegistration kRegisterGen(kGen);

int RunGen(const std::vector<std::string>& args)
{
    TrackGeneratorOptions options;
    std::string out;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--old-style")
            options.oldStyle = true;
        else if ((arg == "--records" || arg == "--seed" || arg == "--partial") && hasValue)
        {
            const auto value = ParseCliUnsigned(args[++i], std::numeric_limits<std::uint32_t>::max());
            if (!value)
                return CliUsageError(kGen, "not a whole number: " + args[i]);
            if (arg == "--records")
                options.records = static_cast<std::uint32_t>(*value);
            else if (arg == "--seed")
                options.seed = *value;
            else
                options.partialBytes = static_cast<std::uint32_t>(*value);
        }
        else if (!arg.empty() && arg[0] == '-')
            return CliUsageError(kGen, "unknown or incomplete option " + arg);
        else if (out.empty())
            out = arg;
        else
            return CliUsageError(kGen, "more than one output file");
    }
    if (out.empty())
        return CliUsageError(kGen, "no output file");

    CCliProgress progress("gen", options.records);
    const int result = WriteGeneratedTrack(out, options, [&](std::uint32_t done) { progress.Update(done); });
    if (result != 0)
    {
        std::fprintf(stderr, "tracktool gen: cannot write %s\n", out.c_str());
        return kExitFailed;
    }
    return kExitOk;
}
} // namespace
