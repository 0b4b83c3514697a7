#include "VisitTestSupport.h"

#include <algorithm>
#include <cmath>
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

void FeedRecords(IRecordConsumer& consumer, const std::vector<TrackRecord>& records, std::size_t blockRecords)
{
    TrackSourceInfo source;
    source.fileName = "track.qtf";
    source.records = records.size();
    EXPECT_EQ(consumer.Begin(source), 0);
    const std::span<const TrackRecord> all(records);
    for (std::size_t at = 0; at < records.size(); at += blockRecords)
        EXPECT_EQ(consumer.Consume(all.subspan(at, std::min(blockRecords, records.size() - at)), at), 0);
    EXPECT_EQ(consumer.End(), 0);
}

VisitTable BuildTable(const std::vector<TrackRecord>& records, const CRegionTable& regions,
                      std::int32_t margin, std::size_t blockRecords)
{
    return BuildTable(records, regions, AnalysisSettings{}, margin, blockRecords);
}

VisitTable BuildTable(const std::vector<TrackRecord>& records, const CRegionTable& regions,
                      const AnalysisSettings& settings, std::int32_t margin, std::size_t blockRecords)
{
    CVisitTableBuilder builder(regions, margin, settings);
    FeedRecords(builder, records, blockRecords);
    return builder.Result();
}

WanderingTrack MakeWanderingTrack(std::mt19937_64& random, std::size_t maxRecords)
{
    const auto pick = [&random](std::int64_t low, std::int64_t high)
    { return std::uniform_int_distribution<std::int64_t>(low, high)(random); };
    WanderingTrack track;
    track.margin = static_cast<std::int32_t>(pick(0, 3) == 0 ? pick(0, 3) : 8);
    const auto regions = static_cast<std::size_t>(pick(1, 6));
    std::vector<Rect> rects;
    for (std::size_t j = 0; j < regions; ++j)
    {
        const auto left = static_cast<std::int32_t>(pick(0, 120));
        const auto top = static_cast<std::int32_t>(pick(0, 120));
        rects.push_back(Rect{left, top, left + static_cast<std::int32_t>(pick(10, 100)),
                             top + static_cast<std::int32_t>(pick(10, 100))});
    }
    track.regions = TableOf(rects);
    const auto count = static_cast<std::size_t>(
        pick(0, 8) == 0 ? pick(0, 3) : pick(4, static_cast<std::int64_t>(maxRecords)));
    std::int64_t x = pick(0, 160);
    std::int64_t y = pick(0, 160);
    std::int64_t t = pick(-50, 50);
    std::int64_t mode = 0;     // 0 walk, 1 pause, 2 crawl, 3 flicker
    std::int64_t modeLeft = 0; // records left in the mode
    for (std::size_t i = 0; i < count; ++i)
    {
        if (modeLeft-- <= 0)
        {
            mode = pick(0, 3);
            modeLeft = pick(1, 90);
        }
        if (pick(0, 400) == 0)
        {
            x = pick(-2000000000, 2000000000); // far off, and back at the next jump
            y = pick(-20, 200);
        }
        else if (pick(0, 15) == 0)
        {
            // To the left edge of a region, half way down, to walk or flicker across it.
            const Rect& r = rects[static_cast<std::size_t>(pick(0, static_cast<std::int64_t>(regions) - 1))];
            x = r.left + pick(-3, 3);
            y = (r.top + r.bottom) / 2;
        }
        else if (mode == 0)
        {
            x += pick(-5, 5);
            y += pick(-5, 5);
        }
        else if (mode == 2)
            x += pick(0, 1) == 0 ? 1 : -1;
        else if (mode == 3)
            x += (i % 2 == 0 ? 11 : -11);
        track.records.push_back(MakeRecord(t, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)));
        t += pick(0, 2);
    }
    return track;
}

RegionShape RandomPolygon(const std::function<std::int64_t(std::int64_t, std::int64_t)>& pick)
{
    while (true)
    {
        const std::int64_t cx = pick(0, 200);
        const std::int64_t cy = pick(0, 200);
        const auto n = static_cast<int>(pick(3, 12));
        std::vector<Point> points;
        for (int k = 0; k < n; ++k)
        {
            const double angle =
                2.0 * 3.141592653589793 * (k + 0.8 * static_cast<double>(pick(0, 100)) / 100.0) / n;
            const auto distance = static_cast<double>(pick(3, 90));
            points.push_back(Point{static_cast<std::int32_t>(cx + std::lround(distance * std::cos(angle))),
                                   static_cast<std::int32_t>(cy + std::lround(distance * std::sin(angle)))});
        }
        if (pick(0, 3) == 0) // an axis-parallel edge
            points[1].y = points[0].y;
        RegionShape polygon = RegionShape::Polygon(points);
        if (!FindShapeProblem(polygon))
            return polygon;
    }
}
