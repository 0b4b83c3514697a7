// tracktool: batch commands over the same core as the window, for scripting and for checking the
// core from outside. Core messages appear on stderr, one line each, exactly as their texts read.
#include "cli/CliCommand.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{
int PrintCommandList(FILE* out)
{
    std::fprintf(out, "usage: tracktool COMMAND [ARGS...]\n\ncommands:\n");
    for (const CliCommand& command : RegisteredCliCommands())
        std::fprintf(out, "  %-8s %s\n           tracktool %s %s\n", command.name, command.summary,
                     command.name, command.usage);
    return out == stdout ? kExitOk : kExitUsage;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return PrintCommandList(stderr);
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help")
        return PrintCommandList(stdout);
    for (const CliCommand& command : RegisteredCliCommands())
    {
        if (name == command.name)
            return command.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "tracktool: unknown command '%s'\n", name.c_str());
    return PrintCommandList(stderr);
}
