#include "cli/CliHelpFormatter.h"

namespace
{
bool IsHelpOrVersion(const CLI::App& command, const CLI::Option* option)
{
    return option == command.get_help_ptr() || option == command.get_help_all_ptr() ||
           option == command.get_version_ptr();
}

// A flag takes no value.
bool TakesValue(const CLI::Option* option)
{
    return option->get_expected_max() > 0;
}

// A list option: each occurrence adds one value ("--region A --region B").
bool Repeats(const CLI::Option* option)
{
    return option->get_expected_max() > 1;
}

// "tracktool gen" for gen; the tool's own name for the tool.
std::string CommandPath(const CLI::App& command)
{
    const CLI::App* parent = command.get_parent();
    return parent == nullptr ? command.get_name() : CommandPath(*parent) + " " + command.get_name();
}
} // namespace

CCliHelpFormatter::CCliHelpFormatter()
{
    label("Positionals", "Arguments");
    constexpr std::size_t kOptionColumnWidth = 30; // wide enough for "--region L,T,R,B[:NAME]"
    column_width(kOptionColumnWidth);
}

std::string CCliHelpFormatter::make_usage(const CLI::App* app, std::string name) const
{
    return "usage: " + name + " " + CliSynopsis(*app) + "\n";
}

std::string CCliHelpFormatter::make_option_opts(const CLI::Option* option) const
{
    if (option->get_positional() || !TakesValue(option))
        return {};
    return " " + option->get_type_name();
}

std::string CliSynopsis(const CLI::App& command)
{
    if (!command.get_subcommands({}).empty())
        return "COMMAND [ARGS...]";
    std::string synopsis;
    const auto append = [&synopsis](const std::string& word)
    { synopsis += (synopsis.empty() ? "" : " ") + word; };

    for (const CLI::Option* option :
         command.get_options([](const CLI::Option* o) { return o->get_positional(); }))
    {
        const std::string word = option->get_name(true) + (Repeats(option) ? "..." : "");
        append(option->get_required() ? word : "[" + word + "]");
    }
    for (const CLI::Option* option : command.get_options(
             [&command](const CLI::Option* o) { return o->nonpositional() && !IsHelpOrVersion(command, o); }))
    {
        std::string word = option->get_name();
        if (TakesValue(option))
            word += " " + option->get_type_name();
        if (!option->get_required())
            word = "[" + word + "]";
        append(Repeats(option) ? word + "..." : word);
    }
    return synopsis;
}

std::string CliUsageLine(const CLI::App& command)
{
    return "usage: " + CommandPath(command) + " " + CliSynopsis(command);
}
