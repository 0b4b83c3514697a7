// The files a batch writes into its output folder beside the tracks' outputs, once every track is
// done:
//   batch_status.csv      file,status,message,seconds: a row a track, in the order of the list
//   summary_regions.csv   every data row of the tracks' <track>_regions.csv, the header once
//   summary_sessions.csv  every data row of the tracks' <track>_session.csv, the header once
// The summaries take the rows of skipped tracks too, read back from their files; they are written
// when the visit tables are among the outputs. A shard writes the same files with ".shard-K-of-N"
// before ".csv" (batch_status.shard-2-of-16.csv), which tracktool combine joins
// (batch/BatchCombine.h).
#pragma once

#include "base/CsvBuilder.h"
#include "base/Problem.h"
#include "batch/BatchInputs.h"
#include "batch/BatchRunner.h"
#include "batch/BatchShard.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kBatchStatusHeader = "file,status,message,seconds";

// The names of the three files, for the whole batch or for one shard of it.
struct BatchReportNames
{
    std::string status;
    std::string regions;
    std::string sessions;
};
[[nodiscard]] BatchReportNames MakeBatchReportNames(const std::optional<BatchShard>& shard);

struct BatchCounts
{
    std::uint64_t ok = 0;
    std::uint64_t skipped = 0;
    std::uint64_t failed = 0;

    void Add(BatchStatus status);
    [[nodiscard]] std::uint64_t Files() const { return ok + skipped + failed; }
};

// "12 files: 10 ok, 1 skipped, 1 failed in 8.3 s" (one decimal).
[[nodiscard]] std::string FormatBatchTotal(const BatchCounts& counts, double seconds);

// A track's row of the status file.
void AppendStatusRow(CCsvBuilder& csv, std::string_view label, const BatchFileResult& result);

// Writes the status file and, withSummaries, the two summaries into outDir, all together or none.
// tracks and results go together, in the order of the list. Nothing wrong; kErrNoInput when the
// tables of a track that is ok or skipped cannot be read back or are not visit tables, kErrWrite
// when a file cannot be written (each naming the file).
[[nodiscard]] Problem WriteBatchReport(const std::string& outDir, const std::optional<BatchShard>& shard,
                                       const std::vector<BatchTrack>& tracks,
                                       const std::vector<BatchFileResult>& results, bool withSummaries);

// Reads a whole file into text. kErrNoInput, naming the file as what, when it cannot be opened or
// read.
[[nodiscard]] Problem ReadWholeTextFile(const std::string& path, std::string_view what, std::string& text);

// The text of a table without its first line, which must be header: nothing when it is not.
[[nodiscard]] std::optional<std::string_view> RowsAfterHeader(std::string_view text, std::string_view header);

// Writes texts into files of outDir (one text a name), all put in place together or none; kErrWrite,
// naming the file, when one cannot be.
[[nodiscard]] Problem WriteFilesTogether(const std::string& outDir, const std::vector<std::string>& names,
                                         const std::vector<std::string>& texts);
