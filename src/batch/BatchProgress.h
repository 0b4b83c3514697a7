// The progress line of a batch, rewritten in place on stderr while stderr is a terminal (nothing
// otherwise): tracks done of the total, records read a second, and the time left, estimated from
// the records the tracks' sizes promise.
#pragma once

#include "batch/BatchRunner.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

class CBatchProgress
{
public:
    CBatchProgress(const BatchMonitor& monitor, std::size_t files);
    ~CBatchProgress(); // shows the final figures and ends the line, if anything was shown
    CBatchProgress(const CBatchProgress&) = delete;
    CBatchProgress& operator=(const CBatchProgress&) = delete;

    // Rewrites the line from the monitor's figures.
    void Show();

private:
    const BatchMonitor& m_monitor;
    std::size_t m_nFiles;
    std::chrono::steady_clock::time_point m_start;
    bool m_enabled;
    std::size_t m_nShownWidth = 0;
};

// "3 of 12 files, 250000 records/s, 1:05 left": the figures of the line. The time left is left
// out until a record has been read.
[[nodiscard]] std::string FormatBatchProgress(std::uint64_t filesDone, std::size_t files,
                                              std::uint64_t recordsRead, std::uint64_t recordsLeft,
                                              double seconds);
