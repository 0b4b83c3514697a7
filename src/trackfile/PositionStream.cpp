#include "trackfile/PositionStream.h"

#include "base/ResultCodes.h"

#include <cassert>

int CPositionFanOut::Begin(const TrackSourceInfo& source)
{
    m_bRunning = true;
    for (IPositionConsumer* consumer : m_consumers)
    {
        if (const int begun = consumer->Begin(source); begun != kOk)
        {
            Abandon();
            return begun;
        }
    }
    return kOk;
}

int CPositionFanOut::Consume(std::span<const TrackPosition> positions, std::uint64_t firstIndex)
{
    for (IPositionConsumer* consumer : m_consumers)
    {
        if (const int consumed = consumer->Consume(positions, firstIndex); consumed != kOk)
        {
            Abandon();
            return consumed;
        }
    }
    return kOk;
}

int CPositionFanOut::End()
{
    m_bRunning = false;
    int result = kOk;
    for (IPositionConsumer* consumer : m_consumers)
    {
        const int ended = consumer->End();
        if (result == kOk)
            result = ended;
    }
    return result;
}

void CPositionFanOut::Abandon()
{
    if (!m_bRunning)
        return;
    m_bRunning = false;
    for (IPositionConsumer* consumer : m_consumers)
        consumer->Abandon();
}

int ServePositions(std::span<const TrackPosition> positions, const TrackSourceInfo& source,
                   std::span<IPositionConsumer* const> consumers, const StreamProgress& progress,
                   std::size_t blockPositions)
{
    assert(source.records == positions.size() && "the source describes the positions served");
    if (blockPositions == 0)
        blockPositions = 1;
    CPositionFanOut fanOut(consumers);
    if (const int begun = fanOut.Begin(source); begun != kOk)
        return begun;
    for (std::size_t done = 0; done < positions.size();)
    {
        const std::span<const TrackPosition> block =
            positions.subspan(done, std::min(blockPositions, positions.size() - done));
        if (const int consumed = fanOut.Consume(block, done); consumed != kOk)
            return consumed;
        done += block.size();
        if (progress && !progress(done, positions.size()))
        {
            fanOut.Abandon();
            return kErrCancelled;
        }
    }
    return fanOut.End();
}

int CRecordsToPositions::Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex)
{
    m_block.resize(records.size());
    for (std::size_t k = 0; k < records.size(); ++k)
        m_block[k] = MakeTrackPosition(records[k]);
    return m_fanOut.Consume(m_block, firstIndex);
}

int CPositionList::Begin(const TrackSourceInfo& source)
{
    m_info = source;
    m_positions.clear();
    m_positions.reserve(source.records);
    m_bComplete = false;
    return kOk;
}

int CPositionList::Consume(std::span<const TrackPosition> positions, std::uint64_t firstIndex)
{
    assert(firstIndex == m_positions.size() && "blocks come in order, none left out");
    (void)firstIndex;
    m_positions.insert(m_positions.end(), positions.begin(), positions.end());
    return kOk;
}

int CPositionList::End()
{
    m_bComplete = m_positions.size() == m_info.records;
    return m_bComplete ? kOk : kErrNoRecord;
}

void CPositionList::Abandon()
{
    m_positions.clear();
    m_positions.shrink_to_fit();
    m_bComplete = false;
}

int CPositionList::Serve(std::span<IPositionConsumer* const> consumers, const StreamProgress& progress) const
{
    if (!m_bComplete)
        return kErrNoInput;
    return ServePositions(m_positions, m_info, consumers, progress);
}
