// Measures the tracking quality of arbitrary records (any position, heading and target words, any
// distance band and jump threshold) and checks every record against the conversion of the same
// file: the recomputed position and heading are what ConvertFile wrote, the case agrees with the
// targets and with the plain center search, and the distances, heading differences and steps are
// what the stored and recomputed values give. The per-file figures and the table of the same
// file's report are checked against the records' measures.
#include "analysis/QualityStatistics.h"
#include "analysis/TrackingQuality.h"
#include "base/ResultCodes.h"
#include "outputs/OutputPass.h"
#include "outputs/QualityOutput.h"
#include "recalc/ReferenceCenterFinder.h"
#include "recalc/TrackConverter.h"
#include "support/FuzzInput.h"
#include "support/FuzzScratch.h"
#include "support/GeneratedTrack.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace
{
// Inputs stay within a few blocks of records, so a fuzz run stays fast.
constexpr std::size_t kMaxRecords = 48;
constexpr std::uint8_t kWordCountChoices = kMaxTargets + 1;

// One record of the input: position, heading, timestamp, then up to 50 target words (the rest 0).
TrackRecord ReadRecord(CFuzzInput& input)
{
    TrackRecord record;
    std::memset(&record, 0, sizeof record);
    record.x = input.Int();
    record.y = input.Int();
    record.angle = input.Int();
    record.timestamp = input.U32();
    const std::size_t words = input.U8() % kWordCountChoices;
    for (std::size_t k = 0; k < words; ++k)
        record.targets[k] = input.U32();
    return record;
}

void WriteRecord(CFuzzInputBuilder& input, const TrackRecord& record, std::size_t words)
{
    input.Int(record.x).Int(record.y).Int(record.angle).U32(static_cast<std::uint32_t>(record.timestamp));
    input.U8(static_cast<std::uint8_t>(words));
    for (std::size_t k = 0; k < words; ++k)
        input.U32(record.targets[k]);
}

// The plain center search's center for the record's listed targets, or nothing when it writes
// none: a center is written exactly when two different starting values both come out the same.
std::optional<Point> ReferenceCenter(const std::array<TrackWord, kMaxTargets>& targets, std::size_t listed,
                                     int minDistance, int maxDistance)
{
    Point points[kMaxTargets];
    for (std::size_t k = 0; k < listed; ++k)
        points[k] = Point{static_cast<std::int32_t>(TrackWordX(targets[k])),
                          static_cast<std::int32_t>(TrackWordY(targets[k]))};
    Point a{-5, -5};
    Point b{-6, -6};
    reference::FindCenter(minDistance, maxDistance, points, static_cast<int>(listed), a);
    reference::FindCenter(minDistance, maxDistance, points, static_cast<int>(listed), b);
    return a == b ? std::optional<Point>(a) : std::nullopt;
}

bool Close(double a, double b)
{
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b));
}

double Hypot(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    return std::hypot(static_cast<double>(std::int64_t{x1} - x2), static_cast<double>(std::int64_t{y1} - y2));
}

// Checks one record's measure against the source record, the converted record and the center held
// before it; returns the center held after it.
Point CheckRecord(const RecordQuality& q, const TrackRecord& source, const TrackRecord& converted,
                  const std::optional<TrackRecord>& previous, Point held, int minDistance, int maxDistance)
{
    FuzzCheck(q.x == source.x && q.y == source.y && q.angle == source.angle &&
                  q.timestamp == source.timestamp,
              "the stored values are the record's");
    FuzzCheck(q.newX == converted.x && q.newY == converted.y && q.newAngle == converted.angle,
              "the recomputed values are what the conversion wrote");

    const std::array<TrackWord, kMaxTargets> targets = CopyTargets(source);
    const std::size_t listed = CountListEntries(targets);
    FuzzCheck(q.targets == listed, "the targets are counted to the list's end");
    const bool unmoved = q.newX == q.x && q.newY == q.y;
    switch (q.centerCase)
    {
    case CenterCase::Unterminated:
        FuzzCheck(listed == kMaxTargets && unmoved, "a list without end leaves the position");
        break;
    case CenterCase::Few:
        FuzzCheck(listed < kFewestCenterTargets && unmoved && q.newAngle == 0,
                  "fewer than three targets leave the position, with heading 0");
        break;
    case CenterCase::Held:
        FuzzCheck(listed >= kFewestCenterTargets && listed < kMaxTargets, "a held center has three targets");
        FuzzCheck(q.newX == held.x && q.newY == held.y, "a held center is the last one computed");
        FuzzCheck(!ReferenceCenter(targets, listed, minDistance, maxDistance),
                  "a held center is used only when the plain search finds none");
        break;
    case CenterCase::Computed:
    {
        FuzzCheck(listed >= kFewestCenterTargets && listed < kMaxTargets, "a center needs three targets");
        const std::optional<Point> center = ReferenceCenter(targets, listed, minDistance, maxDistance);
        FuzzCheck(center && center->x == q.newX && center->y == q.newY,
                  "a computed center is the plain search's center");
        held = Point{q.newX, q.newY};
        break;
    }
    }

    FuzzCheck(Close(q.distancePx, Hypot(q.x, q.y, q.newX, q.newY)), "the distance is the straight one");
    const double turn = q.headingDifferenceDeg;
    const std::int64_t apart = std::int64_t{q.angle} - q.newAngle;
    const auto whole = static_cast<std::int64_t>(turn);
    FuzzCheck(turn >= 0 && turn <= 180 && turn == static_cast<double>(whole) &&
                  ((apart - whole) % 360 == 0 || (apart + whole) % 360 == 0),
              "the heading difference is the smaller turn between the headings");
    FuzzCheck(q.stepPx.has_value() == previous.has_value(), "every record but the first has a step");
    if (previous)
        FuzzCheck(Close(*q.stepPx, Hypot(q.x, q.y, previous->x, previous->y)),
                  "the step is the straight one from the previous stored position");
    return held;
}

