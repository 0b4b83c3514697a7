// tracktool's command line: the registered commands as subcommands of one CLI11 app, with --help
// on the tool and on every command, and --version on the tool. Run answers help and version on
// stdout, reports a usage error (its problem and the command's usage line) through the message
// sink, or runs the command the words name. No CLI11 exception leaves Run.
#pragma once

#include "cli/CliCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// Whether Run runs the command its words name, or only parses them (what a fuzzer of the command
// line wants: every check and message of the parse, and no file touched).
enum class CliRunMode
{
    Execute,
    ParseOnly,
};

class CCliApp
{
public:
    // version: the text --version prints ("tracktool 2.0.0").
    CCliApp(const std::vector<CliCommand>& commands, const std::string& version);
    CCliApp(const CCliApp&) = delete;
    CCliApp& operator=(const CCliApp&) = delete;

    // args: the words after the program's name. Returns the exit status (kExitOk for words that
    // parse when only parsing). One run per object: CLI11 keeps what it parsed.
    int Run(std::vector<std::string> args, CliRunMode mode = CliRunMode::Execute);

private:
    [[nodiscard]] const CLI::App* FindCommand(const std::string& name) const;
    int ReportUsageError(const CLI::App* command, const std::string& problem) const;
    int ReportParseError(const CLI::ParseError& error, const std::vector<std::string>& args) const;

    CLI::App m_tool;
    std::vector<std::pair<const CLI::App*, CliRun>> m_runs; // each command and what runs it
};

// Ends the run's output on out: when some of it did not arrive (a full disk, a broken pipe), says
// so and turns success into failure, so that a script never takes cut-off output for the whole.
int FinishOutput(std::FILE* out, int status);
