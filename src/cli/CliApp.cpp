#include "cli/CliApp.h"

#include "base/MessageSink.h"
#include "cli/CliHelpFormatter.h"

#include <cerrno>
#include <cstring>
#include <optional>

namespace
{
constexpr const char* kToolName = "tracktool";
constexpr const char* kToolSummary =
    "tracktool: batch commands over trackplay's core, for scripts and for checking the core from outside";
constexpr const char* kExitStatusNote = "Exit status: 0 success, 1 the operation failed, 2 a usage error.";
constexpr const char* kCommandHelpNote =
    "Run 'tracktool COMMAND --help' (or 'tracktool help COMMAND') for a command's arguments.";

// CLI11 reads "--name=value" as "--name value"; tracktool's options have always taken their value
// as the next word only, so that a value is never taken from inside another word.
std::optional<std::string> FindJoinedValue(const std::vector<std::string>& args)
{
    for (const std::string& arg : args)
    {
        if (arg == "--")
            break;
        if (arg.starts_with("--") && arg.find('=') != std::string::npos)
            return arg;
    }
    return std::nullopt;
}

std::string WithoutFinalNewline(std::string text)
{
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}
} // namespace

CCliApp::CCliApp(const std::vector<CliCommand>& commands, const std::string& version)
    : m_tool(kToolSummary, kToolName)
{
    // The formatter, the option defaults and the help flag are set before the commands are added,
    // which take them over. A repeated option keeps its last value, as it always has.
    m_tool.formatter(std::make_shared<CCliHelpFormatter>());
    m_tool.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    m_tool.set_help_flag("-h,--help", "print this help and exit");
    m_tool.set_version_flag("--version", version, "print the version and exit");
    m_tool.require_subcommand(1);
    for (const CliCommand& command : commands)
    {
        CLI::App* app = m_tool.add_subcommand(command.name, command.summary);
        app->group("Commands");
        app->footer(kExitStatusNote);
        m_runs.emplace_back(app, command.add(*app));
    }
    m_tool.footer(std::string(kCommandHelpNote) + "\n" + kExitStatusNote);
}

const CLI::App* CCliApp::FindCommand(const std::string& name) const
{
    for (const auto& [command, run] : m_runs)
        if (command->get_name() == name)
            return command;
    return nullptr;
}

int CCliApp::Run(std::vector<std::string> args, CliRunMode mode)
{
    if (!args.empty() && args.front() == "help") // "help [COMMAND]" is "[COMMAND] --help"
    {
        args.erase(args.begin());
        args.emplace_back("--help");
    }
    try
    {
        if (const CLI::App* command = args.empty() ? nullptr : FindCommand(args.front()))
            if (const auto joined = FindJoinedValue(args))
                return ReportUsageError(command, *joined + ": give the option's value as the next word");
        std::vector<std::string> reversed(args.rbegin(), args.rend()); // CLI11 takes the last word first
        m_tool.parse(reversed);
    }
    catch (const CLI::CallForHelp&)
    {
        std::fputs(m_tool.help().c_str(), stdout);
        return kExitOk;
    }
    catch (const CLI::CallForVersion& version)
    {
        std::printf("%s\n", version.what());
        return kExitOk;
    }
    catch (const CLI::ParseError& error)
    {
        return ReportParseError(error, args);
    }
    for (const auto& [command, run] : m_runs)
        if (command->parsed())
            return mode == CliRunMode::Execute ? run() : kExitOk;
    return ReportUsageError(nullptr, "no command given"); // not reached: parsing requires one
}

int CCliApp::ReportParseError(const CLI::ParseError& error, const std::vector<std::string>& args) const
{
    const std::vector<CLI::App*> parsed = m_tool.get_subcommands();
    if (!parsed.empty())
        return ReportUsageError(parsed.front(), error.what());
    if (args.empty())
        return ReportUsageError(nullptr, "no command given");
    // The tool's own options (help, version) have been answered before any error, so a first word
    // that is no command is either a misspelt command or an option the tool does not have.
    if (!args.front().starts_with("-"))
        return ReportUsageError(nullptr, "unknown command '" + args.front() + "'");
    return ReportUsageError(nullptr, "unknown option '" + args.front() + "'");
}

int CCliApp::ReportUsageError(const CLI::App* command, const std::string& problem) const
{
    if (command == nullptr)
    {
        // The tool's own usage lists the commands.
        ShowMessage(std::string(kToolName) + ": " + problem);
        ShowMessage(WithoutFinalNewline(m_tool.help()));
        return kExitUsage;
    }
    ShowMessage(std::string(kToolName) + " " + command->get_name() + ": " + problem);
    ShowMessage(CliUsageLine(*command));
    return kExitUsage;
}

int FinishOutput(std::FILE* out, int status)
{
    errno = 0;
    const bool flushed = std::fflush(out) == 0;
    const int flushError = errno;
    if (flushed && std::ferror(out) == 0)
        return status;
    ShowMessageWithReason("tracktool: cannot write to standard output",
                          flushed ? "" : std::strerror(flushError));
    return status == kExitOk ? kExitFailed : status;
}
