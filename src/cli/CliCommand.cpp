#include "cli/CliCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace
{
std::vector<CliCommand>& Registry()
{
    static std::vector<CliCommand> commands;
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

int CliUsageError(const CliCommand& command, const std::string& problem)
{
    if (!problem.empty())
        std::fprintf(stderr, "tracktool %s: %s\n", command.name, problem.c_str());
    std::fprintf(stderr, "usage: tracktool %s %s\n", command.name, command.usage);
    return kExitUsage;
}

std::optional<unsigned long> ParseCliUnsigned(const std::string& text, unsigned long max)
{
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value > max)
        return std::nullopt;
    return static_cast<unsigned long>(value);
}

std::optional<long> ParseCliSigned(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<long>(value);
}
