#include "analysis/QualityStatistics.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace
{
// Kept values from here up do not fit 32 bits.
constexpr double kHugeFrom = 4294967296.0;

// The value of the given rank (from 0, ascending) among the values; they are reordered.
template <class Value> double NthSmallest(std::vector<Value>& values, std::uint64_t rank)
{
    const auto at = values.begin() + static_cast<std::ptrdiff_t>(rank);
    std::nth_element(values.begin(), at, values.end());
    return static_cast<double>(*at);
}
} // namespace

CWholeValues::Rank CWholeValues::PercentileRank(std::uint64_t size, double fraction)
{
    assert(size > 0 && "a percentile of no values");
    // The rank as numpy computes it.
    const double rank = fraction * static_cast<double>(size - 1);
    const double below = std::floor(rank);
    return Rank{static_cast<std::uint64_t>(below), rank - below};
}

double CWholeValues::InterpolatePercentile(double a, double b, double weight)
{
    // numpy's interpolation, from whichever end is nearer, so that the last bit agrees too.
    const double difference = b - a;
    constexpr double kHalfWay = 0.5;
    return weight >= kHalfWay ? b - difference * (1.0 - weight) : a + difference * weight;
}

std::optional<double> Percentile(std::span<double> values, double fraction)
{
    if (values.empty())
        return std::nullopt;
    // Only the two values around the rank are put in place, not the whole list sorted.
    const auto [lower, weight] = CWholeValues::PercentileRank(values.size(), fraction);
    const auto at = values.begin() + static_cast<std::ptrdiff_t>(lower);
    std::nth_element(values.begin(), at, values.end());
    const double a = *at;
    if (lower + 1 >= values.size())
        return a;
    return CWholeValues::InterpolatePercentile(a, *std::min_element(at + 1, values.end()), weight);
}

std::size_t CWholeValues::Bytes() const
{
    return m_counts.capacity() * sizeof(std::uint64_t) + m_kept.capacity() * sizeof(std::uint32_t) +
           m_huge.capacity() * sizeof(double);
}

CWholeValues::CWholeValues(std::size_t countedBelow) : m_nCountedBelow(countedBelow)
{
    assert(static_cast<double>(countedBelow) <= kHugeFrom && "a counted limit within 32 bits");
}

void CWholeValues::Add(double value)
{
    assert(value >= 0.0 && value == std::floor(value) && "a whole number from 0 up");
    m_largest = value > m_largest ? value : m_largest;
    if (value >= kHugeFrom)
    {
        m_huge.push_back(value);
        return;
    }
    if (value >= static_cast<double>(m_nCountedBelow))
    {
        m_kept.push_back(static_cast<std::uint32_t>(value));
        return;
    }
    const auto index = static_cast<std::size_t>(value);
    if (index >= m_counts.size())
    {
        // Reserved first: resize alone may take up to twice the limit.
        const std::size_t size = std::min(m_nCountedBelow, std::max(2 * index + 1, m_counts.size() * 2));
        m_counts.reserve(size);
        m_counts.resize(size);
    }
    ++m_counts[index];
    ++m_nCounted;
}

double CWholeValues::ValueAt(std::uint64_t rank)
{
    assert(rank < Size() && "a rank beyond the values");
    // Every kept value is above every counted one, and every huge one above every kept one.
    if (rank >= m_nCounted + m_kept.size())
        return NthSmallest(m_huge, rank - m_nCounted - m_kept.size());
    if (rank >= m_nCounted)
        return NthSmallest(m_kept, rank - m_nCounted);
    std::uint64_t below = 0;
    for (std::size_t v = 0;; ++v)
    {
        below += m_counts[v];
        if (rank < below)
            return static_cast<double>(v);
    }
}

void CWholeValues::Clear()
{
    std::vector<std::uint64_t>().swap(m_counts);
    std::vector<std::uint32_t>().swap(m_kept);
    std::vector<double>().swap(m_huge);
    m_nCounted = 0;
    m_largest = 0.0;
}

void CLargestJumps::Offer(std::uint64_t record, double stepPx)
{
    if (m_nKeep == 0 || (m_jumps.size() == m_nKeep && !(stepPx > m_jumps.back().stepPx)))
        return;
    // After every kept step at least as large: an equal step of an earlier record stays ahead.
    const auto place = std::find_if(m_jumps.begin(), m_jumps.end(),
                                    [stepPx](const QualityJump& kept) { return kept.stepPx < stepPx; });
    m_jumps.insert(place, QualityJump{record, stepPx});
    if (m_jumps.size() > m_nKeep)
        m_jumps.pop_back();
}

void CLongestGap::Add(std::uint64_t record, bool good)
{
    if (good)
    {
        m_current.length = 0;
        return;
    }
    if (m_current.length == 0)
        m_current.start = record;
    ++m_current.length;
    if (m_current.length > m_longest.length)
        m_longest = m_current;
}

std::optional<RecordRun> CLongestGap::Longest() const
{
    if (m_longest.length == 0)
        return std::nullopt;
    return m_longest;
}
