#include "analysis/RecordQuality.h"

#include "support/TrackFileBuilder.h"

#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <vector>

namespace
{
// Three coloured targets whose triangle has its center at (219, 134) in the band 10..100; the
// heading from that center is 181.
const std::vector<TrackWord> kTriangle = {MakeTrackWord(200, 100, kWordBitRR),
                                          MakeTrackWord(260, 135, kWordBitRB),
                                          MakeTrackWord(200, 170, kWordBitRG)};
// Three targets too far apart for the band: no triangle. The heading is 1 from (0, 0) and 325
// from (219, 134).
const std::vector<TrackWord> kNoTriangle = {MakeTrackWord(10, 10, kWordBitRR),
                                            MakeTrackWord(400, 10, kWordBitRB),
                                            MakeTrackWord(10, 400, kWordBitRG)};

std::vector<TrackWord> Fifty()
{
    // Luminance only: no colour, so no heading (0).
    std::vector<TrackWord> words;
    for (std::uint32_t k = 0; k < kMaxTargets; ++k)
        words.push_back(MakeTrackWord(100 + 3 * k, 100 + k % 7, kWordBitLum));
    return words;
}

std::vector<TrackWord> TriangleThenNoise()
{
    std::vector<TrackWord> words = kTriangle;
    words.push_back(0);
    words.push_back(MakeTrackWord(215, 130, kWordBitRB)); // after the list's end: ignored
    words.push_back(MakeTrackWord(230, 140, kWordBitRR));
    return words;
}
} // namespace

// Test that headings are compared as turns: the smaller angle between them, across 0/360, with
// stored values outside 0..360.
TEST(RecordQuality, HeadingDifferenceIsTheSmallerAngle)
{
    constexpr std::int32_t kLow = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kHigh = std::numeric_limits<std::int32_t>::max();
    struct Case
    {
        std::int32_t a;
        std::int32_t b;
        double difference;
    };
    const Case cases[] = {
        {0, 0, 0},     {0, 180, 180}, {180, 0, 180},      {350, 10, 20},   {10, 350, 20},
        {359, 0, 1},   {0, 359, 1},   {0, 360, 0},        {90, 271, 179},  {90, 269, 179},
        {-10, 10, 20}, {-90, 270, 0}, {-350, 10, 0},      {370, 10, 0},    {540, 0, 180},
        {725, 0, 5},   {0, -725, 5},  {kLow, kHigh, 105}, {kHigh, 0, 127}, {kHigh, kHigh, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HeadingDifference(c.a, c.b), c.difference) << c.a << " vs " << c.b;
}

// Test each case of a record, in the order of a pass: the held center, the step from the previous
// stored position, the distances and heading differences.
TEST(RecordQuality, EachCaseOfARecordInAPass)
{
    struct Case
    {
        const char* what;
        std::vector<TrackWord> targets;
        Point stored;
        std::int32_t storedAngle;
        CenterCase centerCase;
        std::uint32_t targetCount;
        Point recomputed;
        std::int32_t newAngle;
        double distance;
        double headingDifference;
        std::optional<double> step;
    };
    const Case cases[] = {
        {"no triangle before any center: (0, 0)",
         kNoTriangle,
         {3, 4},
         359,
         CenterCase::Held,
         3,
         {0, 0},
         1,
         5,
         2,
         {}},
        {"a triangle", kTriangle, {216, 130}, 171, CenterCase::Computed, 3, {219, 134}, 181, 5, 10, 247.4773},
        {"no triangle: the held center",
         kNoTriangle,
         {219, 134},
         325,
         CenterCase::Held,
         3,
         {219, 134},
         325,
         0,
         0,
         5},
        {"two targets",
         {kTriangle[0], kTriangle[1]},
         {219, 124},
         -30,
         CenterCase::Few,
         2,
         {219, 124},
         0,
         0,
         30,
         10},
        {"no target", {}, {219, 124}, 400, CenterCase::Few, 0, {219, 124}, 0, 0, 40, 0},
        {"no zero word", Fifty(), {0, 124}, 0, CenterCase::Unterminated, 50, {0, 124}, 0, 0, 0, 219},
        {"words after the zero word",
         TriangleThenNoise(),
         {219, 134},
         181,
         CenterCase::Computed,
         3,
         {219, 134},
         181,
         0,
         0,
         219.2282},
    };
    CRecordQualityMeter meter(10, 100);
    for (int pass = 0; pass < 2; ++pass) // a restarted pass starts from (0, 0) and record 0 again
    {
        std::uint64_t index = 0;
        for (const Case& c : cases)
        {
            SCOPED_TRACE(c.what);
            TrackRecord record =
                MakeRecord(static_cast<std::int64_t>(1000 + index), c.stored.x, c.stored.y, c.storedAngle);
            SetTargets(record, c.targets);
            const RecordQuality quality = meter.Measure(record);
            EXPECT_EQ(quality.record, index);
            EXPECT_EQ(quality.timestamp, static_cast<std::int64_t>(1000 + index));
            EXPECT_EQ(quality.centerCase, c.centerCase);
            EXPECT_EQ(quality.targets, c.targetCount);
            EXPECT_EQ((Point{quality.x, quality.y}), c.stored);
            EXPECT_EQ(quality.angle, c.storedAngle);
            EXPECT_EQ((Point{quality.newX, quality.newY}), c.recomputed);
            EXPECT_EQ(quality.newAngle, c.newAngle);
            EXPECT_NEAR(quality.distancePx, c.distance, 1e-4);
            EXPECT_EQ(quality.headingDifferenceDeg, c.headingDifference);
            ASSERT_EQ(quality.stepPx.has_value(), c.step.has_value());
            if (c.step)
            {
                EXPECT_NEAR(*quality.stepPx, *c.step, 1e-4);
            }
            ++index;
        }
        meter.Restart();
    }
}
