// The command line of tracktool in-process, over two small commands of the test's own: which one
// runs with what, and the usage errors reported through the message sink.
#include "cli/CliApp.h"

#include "cli/CliChecks.h"
#include "support/RecordingMessageSink.h"

#include <gtest/gtest.h>

namespace
{
// What the last command run was given.
struct Parsed
{
    std::string command;
    std::string file;
    std::uint32_t n = 0;
    bool x = false;
    std::vector<std::string> tags;
};
Parsed g_parsed;

CliRun AddCount(CLI::App& command)
{
    auto args = std::make_shared<Parsed>();
    command.add_option("FILE", args->file, "a file")->required();
    AddWholeNumber(command, "--n", args->n, "N", "a number");
    command.add_flag("--x", args->x, "a switch");
    command.add_option("--tag", args->tags, "a tag")->type_name("T")->allow_extra_args(false);
    return [args]
    {
        g_parsed = *args;
        g_parsed.command = "count";
        return args->n == 7 ? kExitFailed : kExitOk;
    };
}

CliRun AddOther(CLI::App&)
{
    return []
    {
        g_parsed = Parsed{};
        g_parsed.command = "other";
        return kExitOk;
    };
}

const std::vector<CliCommand> kCommands = {{"count", "counts", &AddCount},
                                           {"other", "does other", &AddOther}};
const std::string kCountUsage = "usage: tracktool count FILE [--n N] [--x] [--tag T]...";

// Test that the words pick the command, set its arguments, and give its exit status.
TEST(CliApp, RunsTheNamedCommandWithItsArguments)
{
    struct Case
    {
        std::vector<std::string> args;
        int status;
        std::string command;
        std::uint32_t n;
        std::vector<std::string> tags;
        std::string file = "f";
    };
    const Case cases[] = {
        {{"count", "f"}, kExitOk, "count", 0, {}},
        {{"count", "--n", "3", "f"}, kExitOk, "count", 3, {}},
        {{"count", "f", "--n", "7"}, kExitFailed, "count", 7, {}},
        {{"count", "f", "--n", "1", "--n", "2"}, kExitOk, "count", 2, {}}, // the last wins
        {{"count", "f", "--tag", "a", "--tag", "b"}, kExitOk, "count", 0, {"a", "b"}},
        {{"count", "--", "--n=5"}, kExitOk, "count", 0, {}, "--n=5"}, // after "--" a word is a value
        {{"other"}, kExitOk, "other", 0, {}, ""},
    };
    for (const Case& c : cases)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        g_parsed = Parsed{};
        CCliApp app(kCommands, "tracktool 0.0.0");
        EXPECT_EQ(app.Run(c.args), c.status) << c.args.back();
        EXPECT_EQ(g_parsed.command, c.command);
        EXPECT_EQ(g_parsed.file, c.file);
        EXPECT_EQ(g_parsed.n, c.n);
        EXPECT_EQ(g_parsed.tags, c.tags);
        EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
    }
}

// Test that a malformed command line runs nothing, exits 2, and says what is wrong with the usage
// of the command concerned (the tool's, listing the commands, when no command was recognised).
TEST(CliApp, UsageErrorsRunNothingAndShowTheUsage)
{
    struct Case
    {
        std::vector<std::string> args;
        std::string problem;
        std::string usage; // a part of the second message
    };
    const Case cases[] = {
        {{}, "tracktool: no command given", "usage: tracktool COMMAND [ARGS...]"},
        {{"nope", "f"}, "tracktool: unknown command 'nope'", "  other"},
        {{"--bogus"}, "tracktool: unknown option '--bogus'", "  count"},
        {{"count"}, "tracktool count: FILE is required", kCountUsage},
        {{"count", "f", "g"}, "tracktool count: The following argument was not expected: g", kCountUsage},
        {{"count", "f", "--n"}, "tracktool count: --n: 1 required N missing", kCountUsage},
        {{"count", "f", "--n", "+5"},
         "tracktool count: --n: '+5' is not a whole number from 0 to 4294967295",
         kCountUsage},
        {{"count", "f", "--n=5"},
         "tracktool count: --n=5: give the option's value as the next word",
         kCountUsage},
        {{"count", "f", "--x=1"},
         "tracktool count: --x=1: give the option's value as the next word",
         kCountUsage},
        {{"other", "f"},
         "tracktool other: The following argument was not expected: f",
         "usage: tracktool other"},
    };
    for (const Case& c : cases)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        g_parsed = Parsed{};
        CCliApp app(kCommands, "tracktool 0.0.0");
        EXPECT_EQ(app.Run(c.args), kExitUsage) << c.problem;
        EXPECT_EQ(g_parsed.command, "") << c.problem;
        ASSERT_EQ(sink.messages.size(), 2u) << c.problem;
        EXPECT_EQ(sink.messages[0], c.problem);
        EXPECT_NE(sink.messages[1].find(c.usage), std::string::npos) << sink.messages[1];
    }
}
} // namespace
