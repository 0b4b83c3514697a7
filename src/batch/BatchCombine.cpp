#include "batch/BatchCombine.h"

#include "analysis/VisitCsv.h"
#include "base/File.h"
#include "base/ResultCodes.h"
#include "batch/CsvRecords.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
constexpr std::string_view kStatusPrefix = "batch_status";
constexpr std::string_view kShardPart = ".shard-";
constexpr std::string_view kOfPart = "-of-";
constexpr std::string_view kCsvExtension = ".csv";
// Names listed in a message before the rest are only counted.
constexpr std::size_t kMaxNamesTold = 8;

// A data row of a shard's table, and the track it belongs to.
struct ShardRow
{
    std::string label;
    std::string second; // the row's second field: a status row's status
    std::string text;   // as the shard wrote it, ended by "\n"
};

std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t k = 0; k < names.size() && k < kMaxNamesTold; ++k)
        text += (k == 0 ? "" : ", ") + names[k];
    if (names.size() > kMaxNamesTold)
        text += " and " + std::to_string(names.size() - kMaxNamesTold) + " more";
    return text;
}

Problem Refuse(const std::string& outDir, const std::string& problem)
{
    return Failure(kErrNoInput, "Cannot combine the shards in " + outDir + ": " + problem + ".");
}

// The data rows of a shard's table at path, with the track each belongs to (its first field); the
// problem when the file cannot be read or is not such a table.
Problem ReadShardTable(const std::string& path, std::string_view header, std::size_t fieldCount,
                       std::vector<ShardRow>& rows)
{
    std::string text;
    if (Problem problem = ReadWholeTextFile(path, "the shard's table", text); !problem.IsOk())
        return problem;
    const std::optional<std::vector<CsvRecord>> records = SplitCsvRecords(text);
    const auto refuse = [&path](const std::string& what)
    { return Failure(kErrNoInput, "The shard's table " + path + " " + what + "; nothing was combined."); };
    if (!records || records->empty() || records->front().text != std::string(header) + "\n")
        return refuse("does not begin with the header a batch writes");
    for (std::size_t k = 1; k < records->size(); ++k)
    {
        const CsvRecord& record = (*records)[k];
        if (record.fields.size() != fieldCount)
            return refuse("has a row of " + std::to_string(record.fields.size()) + " fields in line " +
                          std::to_string(k + 1));
        std::string row(record.text);
        if (!row.ends_with('\n'))
            row += '\n';
        rows.push_back(ShardRow{record.fields[0], record.fields[1], std::move(row)});
    }
    return {};
}

std::size_t FieldCount(std::string_view header)
{
    return static_cast<std::size_t>(std::count(header.begin(), header.end(), ',')) + 1;
}

std::string JoinedTable(std::string_view header, std::vector<ShardRow>& rows)
{
    // Stable: a track's rows all come from one shard, in the order it wrote them.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const ShardRow& a, const ShardRow& b) { return a.label < b.label; });
    std::string text = std::string(header) + "\n";
    for (const ShardRow& row : rows)
        text += row.text;
    return text;
}
} // namespace

std::optional<BatchShard> ShardOfStatusName(std::string_view name)
{
    const std::string prefix = std::string(kStatusPrefix) + std::string(kShardPart);
    if (!name.starts_with(prefix) || !name.ends_with(kCsvExtension))
        return std::nullopt;
    std::string middle(name.substr(prefix.size(), name.size() - prefix.size() - kCsvExtension.size()));
    const std::size_t of = middle.find(kOfPart);
    if (of == std::string::npos)
        return std::nullopt;
    middle.replace(of, kOfPart.size(), "/");
    const std::optional<BatchShard> shard = ParseShard(middle);
    // Only the name a shard writes: "03" or "3-of-04" belong to no shard.
    if (!shard || MakeBatchReportNames(shard).status != name)
        return std::nullopt;
    return shard;
}

std::vector<BatchShard> FindShardStatusFiles(const std::string& outDir)
{
    std::vector<BatchShard> shards;
    std::error_code error;
    for (fs::directory_iterator entry(outDir, error); !error && entry != fs::directory_iterator();
         entry.increment(error))
        if (const auto shard = ShardOfStatusName(entry->path().filename().string()))
            shards.push_back(*shard);
    std::sort(shards.begin(), shards.end(),
              [](const BatchShard& a, const BatchShard& b)
              { return a.count != b.count ? a.count < b.count : a.index < b.index; });
    return shards;
}

