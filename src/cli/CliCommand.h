// tracktool's commands: each source file of this folder registers one command with a static
// CCliCommandRegistration. Exit status: 0 success, 1 the operation failed, 2 a usage error.
#pragma once

#include <optional>
#include <string>
#include <vector>

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct CliCommand
{
    const char* name;
    const char* usage;                                // the argument synopsis, shown after "tracktool NAME"
    const char* summary;                              // one line for the command list
    int (*run)(const std::vector<std::string>& args); // arguments after the command name
};

class CCliCommandRegistration
{
public:
    explicit CCliCommandRegistration(const CliCommand& command);
};

const std::vector<CliCommand>& RegisteredCliCommands();

// Prints "usage: tracktool NAME USAGE" to stderr and returns kExitUsage.
int CliUsageError(const CliCommand& command, const std::string& problem = {});

// Parses a whole decimal number into an unsigned 32-bit value (no sign, no trailing text).
std::optional<unsigned long> ParseCliUnsigned(const std::string& text, unsigned long max);
// Parses a whole signed decimal number in the 32-bit range.
std::optional<long> ParseCliSigned(const std::string& text);
