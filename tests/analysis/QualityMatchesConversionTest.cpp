// The recomputed position and heading of the quality report are exactly what the conversion
// writes: both run over the same files, generated and reshaped the ways a tracker gets targets
// wrong, and are compared record by record.
#include "analysis/TrackingQuality.h"
#include "base/ResultCodes.h"
#include "recalc/TrackConverter.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "support/TrackRuns.h"
#include "trackfile/TrackGenerator.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace
{
constexpr std::uint32_t kRecordsPerSeed = 1500;

std::vector<TrackWord> ListedTargets(const TrackRecord& record)
{
    const std::array<TrackWord, kMaxTargets> targets = CopyTargets(record);
    return {targets.begin(), targets.begin() + static_cast<std::ptrdiff_t>(CountListEntries(targets))};
}

// A target near word, of any colour.
TrackWord Near(CTrackGenerator& random, TrackWord word, std::uint32_t spread)
{
    const auto Jitter = [&](std::uint32_t v)
    { return v + static_cast<std::uint32_t>(random.NextRandom() % (2 * spread + 1)) - spread; };
    const auto colours =
        static_cast<TrackWord>(random.NextRandom()) &
        (kWordBitRB | kWordBitRG | kWordBitRR | kWordBitLum | kWordBitPB | kWordBitPG | kWordBitPR);
    return MakeTrackWord(Jitter(TrackWordX(word)), Jitter(TrackWordY(word)), colours) | kWordBitLum;
}

// The generator's track with most records reshaped: targets shuffled, removed, added near the
// others, all 50 used (no list end), words left after a list end, or none at all.
std::vector<TrackRecord> ReshapedTrack(std::uint64_t seed, std::uint32_t count)
{
    CTrackGenerator generator(seed);
    CTrackGenerator random(seed + 1000);
    std::vector<TrackRecord> records(count);
    for (TrackRecord& record : records)
    {
        generator.NextRecord(record);
        std::vector<TrackWord> targets = ListedTargets(record);
        if (targets.empty())
            targets.push_back(MakeTrackWord(320, 240, kWordBitRB));
        const auto Pick = [&] { return static_cast<std::size_t>(random.NextRandom() % targets.size()); };
        switch (random.NextRandom() % 9)
        {
        case 0:
            for (std::size_t k = targets.size(); k > 1; --k)
                std::swap(targets[k - 1], targets[static_cast<std::size_t>(random.NextRandom() % k)]);
            break;
        case 1:
            targets.erase(targets.begin() + static_cast<std::ptrdiff_t>(Pick()));
            break;
        case 2:
            targets.resize(std::min<std::size_t>(targets.size(), random.NextRandom() % 3));
            break;
        case 3:
            while (targets.size() < kMaxTargets)
                targets.push_back(Near(random, targets[Pick()], 60));
            break;
        case 4:
            for (std::uint64_t extra = 2 + random.NextRandom() % 8; extra > 0 && targets.size() < kMaxTargets;
                 --extra)
                targets.push_back(Near(random, targets[Pick()], 40));
            break;
        case 5:
            targets.push_back(0);
            while (targets.size() < kMaxTargets)
                targets.push_back(Near(random, targets[Pick() % (targets.size() - 1)], 30));
            break;
        case 6:
            targets.clear();
            break;
        default:
            break;
        }
        SetTargets(record, targets);
    }
    return records;
}

struct CsvRow
{
    std::vector<std::string> fields;
    [[nodiscard]] long long Integer(std::size_t column) const { return std::stoll(fields.at(column)); }
};

std::vector<CsvRow> ReadRows(const std::string& csv)
{
    std::vector<CsvRow> rows;
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line); // the header
    while (std::getline(lines, line))
    {
        CsvRow row;
        std::istringstream fields(line);
        std::string field;
        while (std::getline(fields, field, ','))
            row.fields.push_back(field);
        if (line.back() == ',')
            row.fields.emplace_back();
        rows.push_back(row);
    }
    return rows;
}