// Checks the report's figures against the measures of the records.
void CheckSummary(const QualitySummary& summary, const std::vector<RecordQuality>& measures,
                  std::uint32_t jump)
{
    FuzzCheck(summary.records == measures.size(), "the report counts every record");
    std::array<std::uint64_t, kCenterCaseCount> cases{};
    std::vector<double> distances;
    std::uint64_t jumps = 0;
    CLongestGap gap;
    for (const RecordQuality& q : measures)
    {
        ++cases[static_cast<std::size_t>(q.centerCase)];
        if (q.centerCase == CenterCase::Computed)
            distances.push_back(q.distancePx);
        jumps += q.stepPx && *q.stepPx > jump ? 1 : 0;
        gap.Add(q.record, q.centerCase == CenterCase::Computed);
    }
    FuzzCheck(summary.cases == cases, "the report counts each case");
    FuzzCheck(summary.jumps == jumps, "the report counts the steps longer than the threshold");
    FuzzCheck(summary.largestJumps.size() == std::min<std::uint64_t>(jumps, kLargestJumpsKept) &&
                  std::is_sorted(summary.largestJumps.begin(), summary.largestJumps.end(),
                                 [](const QualityJump& a, const QualityJump& b)
                                 { return a.stepPx > b.stepPx; }),
              "the largest jumps come largest first");
    for (const QualityJump& j : summary.largestJumps)
        FuzzCheck(j.record < measures.size() && measures[j.record].stepPx == j.stepPx,
                  "a listed jump is the step of its record");
    FuzzCheck(summary.longestGap == gap.Longest(), "the longest gap is the longest run without a center");
    const QualityStatistic& s = summary.positionDistancePx;
    if (distances.empty())
        FuzzCheck(!s.median && !s.p95 && !s.largest, "no computed record, no distance figures");
    else
    {
        const auto [low, high] = std::minmax_element(distances.begin(), distances.end());
        FuzzCheck(s.largest == *high && s.median && s.p95 && *low <= *s.median && *s.median <= *s.p95 &&
                      *s.p95 <= *high,
                  "the distance figures lie in order between the least and the largest");
    }
}
} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeedInputs()
{
    // The band 10..100, the threshold 40, and records of generated tracks with their targets.
    std::vector<std::vector<std::uint8_t>> seeds;
    for (const std::uint64_t seed : {3u, 8u})
    {
        CFuzzInputBuilder input;
        input.I16(10).I16(100).U8(40);
        for (const TrackRecord& record : GeneratedRecords(12, seed))
            WriteRecord(input, record, CountListEntries(CopyTargets(record)));
        seeds.push_back(input.Data());
    }
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const CFuzzScratchDir scratch;
    CFuzzInput input(data, size);
    const QualityOptions options{input.I16(), input.I16(), input.U8()};
    std::vector<TrackRecord> records;
    while (input.Remaining() > 0 && records.size() < kMaxRecords)
        records.push_back(ReadRecord(input));

    const std::string source = scratch.File("source.qtf");
    FuzzCheck(WriteFileBytes(source, reinterpret_cast<const std::uint8_t*>(records.data()),
                             records.size() * sizeof(TrackRecord)),
              "the source can be written");
    CFuzzMessageSink sink;
    CScopedMessageSink scoped(sink);
    CTrackConverter converter;
    FuzzCheck(converter.ConvertFile(source, scratch.File("converted.qtf"), options.minDistance,
                                    options.maxDistance) == kOk,
              "the conversion completes");
    const std::optional<std::vector<std::uint8_t>> converted = ReadFileBytes(scratch.File("converted.qtf"));
    FuzzCheck(converted && converted->size() == records.size() * sizeof(TrackRecord),
              "the converted file holds every record");

    CRecordQualityMeter meter(options.minDistance, options.maxDistance);
    std::vector<RecordQuality> measures;
    Point held{0, 0};
    for (std::size_t r = 0; r < records.size(); ++r)
    {
        TrackRecord after;
        std::memcpy(&after, converted->data() + r * sizeof after, sizeof after);
        measures.push_back(meter.Measure(records[r]));
        FuzzCheck(measures.back().record == r, "records are numbered from 0");
        held = CheckRecord(measures.back(), records[r], after,
                           r > 0 ? std::optional<TrackRecord>(records[r - 1]) : std::nullopt, held,
                           options.minDistance, options.maxDistance);
    }

    CQualityOutput quality(QualityDestination{{}, scratch.File("quality.csv")}, options);
    ITrackOutput* outputs[] = {&quality};
    COutputPass pass;
    FuzzCheck(pass.Open(source) == kOk && pass.Prepare(outputs) == kOk && pass.Run() == kOk,
              "the report completes");
    CheckSummary(quality.Summary(), measures, options.jumpPx);
    const std::optional<std::vector<std::uint8_t>> table = ReadFileBytes(scratch.File("quality.csv"));
    FuzzCheck(table && static_cast<std::size_t>(std::count(table->begin(), table->end(), '\n')) ==
                           records.size() + 1,
              "the table has a header and a row a record");
    scratch.Clear();
    return 0;
}
