// The combine step of a batch run in shards: the status files of shards 0 .. N-1 of one split
// (batch_status.shard-K-of-N.csv) are joined into batch_status.csv, and their summaries, when the
// shards wrote them, into summary_regions.csv and summary_sessions.csv: rows in the order of the
// whole sorted list, so that the files are byte for byte what one run over every track writes (but
// for the seconds of the status, which each run measures).
#pragma once

#include "batch/BatchReport.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The shard a status file's name gives ("batch_status.shard-3-of-16.csv"); nothing for any other
// name.
[[nodiscard]] std::optional<BatchShard> ShardOfStatusName(std::string_view name);

// The status file names of the folder's shards, whatever split they belong to.
[[nodiscard]] std::vector<BatchShard> FindShardStatusFiles(const std::string& outDir);

// What the shards found in a folder lack: empty when they are shards 0 .. N-1 of one N, else a
// sentence saying what is missing or which splits are mixed. None found is told too.
[[nodiscard]] std::string DescribeMissingShards(const std::vector<BatchShard>& found);

struct CombineOutcome
{
    std::uint32_t shards = 0;
    BatchCounts counts;
    bool summaries = false; // the shards had summaries, so the joined ones were written
};

// "12 files in 4 shards: 10 ok, 1 skipped, 1 failed".
[[nodiscard]] std::string FormatShardTotal(const CombineOutcome& outcome);

// Joins the shards in outDir, filling in outcome. kErrNoInput when the shards are not complete or a
// file of theirs cannot be read or is not what a batch writes, kErrWrite when a joined file cannot
// be written (none of the three files changes then).
[[nodiscard]] Problem CombineBatchShards(const std::string& outDir, CombineOutcome& outcome);
