#include "analysis/TimeBins.h"

#include "analysis/VisitTable.h"

#include <algorithm>
#include <cassert>

namespace
{
// Adds the records of [from, to) to each bin they fall in, through add(bin, records).
template <typename Add> void Spread(std::uint64_t from, std::uint64_t to, std::uint64_t binRecords, Add&& add)
{
    while (from < to)
    {
        const std::uint64_t bin = from / binRecords;
        const std::uint64_t end = std::min(to, (bin + 1) * binRecords);
        add(static_cast<std::size_t>(bin), end - from);
        from = end;
    }
}
} // namespace

std::uint64_t TimeBins::EndRecord(std::size_t bin) const
{
    return std::min((bin + 1) * binRecords, records);
}

CTimeBinAccumulator::CTimeBinAccumulator(std::uint64_t binRecords) : m_nBinRecords(binRecords)
{
    assert(binRecords >= 1 && "a time bin holds at least one record");
}

void CTimeBinAccumulator::Reset()
{
    m_bins.clear();
    m_nNextBinStart = 0;
}

SessionBin& CTimeBinAccumulator::BinOf(std::uint64_t record)
{
    // Records come in order, so the bins grow one at a time without a division per record.
    while (record >= m_nNextBinStart)
    {
        m_bins.emplace_back();
        m_nNextBinStart += m_nBinRecords;
    }
    return m_bins[static_cast<std::size_t>(record / m_nBinRecords)];
}

void CTimeBinAccumulator::AddStep(std::uint64_t record, double stepPx)
{
    // Steps come in record order: most fall in the last bin made.
    const bool inLastBin =
        !m_bins.empty() && record < m_nNextBinStart && record >= m_nNextBinStart - m_nBinRecords;
    (inLastBin ? m_bins.back() : BinOf(record)).pathLengthPx += stepPx;
}

void CTimeBinAccumulator::AddImmobile(std::uint64_t from, std::uint64_t to)
{
    if (from < to)
        static_cast<void>(BinOf(to - 1));
    Spread(from, to, m_nBinRecords,
           [this](std::size_t bin, std::uint64_t records) { m_bins[bin].immobileRecords += records; });
}

TimeBins CTimeBinAccumulator::Finish(std::uint64_t records, const std::vector<VisitRow>& startOrder,
                                     std::optional<double> cmPerPx, bool immobility) const
{
    TimeBins result;
    result.binRecords = m_nBinRecords;
    result.records = records;
    result.cmPerPx = cmPerPx;
    result.immobility = immobility;
    result.bins = m_bins;
    const std::uint64_t count = (records + m_nBinRecords - 1) / m_nBinRecords;
    result.bins.resize(static_cast<std::size_t>(count));
    for (std::size_t k = 0; k < result.bins.size(); ++k)
        result.bins[k].outsideAllRecords = result.EndRecord(k) - result.StartRecord(k);
    // Every record in the union of the visits is taken off its bin's outside once.
    std::uint64_t reach = 0; // every record below this is taken off already
    for (const VisitRow& visit : startOrder)
    {
        const std::uint64_t from = std::max(visit.enterRecord, reach);
        const std::uint64_t to = std::min(visit.leaveRecord, records);
        if (to <= from)
            continue;
        Spread(from, to, m_nBinRecords,
               [&result](std::size_t bin, std::uint64_t inside)
               { result.bins[bin].outsideAllRecords -= inside; });
        reach = to;
    }
    return result;
}

CRegionBinWalker::CRegionBinWalker(const std::vector<VisitRow>& startOrder, std::size_t regions,
                                   const TimeBins& bins)
    : m_visits(startOrder), m_bins(bins), m_regionVisits(regions), m_cursors(regions, 0), m_figures(regions)
{
    for (std::size_t k = 0; k < startOrder.size(); ++k)
    {
        const auto region = static_cast<std::size_t>(startOrder[k].region);
        if (region < regions)
            m_regionVisits[region].push_back(k);
    }
}

const std::vector<RegionBin>& CRegionBinWalker::Next()
{
    const std::uint64_t start = m_bins.StartRecord(m_nBin);
    const std::uint64_t end = m_bins.EndRecord(m_nBin);
    ++m_nBin;
    for (std::size_t j = 0; j < m_regionVisits.size(); ++j)
    {
        const std::vector<std::size_t>& visits = m_regionVisits[j];
        RegionBin& figures = m_figures[j];
        figures = RegionBin{};
        // A region's visits do not overlap, so past the cursor only visits that start in this bin
        // and the one that may run on from an earlier bin can touch it.
        for (std::size_t k = m_cursors[j]; k < visits.size(); ++k)
        {
            const VisitRow& visit = m_visits[visits[k]];
            if (visit.enterRecord >= end)
                break;
            const std::uint64_t from = std::max(visit.enterRecord, start);
            const std::uint64_t to = std::min(visit.leaveRecord, end);
            if (to > from)
                figures.insideRecords += to - from;
            if (visit.enterRecord >= start)
                ++figures.entries;
        }
        std::size_t& cursor = m_cursors[j];
        while (cursor < visits.size() && m_visits[visits[cursor]].leaveRecord <= end)
            ++cursor;
    }
    return m_figures;
}
