#include "QualityTestTracks.h"

const std::vector<TrackWord> kTriangle = {MakeTrackWord(200, 100, kWordBitRR),
                                          MakeTrackWord(260, 135, kWordBitRB),
                                          MakeTrackWord(200, 170, kWordBitRG)};
const std::vector<TrackWord> kNoTriangle = {MakeTrackWord(10, 10, kWordBitRR),
                                            MakeTrackWord(400, 10, kWordBitRB),
                                            MakeTrackWord(10, 400, kWordBitRG)};

std::vector<TrackWord> Fifty()
{
    std::vector<TrackWord> words;
    for (std::uint32_t k = 0; k < kMaxTargets; ++k)
        words.push_back(MakeTrackWord(100 + 3 * k, 100 + k % 7, kWordBitLum));
    return words;
}

TrackRecord Record(std::int64_t timestamp, Point stored, std::int32_t angle,
                   const std::vector<TrackWord>& targets)
{
    TrackRecord record = MakeRecord(timestamp, stored.x, stored.y, angle);
    SetTargets(record, targets);
    return record;
}

CTrackFileBuilder CraftedTrack()
{
    CTrackFileBuilder builder;
    builder.Add(Record(1000, {216, 130}, 171, kTriangle))
        .Add(Record(1001, {219, 134}, 181, kTriangle))
        .Add(Record(1002, {300, 134}, 300, kNoTriangle))
        .Add(Record(1003, {300, 134}, 7, {kTriangle[0], kTriangle[1]}))
        .Add(Record(1004, {219, 144}, 190, kTriangle))
        .Add(Record(1005, {219, 134}, 181, kTriangle))
        .Add(Record(1006, {219, 194}, 181, kTriangle))
        .Add(Record(1007, {219, 134}, -1, Fifty()));
    return builder;
}
