// The statistics of the tracking quality report: percentiles of a list of values, the largest
// jumps of a track, and its longest run of records without a computed center. Each is fed in file
// order, one record at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The fraction-th percentile (0 to 1) of values, by linear interpolation between the closest
// ranks: numpy's default ("linear") for percentile and quantile, which pandas' quantile uses too,
// so a researcher who checks a figure in either gets the same number. The median is the 0.5
// percentile by the same rule. Nothing for an empty list. The values are reordered.
[[nodiscard]] std::optional<double> Percentile(std::span<double> values, double fraction);

struct QualityJump
{
    std::uint64_t record = 0; // the record the step leads to
    double stepPx = 0.0;
    friend bool operator==(const QualityJump&, const QualityJump&) = default;
};

inline constexpr std::size_t kLargestJumpsKept = 5;

// The largest steps offered, largest first; among equal steps the earlier record comes first.
class CLargestJumps
{
public:
    explicit CLargestJumps(std::size_t keep = kLargestJumpsKept) : m_nKeep(keep) {}

    // Records must be offered in increasing order, so that ties keep the earlier one.
    void Offer(std::uint64_t record, double stepPx);
    [[nodiscard]] const std::vector<QualityJump>& Jumps() const { return m_jumps; }
    void Clear() { m_jumps.clear(); }

private:
    std::size_t m_nKeep;
    std::vector<QualityJump> m_jumps;
};

// A run of consecutive records.
struct RecordRun
{
    std::uint64_t start = 0;
    std::uint64_t length = 0;
    friend bool operator==(const RecordRun&, const RecordRun&) = default;
};

// The longest run of consecutive records that are not marked good; the earliest among equally
// long runs. Records come one at a time from record 0.
class CLongestGap
{
public:
    void Add(std::uint64_t record, bool good);
    // Nothing when every record was good (or none came).
    [[nodiscard]] std::optional<RecordRun> Longest() const;
    void Clear() { *this = CLongestGap{}; }

private:
    RecordRun m_current;
    RecordRun m_longest;
};
