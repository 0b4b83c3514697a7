// tracktool records: one CSV row per record of a tracker file (record, timestamp, x, y, angle and
// the numbers of light points and targets), written in one pass.
//
// Exit status: 2 for a malformed command line; 1 when the file cannot be read or the CSV file
// cannot be written; else 0.
#include "base/ResultCodes.h"
#include "cli/CliCommand.h"
#include "cli/CliPass.h"
#include "outputs/RecordsOutput.h"

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
    CCliPass pass("records");
    if (pass.Open(args.path) != kOk)
        return kExitFailed; // the reader has said why
    CRecordsOutput records(args.out);
    ITrackOutput* outputs[] = {&records};
    return pass.Run(outputs) == kOk ? kExitOk : kExitFailed;
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
