#include "EventTestSupport.h"

std::string WriteTrack(const CTempDir& dir, const std::vector<TrackPoint>& points)
{
    CTrackFileBuilder builder;
    for (const TrackPoint& p : points)
        builder.Add(MakeRecord(p.t, p.x, p.y));
    return builder.Write(dir.File("track.qtf"));
}

std::vector<TrackPoint> VisitsTrack(std::uint32_t n, std::int64_t first)
{
    std::vector<TrackPoint> points;
    for (std::uint32_t k = 0; k < n; ++k)
    {
        points.push_back({first + 2 * k, 100, 100});
        points.push_back({first + 2 * k + 1, 10, 10});
    }
    return points;
}

std::string EventFileBytes(const std::vector<std::int64_t>& times)
{
    std::string bytes(16384, '\0');
    bytes.replace(0, 18, "######## Zentravox");
    for (const std::int64_t t : times)
        for (int shift = 0; shift < 64; shift += 8)
            bytes += static_cast<char>((static_cast<std::uint64_t>(t) >> shift) & 0xFF);
    return bytes;
}

std::vector<std::int64_t> EnterTimes(const std::vector<Visit>& visits)
{
    std::vector<std::int64_t> times;
    for (const Visit& v : visits)
        times.push_back(v.enter);
    return times;
}

std::vector<std::int64_t> LeaveTimes(const std::vector<Visit>& visits)
{
    std::vector<std::int64_t> times;
    for (const Visit& v : visits)
        times.push_back(v.leave);
    return times;
}

std::vector<std::vector<Visit>> ReferenceVisits(CTrackFile& reader, const std::vector<Rect>& rects,
                                                std::int32_t margin)
{
    CRegionEventGenerator stepper;
    stepper.Init(margin);
    std::vector<RegionVisitState> states(rects.size());
    std::vector<std::vector<Visit>> visits(rects.size());
    TrackRecord record;
    for (std::uint32_t i = 0; i < reader.GetRecordCount(); ++i)
        for (std::size_t j = 0; j < rects.size(); ++j)
        {
            reader.GetRecord(record, i);
            stepper.Step(record, i, rects[j], states[j]);
            if (states[j].complete != 0)
            {
                visits[j].push_back({states[j].enterTime, states[j].leaveTime});
                states[j] = RegionVisitState{};
            }
        }
    return visits;
}
