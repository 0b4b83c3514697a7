// tracktool records: one CSV row per record of a tracker file (record, timestamp, x, y, angle and
// the numbers of light points and targets), written in one pass.
//
// Exit status: 2 for a malformed command line; 1 when the file cannot be read or the CSV file
// cannot be written; else 0.
#include "analysis/TrackCsv.h"
#include "base/ResultCodes.h"
#include "cli/CliCommand.h"
#include "cli/CliProgress.h"
#include "trackfile/BlockReader.h"

#include <CLI/CLI.hpp>
#include <memory>

namespace
{
struct RecordsArgs
{
    std::string path;
    std::string out;
};

int RunRecords(const RecordsArgs& args)
{
    CBlockReader reader;
    if (reader.Open(args.path) != kOk)
        return kExitFailed; // the reader has said why
    CTrackCsvWriter writer(args.out);
    IRecordConsumer* consumers[] = {&writer};
    const int result = RunWithProgress(reader, consumers, "records");
    return result == kOk ? kExitOk : kExitFailed;
}

CliRun AddRecords(CLI::App& command)
{
    auto args = std::make_shared<RecordsArgs>();
    command.add_option("FILE", args->path, "the tracker file")->required();
    command.add_option("OUT.csv", args->out, "the CSV file to write")->required();
    return [args] { return RunRecords(*args); };
}

const CCliCommandRegistration kRegisterRecords(
    {"records", "every record's timestamp, position, heading and list sizes as one CSV file", &AddRecords});
} // namespace
