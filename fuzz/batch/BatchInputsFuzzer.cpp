// The texts a batch reads from its user and its shards: a list file of inputs, a shard ("K/N" or
// the array variables), a shard's status file name, and CSV tables read back for combining. The
// input is split into these texts, and the checks are what the batch relies on: a list gives the
// same paths when its paths are listed again, a shard is always one of its split and its status
// name gives it back, and a table read back keeps its bytes and its fields.
#include "base/CsvBuilder.h"
#include "batch/BatchCombine.h"
#include "batch/BatchInputs.h"
#include "batch/BatchShard.h"
#include "batch/CsvRecords.h"
#include "support/FuzzInput.h"

#include <string>
#include <string_view>
#include <vector>

namespace
{
constexpr std::size_t kMaxPart = 4096;

// The next part of the input: a length (two bytes) and that many bytes.
std::string Part(CFuzzInput& input)
{
    const std::size_t length = std::min<std::size_t>(input.U16(), kMaxPart);
    std::string text;
    for (std::size_t k = 0; k < length && input.Remaining() > 0; ++k)
        text += static_cast<char>(input.U8());
    return text;
}

void CheckList(const std::string& text)
{
    const std::vector<std::string> paths = ParseInputList(text);
    std::string listedAgain;
    for (const std::string& path : paths)
    {
        FuzzCheck(!path.empty() && path.find('\n') == std::string::npos, "a listed path is one whole line");
        FuzzCheck(path.back() != '\r', "a line's carriage return is not part of its path");
        const std::size_t first = path.find_first_not_of(" \t");
        FuzzCheck(first != std::string::npos && path[first] != '#', "no blank line or comment is a path");
        listedAgain += path + "\n";
    }
    FuzzCheck(ParseInputList(listedAgain) == paths, "the paths listed again are the same paths");
}

void CheckShard(const std::string& text, const std::string& id, const std::string& count,
                const std::string& min, std::uint8_t unset)
{
    if (const std::optional<BatchShard> shard = ParseShard(text))
    {
        FuzzCheck(shard->count >= 1 && shard->count <= kMaxShards && shard->index < shard->count,
                  "a shard is one of its split");
        const std::string canonical = std::to_string(shard->index) + "/" + std::to_string(shard->count);
        FuzzCheck(ParseShard(canonical) == shard, "a shard's own spelling reads back as itself");
        FuzzCheck(ShardOfStatusName(MakeBatchReportNames(shard).status) == shard,
                  "a shard's status file names it");
    }
    FuzzCheck(!ShardOfStatusName(text) || text.starts_with("batch_status.shard-"),
              "only status file names name a shard");

    const auto lookup = [&](const char* name) -> const char*
    {
        const std::string_view variable(name);
        const int bit = variable == "SLURM_ARRAY_TASK_ID" ? 1 : variable == "SLURM_ARRAY_TASK_COUNT" ? 2 : 4;
        if ((unset & bit) != 0)
            return nullptr;
        return bit == 1 ? id.c_str() : bit == 2 ? count.c_str() : min.c_str();
    };
    std::string problem;
    const std::optional<BatchShard> shard = ShardFromEnvironment(lookup, problem);
    FuzzCheck(shard.has_value() == problem.empty(), "a refused environment says why, a taken one does not");
    FuzzCheck(!shard || (shard->count >= 1 && shard->index < shard->count), "an array task is one shard");
}

void CheckCsv(const std::string& text)
{
    const auto records = SplitCsvRecords(text);
    if (records)
    {
        std::string joined;
        for (const CsvRecord& record : *records)
        {
            FuzzCheck(!record.fields.empty(), "a record has a field");
            joined += record.text;
        }
        FuzzCheck(joined == text, "the records are the text, byte for byte");
    }
    // Whatever fields were read (or the text's lines, when it is not CSV), written again they read
    // back as the same fields.
    std::vector<std::vector<std::string>> rows;
    if (records)
        for (const CsvRecord& record : *records)
            rows.push_back(record.fields);
    else
        rows.push_back({text, "", text});
    CCsvBuilder csv;
    for (const auto& fields : rows)
    {
        for (const std::string& field : fields)
            csv.Field(field);
        csv.EndRow();
    }
    const auto again = SplitCsvRecords(csv.Text());
    FuzzCheck(again.has_value() && again->size() == rows.size(), "what the builder writes reads back");
    for (std::size_t k = 0; k < rows.size(); ++k)
        FuzzCheck((*again)[k].fields == rows[k], "fields written and read back are the same");
}
} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeedInputs()
{
    const std::vector<std::vector<std::string>> seeds = {
        {"# study\nday1/VT1.qtf\r\n\n  # skip\nday2/VT1.qtf\n", "3/16", "3", "16", "0",
         "file,status,message,seconds\nday1/VT1.qtf,ok,,0.5\n\"a,b\",failed,\"x \"\"y\"\"\",1\n"},
        {"a\nb", "batch_status.shard-2-of-4.csv", "17", "16", "1", "\"open"},
        {"", "0/1", "x", "", "", "a,b\nc"},
    };
    std::vector<std::vector<std::uint8_t>> inputs;
    for (const auto& parts : seeds)
    {
        CFuzzInputBuilder input;
        input.U8(0); // every variable set
        for (const std::string& part : parts)
            input.U16(static_cast<std::uint16_t>(part.size())).Bytes(part.data(), part.size());
        inputs.push_back(input.Data());
    }
    return inputs;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CFuzzInput input(data, size);
    const std::uint8_t unset = input.U8();
    const std::string list = Part(input);
    const std::string shard = Part(input);
    const std::string id = Part(input);
    const std::string count = Part(input);
    const std::string min = Part(input);
    const std::string csv = Part(input);
    CheckList(list);
    CheckShard(shard, id, count, min, unset);
    CheckCsv(csv);
    return 0;
}