std::string DescribeMissingShards(const std::vector<BatchShard>& found)
{
    if (found.empty())
        return "there is no shard's status file (batch_status.shard-K-of-N.csv)";
    std::set<std::uint32_t> counts;
    for (const BatchShard& shard : found)
        counts.insert(shard.count);
    if (counts.size() > 1)
    {
        std::vector<std::string> splits;
        for (const std::uint32_t count : counts)
            splits.push_back("of " + std::to_string(count));
        return "it holds the status files of shards of different splits (" + Joined(splits) +
               "); keep those of one run only";
    }
    const std::uint32_t count = *counts.begin();
    std::vector<std::string> missing;
    std::size_t at = 0;
    for (std::uint32_t index = 0; index < count; ++index)
    {
        if (at < found.size() && found[at].index == index)
            ++at;
        else
            missing.push_back(MakeBatchReportNames(BatchShard{index, count}).status);
    }
    if (missing.empty())
        return {};
    return std::to_string(missing.size()) + " of " + std::to_string(count) +
           (missing.size() == 1 ? " shards has" : " shards have") + " not finished: there is no " +
           Joined(missing);
}

Problem CombineBatchShards(const std::string& outDir, CombineOutcome& outcome)
{
    const std::vector<BatchShard> shards = FindShardStatusFiles(outDir);
    if (const std::string problem = DescribeMissingShards(shards); !problem.empty())
        return Refuse(outDir, problem);

    std::vector<ShardRow> statusRows;
    std::vector<ShardRow> regionRows;
    std::vector<ShardRow> sessionRows;
    std::vector<std::string> withSummaries;
    std::vector<std::string> withoutSummaries;
    for (const BatchShard& shard : shards)
    {
        const BatchReportNames names = MakeBatchReportNames(shard);
        if (Problem problem = ReadShardTable(JoinPath(outDir, names.status), kBatchStatusHeader,
                                             FieldCount(kBatchStatusHeader), statusRows);
            !problem.IsOk())
            return problem;
        std::error_code error;
        const bool regions = fs::exists(JoinPath(outDir, names.regions), error);
        const bool sessions = fs::exists(JoinPath(outDir, names.sessions), error);
        (regions && sessions ? withSummaries : withoutSummaries).push_back(names.status);
        if (!regions || !sessions)
            continue;
        if (Problem problem = ReadShardTable(JoinPath(outDir, names.regions), kRegionsCsvHeader,
                                             FieldCount(kRegionsCsvHeader), regionRows);
            !problem.IsOk())
            return problem;
        if (Problem problem = ReadShardTable(JoinPath(outDir, names.sessions), kSessionCsvHeader,
                                             FieldCount(kSessionCsvHeader), sessionRows);
            !problem.IsOk())
            return problem;
    }
    if (!withSummaries.empty() && !withoutSummaries.empty())
        return Refuse(outDir, "some shards wrote both summaries and some did not (" +
                                  Joined(withoutSummaries) +
                                  " has no summary_regions or summary_sessions beside it)");

    std::map<std::string, std::size_t> seen;
    BatchCounts counts;
    for (const ShardRow& row : statusRows)
    {
        if (++seen[row.label] > 1)
            return Refuse(outDir, row.label + " is in the status of more than one shard");
        const std::optional<BatchStatus> status = ParseBatchStatus(row.second);
        if (!status)
            return Refuse(outDir, "the status of " + row.label + " is '" + row.second + "'");
        counts.Add(*status);
    }

    const BatchReportNames names = MakeBatchReportNames(std::nullopt);
    std::vector<std::string> files = {names.status};
    std::vector<std::string> texts = {JoinedTable(kBatchStatusHeader, statusRows)};
    outcome.summaries = !withSummaries.empty();
    if (outcome.summaries)
    {
        files.push_back(names.regions);
        texts.push_back(JoinedTable(kRegionsCsvHeader, regionRows));
        files.push_back(names.sessions);
        texts.push_back(JoinedTable(kSessionCsvHeader, sessionRows));
    }
    if (Problem problem = WriteFilesTogether(outDir, files, texts); !problem.IsOk())
        return problem;
    outcome.shards = shards.front().count;
    outcome.counts = counts;
    return {};
}

std::string FormatShardTotal(const CombineOutcome& outcome)
{
    const BatchCounts& counts = outcome.counts;
    return std::to_string(counts.Files()) + (counts.Files() == 1 ? " file in " : " files in ") +
           std::to_string(outcome.shards) + (outcome.shards == 1 ? " shard: " : " shards: ") +
           std::to_string(counts.ok) + " ok, " + std::to_string(counts.skipped) + " skipped, " +
           std::to_string(counts.failed) + " failed";
}
