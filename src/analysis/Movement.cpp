#include "analysis/Movement.h"

#include <algorithm>
#include <cassert>

namespace
{
constexpr double kRecordsPerSecond = 60.0;
// How far, relative to the sums compared, the running sum may be from the sum afresh. Over the at
// most 3 x 600 roundings between two fresh sums it drifts by less than 1e-12 of the largest sum,
// so this leaves a wide berth.
constexpr double kDriftBound = 1e-9;

double SpeedOf(double sum, double count)
{
    return kRecordsPerSecond * sum / count;
}
} // namespace

CMovementTracker::CMovementTracker(std::int32_t window, std::optional<StillnessRule> rule,
                                   std::uint64_t minBoutRecords)
    : m_rule(rule), m_nMinBout(minBoutRecords)
{
    if (rule)
        m_limitPerStep = rule->threshold / rule->scale / kRecordsPerSecond;
    assert(window >= 1 && "a speed window holds at least one record");
    m_steps.assign(static_cast<std::size_t>(std::max(window, 1)), 0.0);
}

void CMovementTracker::Reset()
{
    std::fill(m_steps.begin(), m_steps.end(), 0.0);
    m_nNext = 0;
    m_sum = 0.0;
    m_peak = 0.0;
    m_nSinceFresh = 0;
    m_bInRun = false;
    m_nRunStart = 0;
    m_nImmobileRecords = 0;
    m_nBouts = 0;
}

std::optional<ImmobilityBout> CMovementTracker::AddStep(std::uint64_t record, double stepPx)
{
    if (!m_rule)
        return std::nullopt;
    const std::size_t window = m_steps.size();
    if (record > window)
        m_sum -= m_steps[m_nNext]; // the step into record - W leaves the window
    m_steps[m_nNext] = stepPx;
    m_nNext = m_nNext + 1 == window ? 0 : m_nNext + 1;
    m_sum += stepPx;
    m_peak = std::max(m_peak, m_sum);
    if (++m_nSinceFresh >= window)
    {
        m_sum = WindowSum(record);
        m_peak = m_sum;
        m_nSinceFresh = 0;
    }

    if (IsStill(record))
    {
        if (!m_bInRun)
        {
            m_bInRun = true;
            m_nRunStart = record;
        }
        return std::nullopt;
    }
    return EndRun(record);
}

std::optional<ImmobilityBout> CMovementTracker::Finish(std::uint64_t records)
{
    return EndRun(records);
}

bool CMovementTracker::IsStill(std::uint64_t record) const
{
    const auto count = static_cast<double>(std::min<std::uint64_t>(record, m_steps.size()));
    // The sum at which the speed meets the threshold, and how near the running sum may come to it
    // before only the sum afresh can tell.
    const double limit = m_limitPerStep * count;
    const double margin = kDriftBound * (m_peak + limit);
    if (m_sum < limit - margin)
        return true;
    if (m_sum > limit + margin)
        return false;
    return SpeedOf(WindowSum(record), count) * m_rule->scale < m_rule->threshold;
}

double CMovementTracker::WindowSum(std::uint64_t record) const
{
    const std::size_t window = m_steps.size();
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(record, window));
    std::size_t at = (m_nNext + window - count) % window; // the oldest step in the window
    double sum = 0.0;
    for (std::size_t k = 0; k < count; ++k)
    {
        sum += m_steps[at];
        at = at + 1 == window ? 0 : at + 1;
    }
    return sum;
}

std::optional<ImmobilityBout> CMovementTracker::EndRun(std::uint64_t end)
{
    if (!m_bInRun)
        return std::nullopt;
    m_bInRun = false;
    if (end - m_nRunStart < m_nMinBout)
        return std::nullopt;
    ++m_nBouts;
    m_nImmobileRecords += end - m_nRunStart;
    return ImmobilityBout{m_nRunStart, end};
}
