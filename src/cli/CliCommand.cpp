#include "cli/CliCommand.h"

namespace
{
std::vector<CliCommand>& Registry()
{
    static std::vector<CliCommand> commands; // built before main by the commands' registrations
    return commands;
}
} // namespace

CCliCommandRegistration::CCliCommandRegistration(const CliCommand& command)
{
    Registry().push_back(command);
}

const std::vector<CliCommand>& RegisteredCliCommands()
{
    return Registry();
}
