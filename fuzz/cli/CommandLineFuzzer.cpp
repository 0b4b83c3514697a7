// Parses tracktool command lines built from the input (every registered command, with words from
// a vocabulary of its options and awkward values, and raw words) without running them, and checks
// that the parse only ever succeeds or reports a usage error with a message, and writes no file.
#include "cli/CliApp.h"
#include "cli/CliCommand.h"
#include "support/FuzzInput.h"
#include "support/FuzzScratch.h"

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
// Words that mean something to some command, and values at the edges of what numbers may be.
const std::vector<std::string> kVocabulary = {
    "gen",
    "info",
    "convert",
    "events",
    "plot",
    "frame",
    "viewer",
    "help",
    "--help",
    "-h",
    "--version",
    "--records",
    "--seed",
    "--old-style",
    "--partial",
    "--min",
    "--max",
    "--region",
    "--dir",
    "--every",
    "--selected",
    "--targets",
    "--colors",
    "--timestamp",
    "--",
    "-",
    "",
    " 5",
    "+5",
    "5x",
    "0",
    "1",
    "-1",
    "1827",
    "1828",
    "4294967295",
    "4294967296",
    "2147483647",
    "-2147483648",
    "010",
    "0x10",
    "50,50,175,175",
    "50,50,175,175:open arm",
    "1,2,3",
    "1,2,3,4,5",
    "a,b,c,d",
    "1,2,3,4:",
    "1,2,3,4:a/b",
    "RR,PR,Lum",
    "RR,,PB",
    "track.qtf",
    "out.bmp",
    "out.png",
    "--region=1,2,3,4",
    "--records=5",
    "batch",
    "combine",
    "--out",
    "--from",
    "--layout",
    "--outputs",
    "events,visits,records,quality",
    "events,,visits",
    "--jobs",
    "--shard",
    "auto",
    "3/16",
    "16/16",
    "--force",
    "--jump",
    "study",
};
constexpr std::size_t kMaxWords = 12;
constexpr std::size_t kMaxRawWord = 24;
constexpr std::uint8_t kRawWordFrom = 128; // selector bytes from here on spell a raw word

std::vector<std::string> Words(CFuzzInput& input)
{
    std::vector<std::string> words;
    const std::size_t count = input.U8() % (kMaxWords + 1);
    for (std::size_t i = 0; i < count && input.Remaining() > 0; ++i)
    {
        const std::uint8_t selector = input.U8();
        if (selector < kRawWordFrom)
        {
            words.push_back(kVocabulary[selector % kVocabulary.size()]);
            continue;
        }
        std::string word;
        const std::size_t length = input.U8() % (kMaxRawWord + 1);
        for (std::size_t k = 0; k < length; ++k)
            word += static_cast<char>(input.U8());
        words.push_back(word);
    }
    return words;
}

CFuzzInputBuilder& Vocabulary(CFuzzInputBuilder& input, const std::string& word)
{
    for (std::size_t i = 0; i < kVocabulary.size(); ++i)
        if (kVocabulary[i] == word)
            return input.U8(static_cast<std::uint8_t>(i));
    return input.U8(kRawWordFrom).U8(static_cast<std::uint8_t>(word.size())).Bytes(word.data(), word.size());
}
} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeedInputs()
{
    const std::vector<std::vector<std::string>> lines = {
        {"gen", "out.qtf", "--records", "10", "--seed", "3"},
        {"convert", "a.qtf", "b.qtf", "--min", "10", "--max", "100"},
        {"events", "track.qtf", "--region", "50,50,175,175:open arm", "--dir", "."},
        {"frame", "track.qtf", "3", "out.bmp", "--targets", "--colors", "RR,PR,Lum"},
        {"plot", "track.qtf", "out.png", "--every", "0", "--selected", "-1"},
        {"help", "info"},
        {"batch", "study", "--out", "out", "--outputs", "events,visits,records,quality", "--jobs", "2",
         "--shard", "3/16", "--force"},
        {"combine", "out"},
    };
    std::vector<std::vector<std::uint8_t>> seeds;
    for (const std::vector<std::string>& line : lines)
    {
        CFuzzInputBuilder input;
        input.U8(static_cast<std::uint8_t>(line.size()));
        for (const std::string& word : line)
            Vocabulary(input, word);
        seeds.push_back(input.Data());
    }
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Parsing writes nothing, so the words run in an empty folder of their own that must stay
    // empty; help texts go nowhere.
    static const CFuzzScratchDir scratch;
    static const bool quiet =
        std::freopen("/dev/null", "w", stdout) != nullptr && ::chdir(scratch.Path().c_str()) == 0;
    FuzzCheck(quiet, "the fuzzer runs in its own folder");

    CFuzzInput input(data, size);
    const std::vector<std::string> words = Words(input);
    CFuzzMessageSink sink;
    CScopedMessageSink scoped(sink);
    CCliApp tool(RegisteredCliCommands(), "tracktool fuzz");
    const int status = tool.Run(words, CliRunMode::ParseOnly);
    FuzzCheck(status == kExitOk || status == kExitUsage, "a parse succeeds or is a usage error");
    FuzzCheck(status == kExitOk || !sink.m_messages.empty(), "a usage error says what is wrong");
    FuzzCheck(scratch.List().empty(), "parsing writes no file");
    return 0;
}
