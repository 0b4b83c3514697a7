// tracktool's commands. Each command is one source file of this folder that registers itself with
// a static CCliCommandRegistration: its name, its one-line summary, and a function that adds its
// arguments to the command's CLI::App and returns what runs it once they are parsed. A new command
// is a new file, added to tracktool's sources; nothing else changes. Such a file reads:
//
//     namespace
//     {
//     struct VisitsArgs { std::string path; std::uint32_t every = 60; };
//     int RunVisits(const VisitsArgs& args) { ...; return kExitOk; }
//     CliRun AddVisits(CLI::App& command)
//     {
//         auto args = std::make_shared<VisitsArgs>(); // the run and the parser share it
//         command.add_option("FILE", args->path, "the tracker file")->required();
//         AddWholeNumber(command, "--every", args->every, "N", "every Nth record (default 60)");
//         return [args] { return RunVisits(*args); };
//     }
//     const CCliCommandRegistration kRegisterVisits({"visits", "one line on what it does", &AddVisits});
//     } // namespace
//
// Numbers go through AddWholeNumber (cli/CliChecks.h), regions through CRegionOptions
// (cli/RegionOptions.h); messages go to the message sink, results to stdout.
//
// Exit status: kExitOk success, kExitFailed the operation failed, kExitUsage a usage error (the
// message and the command's usage line on stderr).
#pragma once

#include <functional>
#include <vector>

namespace CLI
{
class App;
}

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// The work of a command after its arguments are parsed; returns the exit status.
using CliRun = std::function<int()>;

struct CliCommand
{
    const char* name;
    const char* summary;              // one line for the command list and the command's help
    CliRun (*add)(CLI::App& command); // declares the arguments; the run reads what they parsed into
};

class CCliCommandRegistration
{
public:
    explicit CCliCommandRegistration(const CliCommand& command);
};

// Every registered command, in registration order.
[[nodiscard]] const std::vector<CliCommand>& RegisteredCliCommands();
