// tracktool combine: joins what the shards of a batch wrote into OUT (their status files and
// summaries) into the files one run over every track writes (batch/BatchCombine.h), and prints the
// total of the tracks.
//
// Exit status: 2 for a malformed command line; 1 when a shard is missing, the shards' files cannot
// be read or the joined files cannot be written, or when a track failed in its shard; else 0.
#include "base/ResultCodes.h"
#include "batch/BatchCombine.h"
#include "cli/CliChecks.h"
#include "cli/CliCommand.h"

#include <cstdio>
#include <memory>

namespace
{
struct CombineArgs
{
    std::string out;
};

int RunCombine(const CombineArgs& args)
{
    CombineOutcome outcome;
    if (const Problem problem = CombineBatchShards(args.out, outcome); !problem.IsOk())
    {
        Tell(problem);
        return kExitFailed;
    }
    std::printf("%s\n", FormatShardTotal(outcome).c_str());
    return outcome.counts.failed > 0 ? kExitFailed : kExitOk;
}

CliRun AddCombine(CLI::App& command)
{
    auto args = std::make_shared<CombineArgs>();
    command.add_option("OUT", args->out, "the output folder of every shard")->required()->check(NonEmpty());
    command.footer(
        "Joins batch_status.shard-K-of-N.csv of K = 0 .. N-1 into batch_status.csv, and the shards'\n"
        "summary_regions and summary_sessions likewise, after checking that every shard is there.\n\n" +
        command.get_footer());
    return [args] { return RunCombine(*args); };
}

const CCliCommandRegistration kRegisterCombine(
    {"combine", "join the status and summaries of a batch's shards into those of the whole batch",
     &AddCombine});
} // namespace
