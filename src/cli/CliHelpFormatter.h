// How tracktool's help and usage lines read. A command's usage line is built from the arguments it
// declares ("usage: tracktool gen OUT [--records N] ..."), so it cannot drift from what the command
// accepts; the help lists each argument with its placeholder and description.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

class CCliHelpFormatter final : public CLI::Formatter
{
public:
    CCliHelpFormatter();
    // "usage: NAME SYNOPSIS\n"; NAME is the command path ("tracktool gen").
    std::string make_usage(const CLI::App* app, std::string name) const override;
    // The placeholder of an option that takes a value; nothing for flags and positionals.
    std::string make_option_opts(const CLI::Option* option) const override;
};

// The arguments part of a command's usage line: positionals, then options in declaration order,
// optional ones in brackets, repeatable ones followed by "...". The help and version flags are
// left out; a command with subcommands shows "COMMAND [ARGS...]".
[[nodiscard]] std::string CliSynopsis(const CLI::App& command);

// "usage: tracktool gen OUT ..." for a command of the tool (or the tool itself).
[[nodiscard]] std::string CliUsageLine(const CLI::App& command);
