// tracktool gen: writes a synthetic tracker file.
#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "cli/CliChecks.h"
#include "cli/CliCommand.h"
#include "cli/CliProgress.h"
#include "trackfile/TrackGenerator.h"

#include <memory>

namespace
{
struct GenArgs
{
    std::string out;
    TrackGeneratorOptions options;
};

int RunGen(const GenArgs& args)
{
    CCliProgress progress("gen", args.options.records);
    const int result =
        WriteGeneratedTrack(args.out, args.options, [&](std::uint32_t done) { progress.Update(done); });
    if (result != kOk)
    {
        ShowMessage("tracktool gen: cannot write " + args.out);
        return kExitFailed;
    }
    return kExitOk;
}

CliRun AddGen(CLI::App& command)
{
    auto args = std::make_shared<GenArgs>();
    command.add_option("OUT", args->out, "the file to write")->required();
    AddWholeNumber(command, "--records", args->options.records, "N", "whole records to write (default 3600)");
    AddWholeNumber(command, "--seed", args->options.seed, "S", "seed of the track (default 1)", 0,
                   kHighestOf<std::uint32_t>);
    command.add_flag("--old-style", args->options.oldStyle, "no header: records from the first byte");
    // Less than one record, so that the tail is an incomplete record rather than more whole ones.
    AddWholeNumber(command, "--partial", args->options.partialBytes, "BYTES",
                   "bytes of an incomplete record after the last whole one (default 0)", 0,
                   kTrackRecordSize - 1);
    return [args] { return RunGen(*args); };
}

const CCliCommandRegistration
    kRegisterGen({"gen", "write a synthetic tracker file (60 records a second, 640 x 480 arena)", &AddGen});
} // namespace
