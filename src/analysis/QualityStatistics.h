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

// Whole numbers from 0 up, gathered for exact order statistics in little memory. The figures'
// values are such numbers before their last step: squared distances between whole pixels
// (before the root) and heading differences in whole degrees. A value below the counted limit is
// only counted, so a track's usual small values cost nothing each; a larger one is kept, in 4
// bytes while it fits 32 bits (every squared distance within 65,536 pixels) and in 8 beyond.
class CWholeValues
{
public:
    explicit CWholeValues(std::size_t countedBelow);

    // A whole number >= 0.
    void Add(double value);
    [[nodiscard]] std::uint64_t Size() const { return m_nCounted + m_kept.size() + m_huge.size(); }
    [[nodiscard]] bool Empty() const { return Size() == 0; }
    // The largest value; 0 when there is none.
    [[nodiscard]] double Largest() const { return m_largest; }
    // The fraction-th percentile of shape(value) (Percentile's rule), for a shape that never
    // decreases (a square root, say); nothing when empty. The kept values are reordered.
    template <class Shape> [[nodiscard]] std::optional<double> Percentile(double fraction, const Shape& shape)
    {
        if (Empty())
            return std::nullopt;
        const auto [lower, weight] = PercentileRank(Size(), fraction);
        const double a = shape(ValueAt(lower));
        if (lower + 1 >= Size())
            return a;
        return InterpolatePercentile(a, shape(ValueAt(lower + 1)), weight);
    }
    // Forgets every value and gives the memory back.
    void Clear();
    // The memory the values hold, in bytes.
    [[nodiscard]] std::size_t Bytes() const;

    // Where the fraction-th percentile of size values lies: between the value of rank lower
    // (from 0, ascending) and the next, weight of the way.
    struct Rank
    {
        std::uint64_t lower = 0;
        double weight = 0.0;
    };
    [[nodiscard]] static Rank PercentileRank(std::uint64_t size, double fraction);
    [[nodiscard]] static double InterpolatePercentile(double a, double b, double weight);

private:
    // The value of the given rank (from 0, ascending).
    double ValueAt(std::uint64_t rank);

    std::size_t m_nCountedBelow;
    std::vector<std::uint64_t> m_counts; // m_counts[v]: how many values v, grown as needed
    std::vector<std::uint32_t> m_kept;   // the values from the counted limit below 2^32
    std::vector<double> m_huge;          // the values from 2^32 up
    std::uint64_t m_nCounted = 0;
    double m_largest = 0.0;
};

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
