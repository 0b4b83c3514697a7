#include "batch/BatchProgress.h"

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace
{
constexpr std::uint64_t kSecondsPerMinute = 60;
constexpr std::uint64_t kSecondsPerHour = 3600;
constexpr std::uint64_t kFirstTwoDigitValue = 10;

// "1:05", or "2:01:05" from an hour on.
std::string FormatDuration(std::uint64_t seconds)
{
    const std::uint64_t hours = seconds / kSecondsPerHour;
    const std::uint64_t minutes = seconds % kSecondsPerHour / kSecondsPerMinute;
    const std::uint64_t rest = seconds % kSecondsPerMinute;
    const auto twoDigits = [](std::uint64_t value)
    { return (value < kFirstTwoDigitValue ? "0" : "") + std::to_string(value); };
    if (hours > 0)
        return std::to_string(hours) + ":" + twoDigits(minutes) + ":" + twoDigits(rest);
    return std::to_string(minutes) + ":" + twoDigits(rest);
}
} // namespace

std::string FormatBatchProgress(std::uint64_t filesDone, std::size_t files, std::uint64_t recordsRead,
                                std::uint64_t recordsLeft, double seconds)
{
    std::string line = std::to_string(filesDone) + " of " + std::to_string(files) + " files";
    if (recordsRead == 0 || seconds <= 0.0)
        return line;
    const double rate = static_cast<double>(recordsRead) / seconds;
    line += ", " + std::to_string(static_cast<std::uint64_t>(rate)) + " records/s";
    const double left = static_cast<double>(recordsLeft) / rate;
    return line + ", " + FormatDuration(static_cast<std::uint64_t>(std::ceil(left))) + " left";
}

CBatchProgress::CBatchProgress(const BatchMonitor& monitor, std::size_t files)
    : m_monitor(monitor), m_nFiles(files), m_start(std::chrono::steady_clock::now()),
      m_enabled(::isatty(STDERR_FILENO) == 1)
{
}

CBatchProgress::~CBatchProgress()
{
    if (m_nShownWidth == 0)
        return;
    Show(); // the line left on the terminal says where the batch ended, not where it was a tick before
    std::fputs("\n", stderr);
}

void CBatchProgress::Show()
{
    if (!m_enabled)
        return;
    const std::uint64_t read = m_monitor.recordsRead.load();
    const std::uint64_t done = read + m_monitor.recordsSettled.load();
    const std::uint64_t left = m_monitor.expectedRecords > done ? m_monitor.expectedRecords - done : 0;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    std::string line =
        "batch: " + FormatBatchProgress(m_monitor.filesDone.load(), m_nFiles, read, left, seconds);
    const std::size_t width = line.size();
    if (width < m_nShownWidth)
        line.append(m_nShownWidth - width, ' '); // covers the end of a longer line before
    m_nShownWidth = width;
    std::fprintf(stderr, "\r%s", line.c_str());
    std::fflush(stderr);
}