enum Column : std::size_t
{
    kRecord,
    kTimestamp,
    kTargets,
    kCase,
    kX,
    kY,
    kAngle,
    kNewX,
    kNewY,
    kNewAngle,
    kColumns = 13,
};
} // namespace

// Test, on thousands of generated and reshaped records in several bands, that the table's new
// position and heading of every record are those the conversion writes, that its stored values
// and counts are the source's, and that the figures count the table's cases.
TEST(QualityMatchesConversion, RecomputedValuesAreWhatConvertFileWrites)
{
    struct Band
    {
        int min;
        int max;
    };
    const Band bands[] = {{10, 100}, {5, 60}, {0, 4000}, {30, 20}};
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    CTempDir dir;
    std::map<std::string, std::uint64_t> casesSeen;
    for (const std::uint64_t seed : {3u, 17u, 101u})
    {
        CTrackFileBuilder builder;
        for (const TrackRecord& record : ReshapedTrack(seed, kRecordsPerSeed))
            builder.Add(record);
        const std::string source = builder.WithHeader(seed != 17).Write(dir.File("source.qtf"));
        for (const Band& band : bands)
        {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", band " + std::to_string(band.min) + ".." +
                         std::to_string(band.max));
            CTrackConverter converter;
            ASSERT_EQ(converter.ConvertFile(source, dir.File("converted.qtf"), band.min, band.max), kOk);
            QualitySummary summary;
            const QualityOptions options{band.min, band.max, kDefaultJumpPx};
            ASSERT_EQ(RunQualityReport(source, options, summary), kOk);
            ASSERT_EQ(WriteQualityCsv(source, options, dir.File("quality.csv")), kOk);

            const std::string converted = ReadWholeFile(dir.File("converted.qtf"));
            const std::vector<CsvRow> rows = ReadRows(ReadWholeFile(dir.File("quality.csv")));
            ASSERT_EQ(rows.size(), kRecordsPerSeed);
            std::map<std::string, std::uint64_t> cases;
            for (std::size_t r = 0; r < rows.size(); ++r)
            {
                const CsvRow& row = rows[r];
                ASSERT_EQ(row.fields.size(), std::size_t{kColumns}) << r;
                const TrackRecord& before = builder.Records()[r];
                const TrackRecord after = RecordAt(converted, seed != 17, r);
                ASSERT_EQ(row.Integer(kRecord), static_cast<long long>(r));
                ASSERT_EQ(row.Integer(kTimestamp), std::int64_t{before.timestamp}) << r;
                ASSERT_EQ(row.Integer(kTargets), static_cast<long long>(ListedTargets(before).size())) << r;
                ASSERT_EQ(row.Integer(kX), std::int32_t{before.x}) << r;
                ASSERT_EQ(row.Integer(kY), std::int32_t{before.y}) << r;
                ASSERT_EQ(row.Integer(kAngle), std::int32_t{before.angle}) << r;
                ASSERT_EQ(row.Integer(kNewX), std::int32_t{after.x}) << r;
                ASSERT_EQ(row.Integer(kNewY), std::int32_t{after.y}) << r;
                ASSERT_EQ(row.Integer(kNewAngle), std::int32_t{after.angle}) << r;
                ++cases[row.fields[kCase]];
            }
            EXPECT_EQ(summary.records, kRecordsPerSeed);
            for (const CenterCase centerCase :
                 {CenterCase::Computed, CenterCase::Held, CenterCase::Few, CenterCase::Unterminated})
            {
                const std::string name(CenterCaseName(centerCase));
                EXPECT_EQ(summary.Count(centerCase), cases[name]) << name;
                casesSeen[name] += cases[name];
            }
        }
    }
    // The reshaped tracks reach every case many times.
    for (const auto& [name, count] : casesSeen)
        EXPECT_GT(count, 300u) << name;
    EXPECT_EQ(casesSeen.size(), kCenterCaseCount);
}
