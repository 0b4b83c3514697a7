#include "cli/BatchReport.h"

#include "analysis/VisitCsv.h"
#include "base/File.h"
#include "base/MessageSink.h"
#include "base/OutputFile.h"
#include "base/ResultCodes.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <system_error>

namespace
{
constexpr std::size_t kReadChunkBytes = std::size_t{1} << 20;
constexpr std::string_view kNotWritten = "; the batch's status and summaries were not written.";

// Files of one folder written side by side and put in place together.
class COutputGroup
{
public:
    COutputGroup(const std::string& outDir, const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
        {
            m_files.push_back(std::make_unique<COutputFile>());
            m_paths.push_back(outDir + "/" + name);
        }
    }

    // Creates every file; false (told) when one cannot be created.
    bool Create()
    {
        for (std::size_t k = 0; k < m_files.size(); ++k)
            if (!m_files[k]->Create(m_paths[k]))
                return Fail("Cannot create ", k);
        return true;
    }
    // Appends text to file k; false (told) on failure.
    bool Write(std::size_t k, std::string_view text)
    {
        return m_files[k]->Write(text.data(), text.size()) || Fail("Cannot write to ", k);
    }
    // Puts every file in place, or none (told).
    bool Commit()
    {
        std::vector<COutputFile*> files;
        for (const auto& file : m_files)
            files.push_back(file.get());
        std::size_t failed = 0;
        return CommitAll(files, failed) || Fail("Cannot write to ", failed);
    }

private:
    bool Fail(std::string_view what, std::size_t k)
    {
        ShowFileProblem(std::string(what) + m_paths[k] + std::string(kNotWritten), m_paths[k],
                        m_files[k]->GetProblem());
        for (const auto& file : m_files)
            file->Discard();
        return false;
    }

    std::vector<std::unique_ptr<COutputFile>> m_files;
    std::vector<std::string> m_paths;
};

bool HasTables(BatchStatus status)
{
    return status == BatchStatus::Ok || status == BatchStatus::Skipped;
}

// Appends the data rows of one of a track's visit tables to the summary in group file k.
int AppendTableRows(COutputGroup& group, std::size_t k, const std::string& path, std::string_view header)
{
    std::string text;
    if (!ReadWholeTextFile(path, "the visit table", text))
        return kErrNoInput;
    const std::optional<std::string_view> rows = RowsAfterHeader(text, header);
    if (!rows)
    {
        ShowMessage("The visit table " + path + " does not begin with the header this program writes" +
                    std::string(kNotWritten));
        return kErrNoInput;
    }
    return group.Write(k, *rows) ? kOk : kErrOpen;
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

int WriteBatchReport(const std::string& outDir, const std::optional<BatchShard>& shard,
                     const std::vector<BatchTrack>& tracks, const std::vector<BatchFileResult>& results,
                     bool withSummaries)
{
    const BatchReportNames names = MakeBatchReportNames(shard);
    std::vector<std::string> files = {names.status};
    if (withSummaries)
    {
        files.push_back(names.regions);
        files.push_back(names.sessions);
    }
    COutputGroup group(outDir, files);
    if (!group.Create())
        return kErrOpen;

    CCsvBuilder status;
    status.HeaderRow(kBatchStatusHeader);
    for (std::size_t k = 0; k < tracks.size(); ++k)
        AppendStatusRow(status, tracks[k].label, results[k]);
    if (!group.Write(0, status.Text()))
        return kErrOpen;
    if (withSummaries)
    {
        if (!group.Write(1, std::string(kRegionsCsvHeader) + "\n") ||
            !group.Write(2, std::string(kSessionCsvHeader) + "\n"))
            return kErrOpen;
        for (std::size_t k = 0; k < tracks.size(); ++k)
        {
            if (!HasTables(results[k].status))
                continue;
            const TrackOutputPlace place = MakeBatchPlace(outDir, tracks[k].label);
            const std::string regions = MakeVisitCsvPath(place.dir, place.fileName, VisitCsvKind::Regions);
            const std::string session = MakeVisitCsvPath(place.dir, place.fileName, VisitCsvKind::Session);
            if (const int added = AppendTableRows(group, 1, regions, kRegionsCsvHeader); added != kOk)
                return added;
            if (const int added = AppendTableRows(group, 2, session, kSessionCsvHeader); added != kOk)
                return added;
        }
    }
    return group.Commit() ? kOk : kErrOpen;
}

bool ReadWholeTextFile(const std::string& path, std::string_view what, std::string& text)
{
    text.clear();
    CFile file;
    if (!file.Open(path, FileMode::Read))
    {
        ShowFileProblem("Cannot open " + std::string(what) + " " + path + ".", path, file.GetProblem());
        return false;
    }
    std::string chunk(kReadChunkBytes, '\0');
    for (;;)
    {
        const std::int64_t got = file.Read(chunk.data(), chunk.size());
        if (got < 0)
        {
            ShowMessageWithReason("Cannot read " + std::string(what) + " " + path + ".",
                                  std::generic_category().message(file.GetLastError()));
            return false;
        }
        if (got == 0)
            return true;
        text.append(chunk.data(), static_cast<std::size_t>(got));
    }
}

std::optional<std::string_view> RowsAfterHeader(std::string_view text, std::string_view header)
{
    if (!text.starts_with(header) || text.size() == header.size() || text[header.size()] != '\n')
        return std::nullopt;
    return text.substr(header.size() + 1);
}

int WriteFilesTogether(const std::string& outDir, const std::vector<std::string>& names,
                       const std::vector<std::string>& texts)
{
    COutputGroup group(outDir, names);
    if (!group.Create())
        return kErrOpen;
    for (std::size_t k = 0; k < texts.size(); ++k)
        if (!group.Write(k, texts[k]))
            return kErrOpen;
    return group.Commit() ? kOk : kErrOpen;
}
