#include "analysis/QualityStatistics.h"

#include <algorithm>
#include <cmath>

std::optional<double> Percentile(std::span<double> values, double fraction)
{
    if (values.empty())
        return std::nullopt;
    // The rank as numpy computes it, then the two values around it; only those two are put in
    // place, not the whole list sorted.
    const double rank = fraction * static_cast<double>(values.size() - 1);
    const double below = std::floor(rank);
    const auto lower = static_cast<std::size_t>(below);
    const double weight = rank - below;
    const auto at = values.begin() + static_cast<std::ptrdiff_t>(lower);
    std::nth_element(values.begin(), at, values.end());
    const double a = *at;
    if (lower + 1 >= values.size())
        return a;
    const double b = *std::min_element(at + 1, values.end());
    // numpy's interpolation, from whichever end is nearer, so that the last bit agrees too.
    const double difference = b - a;
    constexpr double kHalfWay = 0.5;
    return weight >= kHalfWay ? b - difference * (1.0 - weight) : a + difference * weight;
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
