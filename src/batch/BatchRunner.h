// Runs a batch's tracks on several threads: each track in one pass that makes all its outputs or
// none (outputs/OutputPass.h), skipped when its outputs are already there and up to date. One
// track's failure never stops the others; what a track's pass had to tell comes back as values and
// becomes its status's message.
#pragma once

#include "base/Problem.h"
#include "batch/BatchInputs.h"
#include "batch/BatchSettings.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

enum class BatchStatus
{
    Ok,
    Skipped,
    Failed,
};

[[nodiscard]] std::string_view BatchStatusName(BatchStatus status); // "ok", "skipped", "failed"
[[nodiscard]] std::optional<BatchStatus> ParseBatchStatus(std::string_view name);

struct BatchFileResult
{
    BatchStatus status = BatchStatus::Failed;
    std::string message; // what the run told, on one line; empty when it told nothing
    double seconds = 0.0;
    std::uint64_t records = 0; // handed to the outputs
};

// The most tracks a batch runs at the same time.
inline constexpr unsigned kMaxBatchJobs = 1024;

// How often a batch's progress is shown.
inline constexpr std::chrono::milliseconds kBatchTick{250};

// What the workers report while they run, for a progress line, and the request to stop.
struct BatchMonitor
{
    std::atomic<std::uint64_t> filesDone{0};
    std::atomic<std::uint64_t> recordsRead{0};
    // Records a track was expected to hold (by its size) but that no pass will read: skipped and
    // failed tracks. With recordsRead, what is done of expectedRecords.
    std::atomic<std::uint64_t> recordsSettled{0};
    std::uint64_t expectedRecords = 0; // set by RunBatch from the tracks' sizes
    // Set (from any thread, or a signal handler) to stop: running passes are abandoned, leaving no
    // output of their tracks, and no further track is started.
    std::atomic<bool> stop{false};
    // Called on the calling thread of RunBatch about every tick while the workers run.
    std::function<void()> onTick;
    std::chrono::milliseconds tick = kBatchTick;
    // Called on a worker's thread when it has finished the track at index of the list.
    std::function<void(std::size_t index, const BatchFileResult& result)> onFileDone;
};

// What a track's pass told, on one line, as its status gives it: each text's lines joined by
// spaces, a reason in brackets after its text, one after the other.
[[nodiscard]] std::string JoinOnOneLine(const std::vector<Problem>& told);

// Whether every file exists and is newer than the track and, when one is given, the layout.
[[nodiscard]] bool AreOutputsUpToDate(const std::vector<std::string>& files, const std::string& trackPath,
                                      const std::string& layoutPath);

// Runs every track of the list on up to jobs threads (at least one) and gives each one's result,
// in the order of the list. Tracks not run because of a stop are failed, saying so.
[[nodiscard]] std::vector<BatchFileResult> RunBatch(const BatchSettings& settings,
                                                    const std::vector<BatchTrack>& tracks, unsigned jobs,
                                                    BatchMonitor& monitor);

// The result of one track, on the calling thread (what each worker does for each of its tracks).
[[nodiscard]] BatchFileResult RunBatchTrack(const BatchSettings& settings, const BatchTrack& track,
                                            BatchMonitor& monitor);
