// tracktool's commands. Each command is one source file of this folder that registers itself with
// a static CCliCommandRegistration: its name, its one-line summary, and a function that adds its
// arguments to the command's CLI::App and returns what runs it once they are parsed. A new command
// is a new file; nothing else changes.
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
