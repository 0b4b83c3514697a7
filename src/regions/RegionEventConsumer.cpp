#include "regions/RegionEventConsumer.h"

#include "base/ResultCodes.h"

int CRegionEventConsumer::Begin(const TrackSourceInfo& source)
{
    if (source.records == 0)
        return kErrNoInput;
    m_generator.m_strBaseName = source.fileName;
    return m_generator.BeginPass();
}

int CRegionEventConsumer::Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex)
{
    for (std::size_t k = 0; k < records.size(); ++k)
        if (const int stepped = m_generator.StepRecord(records[k], firstIndex + k); stepped != kOk)
            return stepped;
    return kOk;
}

int CRegionEventConsumer::End()
{
    return m_generator.EndPass();
}

void CRegionEventConsumer::Abandon()
{
    m_generator.AbandonPass();
}
