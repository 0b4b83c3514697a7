#include "batch/BatchReport.h"

#include "analysis/VisitCsv.h"
#include "base/File.h"
#include "base/OutputGroup.h"
#include "base/ResultCodes.h"
#include "batch/BatchSettings.h"
#include "outputs/OutputNames.h"

#include <array>
#include <cassert>
#include <cstdio>
#include <system_error>

namespace
{
constexpr std::size_t kReadChunkBytes = std::size_t{1} << 20;
constexpr std::string_view kNotWritten = "; the batch's status and summaries were not written.";

// The batch's own files in outDir, as one group.
void AddReportFiles(COutputGroup& group, const std::string& outDir, const std::vector<std::string>& names)
{
    for (const std::string& name : names)
    {
        const std::string path = JoinPath(outDir, name);
        group.Add(path, OutputFileTexts{"Cannot create " + path + std::string(kNotWritten),
                                        "Cannot write to " + path + std::string(kNotWritten)});
    }
}

bool HasTables(BatchStatus status)
{
    return status == BatchStatus::Ok || status == BatchStatus::Skipped;
}

// Appends the data rows of one of a track's visit tables to the summary in group file k.
Problem AppendTableRows(COutputGroup& group, std::size_t k, const std::string& path, std::string_view header)
{
    std::string text;
    if (Problem problem = ReadWholeTextFile(path, "the visit table", text); !problem.IsOk())
        return problem;
    const std::optional<std::string_view> rows = RowsAfterHeader(text, header);
    if (!rows)
        return Failure(kErrNoInput, "The visit table " + path +
                                        " does not begin with the header this program writes" +
                                        std::string(kNotWritten));
    return group.Write(k, *rows);
}
} // namespace

BatchReportNames MakeBatchReportNames(const std::optional<BatchShard>& shard)
{
    const std::string suffix = (shard ? ShardSuffix(*shard) : std::string()) + ".csv";
    return BatchReportNames{"batch_status" + suffix, "summary_regions" + suffix, "summary_sessions" + suffix};
}

void BatchCounts::Add(BatchStatus status)
{
    switch (status)
    {
    case BatchStatus::Ok:
        ++ok;
        break;
    case BatchStatus::Skipped:
        ++skipped;
        break;
    case BatchStatus::Failed:
        ++failed;
        break;
    }
}

std::string FormatBatchTotal(const BatchCounts& counts, double seconds)
{
    std::array<char, 32> time{};
    std::snprintf(time.data(), time.size(), "%.1f", seconds);
    return std::to_string(counts.Files()) + (counts.Files() == 1 ? " file: " : " files: ") +
           std::to_string(counts.ok) + " ok, " + std::to_string(counts.skipped) + " skipped, " +
           std::to_string(counts.failed) + " failed in " + time.data() + " s";
}

void AppendStatusRow(CCsvBuilder& csv, std::string_view label, const BatchFileResult& result)
{
    csv.Field(label)
        .Field(BatchStatusName(result.status))
        .Field(result.message)
        .Fixed6(result.seconds)
        .EndRow();
}

Problem WriteBatchReport(const std::string& outDir, const std::optional<BatchShard>& shard,
                         const std::vector<BatchTrack>& tracks, const std::vector<BatchFileResult>& results,
                         bool withSummaries)
{
    assert(tracks.size() == results.size() && "a result for every track");
    const BatchReportNames names = MakeBatchReportNames(shard);
    std::vector<std::string> files = {names.status};
    if (withSummaries)
    {
        files.push_back(names.regions);
        files.push_back(names.sessions);
    }
    COutputGroup group;
    AddReportFiles(group, outDir, files);
    if (Problem problem = group.Create(); !problem.IsOk())
        return problem;

    CCsvBuilder status;
    status.HeaderRow(kBatchStatusHeader);
    for (std::size_t k = 0; k < tracks.size(); ++k)
        AppendStatusRow(status, tracks[k].label, results[k]);
    if (Problem problem = group.Write(0, status.Text()); !problem.IsOk())
        return problem;
    if (withSummaries)
    {
        if (Problem problem = group.Write(1, std::string(kRegionsCsvHeader) + "\n"); !problem.IsOk())
            return problem;
        if (Problem problem = group.Write(2, std::string(kSessionCsvHeader) + "\n"); !problem.IsOk())
            return problem;
        for (std::size_t k = 0; k < tracks.size(); ++k)
        {
            if (!HasTables(results[k].status))
                continue;
            const TrackOutputPlace place = MakeBatchPlace(outDir, tracks[k].label);
            const std::string regions = MakeVisitCsvPath(place.dir, place.fileName, VisitCsvKind::Regions);
            const std::string session = MakeVisitCsvPath(place.dir, place.fileName, VisitCsvKind::Session);
            // A group that is not committed leaves nothing behind.
            if (Problem problem = AppendTableRows(group, 1, regions, kRegionsCsvHeader); !problem.IsOk())
                return problem;
            if (Problem problem = AppendTableRows(group, 2, session, kSessionCsvHeader); !problem.IsOk())
                return problem;
        }
    }
    return group.Commit();
}

Problem ReadWholeTextFile(const std::string& path, std::string_view what, std::string& text)
{
    text.clear();
    CFile file;
    if (!file.Open(path, FileMode::Read))
        return FileProblemOf(kErrNoInput, "Cannot open " + std::string(what) + " " + path + ".", path,
                             file.GetProblem());
    std::string chunk(kReadChunkBytes, '\0');
    for (;;)
    {
        const std::int64_t got = file.Read(chunk.data(), chunk.size());
        if (got < 0)
            return Failure(kErrNoInput, "Cannot read " + std::string(what) + " " + path + ".",
                           std::generic_category().message(file.GetLastError()));
        if (got == 0)
            return {};
        text.append(chunk.data(), static_cast<std::size_t>(got));
    }
}

std::optional<std::string_view> RowsAfterHeader(std::string_view text, std::string_view header)
{
    if (!text.starts_with(header) || text.size() == header.size() || text[header.size()] != '\n')
        return std::nullopt;
    return text.substr(header.size() + 1);
}

Problem WriteFilesTogether(const std::string& outDir, const std::vector<std::string>& names,
                           const std::vector<std::string>& texts)
{
    assert(names.size() == texts.size() && "a text for every name");
    COutputGroup group;
    AddReportFiles(group, outDir, names);
    if (Problem problem = group.Create(); !problem.IsOk())
        return problem;
    for (std::size_t k = 0; k < texts.size(); ++k)
        if (Problem problem = group.Write(k, texts[k]); !problem.IsOk())
            return problem;
    return group.Commit();
}
