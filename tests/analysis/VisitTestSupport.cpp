#include "VisitTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

std::vector<TrackRecord> RecordsOf(const std::vector<Spot>& spots)
{
    std::vector<TrackRecord> records;
    for (const Spot& s : spots)
        records.push_back(MakeRecord(s.t, s.x, s.y));
    return records;
}

CRegionTable TableOf(const std::vector<Rect>& rects, const std::vector<std::string>& names)
{
    CRegionTable table;
    table.m_nRegionCount = static_cast<std::int32_t>(rects.size());
    for (std::size_t j = 0; j < rects.size(); ++j)
    {
        table.m_regionRects[j] = rects[j];
        if (j < names.size())
            table.m_regionNames[j] = names[j];
    }
    return table;
}

VisitTable BuildTable(const std::vector<TrackRecord>& records, const CRegionTable& regions,
                      std::int32_t margin, std::size_t blockRecords)
{
    CVisitTableBuilder builder(regions, margin);
    TrackSourceInfo source;
    source.fileName = "track.qtf";
    source.records = records.size();
    EXPECT_EQ(builder.Begin(source), 0);
    const std::span<const TrackRecord> all(records);
    for (std::size_t at = 0; at < records.size(); at += blockRecords)
        EXPECT_EQ(builder.Consume(all.subspan(at, std::min(blockRecords, records.size() - at)), at), 0);
    EXPECT_EQ(builder.End(), 0);
    return builder.Result();
}
