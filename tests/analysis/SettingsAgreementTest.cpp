// On random tracks with random settings: summed over the time bins, entries, time inside, time
// outside, path length and immobile time are the whole session's; and with both entry rules at 0,
// whatever else is set, the tables are today's byte for byte, the new columns added at the end.
#include "VisitTestSupport.h"
#include "analysis/BinCsv.h"
#include "analysis/VisitCsv.h"
#include "support/SettingsTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

namespace
{
enum class Rules
{
    Random,
    Zero,
};

AnalysisSettings RandomSettings(std::mt19937_64& random, Rules rules)
{
    const auto pick = [&random](std::int32_t low, std::int32_t high)
    { return std::uniform_int_distribution<std::int32_t>(low, high)(random); };
    const auto fraction = [&random](double low, double high)
    { return std::uniform_real_distribution<double>(low, high)(random); };
    const Calibration calibrations[] = {
        Calibration{}, Factor(fraction(0.01, 2.0)),
        Line({pick(0, 600), 240}, {pick(0, 600), pick(0, 239)}, fraction(1.0, 100.0)),
        Arena({pick(0, 300), 0, 640, pick(1, 480)}, fraction(10.0, 80.0), fraction(10.0, 80.0))};
    AnalysisSettings s;
    s.calibration = calibrations[pick(0, 3)];
    if (rules == Rules::Random)
    {
        s.mergeGapSeconds = static_cast<double>(pick(0, 30)) / 60;
        s.minVisitSeconds = pick(0, 1) == 0 ? 0.0 : fraction(0.0, 0.5);
    }
    s.binSeconds = pick(0, 3) == 0 ? fraction(0.001, 3.0) : static_cast<double>(pick(1, 200)) / 60;
    s.speedWindow = pick(1, 40);
    s.minImmobileSeconds = static_cast<double>(pick(0, 90)) / 60;
    const std::int32_t threshold = pick(0, 2);
    if (threshold == 1)
        s.immobileBelow = ImmobilityThreshold{SpeedUnit::PxPerSecond, fraction(1.0, 200.0)};
    else if (threshold == 2 && s.calibration.form != CalibrationForm::None)
        s.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, fraction(0.5, 50.0)};
    EXPECT_EQ(FindSettingsProblem(s), std::nullopt);
    return s;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The fields of a row whose texts hold no comma or quote.
std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    if (!line.empty() && line.back() == ',')
        fields.emplace_back();
    return fields;
}

// Test that the bins add up to the session and the regions, in records exactly and in pixels to
// within rounding.
TEST(SettingsAgreement, BinsSumToTheSession)
{
    std::mt19937_64 random(5150);
    std::uint64_t entriesSeen = 0;
    std::uint64_t immobileSeen = 0;
    std::uint64_t binsSeen = 0;
    for (int round = 0; round < 400; ++round)
    {
        const WanderingTrack track = MakeWanderingTrack(random);
        const AnalysisSettings settings = RandomSettings(random, Rules::Random);
        const VisitTable table = BuildTable(track.records, track.regions, settings, track.margin,
                                            static_cast<std::size_t>(round % 13 + 1));
        ASSERT_TRUE(table.bins.has_value()) << round;
        const TimeBins& bins = *table.bins;
        const std::uint64_t n = track.records.size();
        const std::uint64_t b = *settings.BinRecords();
        ASSERT_EQ(bins.bins.size(), (n + b - 1) / b) << round;

        std::vector<RegionBin> regionSums(table.regions.size());
        SessionBin sessionSum;
        CRegionBinWalker walker(table.visits, table.regions.size(), bins);
        for (std::size_t k = 0; k < bins.bins.size(); ++k)
        {
            ASSERT_EQ(bins.StartRecord(k), k == 0 ? 0 : bins.EndRecord(k - 1)) << round;
            const std::vector<RegionBin>& figures = walker.Next();
            for (std::size_t j = 0; j < figures.size(); ++j)
            {
                EXPECT_LE(figures[j].insideRecords, bins.EndRecord(k) - bins.StartRecord(k)) << round;
                regionSums[j].entries += figures[j].entries;
                regionSums[j].insideRecords += figures[j].insideRecords;
            }
            sessionSum.outsideAllRecords += bins.bins[k].outsideAllRecords;
            sessionSum.pathLengthPx += bins.bins[k].pathLengthPx;
            sessionSum.immobileRecords += bins.bins[k].immobileRecords;
        }
        if (!bins.bins.empty())
        {
            EXPECT_EQ(bins.EndRecord(bins.bins.size() - 1), n) << round;
        }
        for (std::size_t j = 0; j < table.regions.size(); ++j)
        {
            EXPECT_EQ(regionSums[j].entries, table.regions[j].entries) << round << " region " << j;
            EXPECT_EQ(regionSums[j].insideRecords, table.regions[j].timeInsideRecords)
                << round << " region " << j;
            entriesSeen += regionSums[j].entries;
        }
        const SessionSummary& session = table.session;
        EXPECT_EQ(sessionSum.outsideAllRecords, session.recordsOutsideAll) << round;
        EXPECT_NEAR(sessionSum.pathLengthPx, session.pathLengthPx, 1e-12 * session.pathLengthPx + 1e-9)
            << round;
        EXPECT_EQ(sessionSum.immobileRecords, session.immobileRecords.value_or(0)) << round;
        immobileSeen += sessionSum.immobileRecords;
        binsSeen += bins.bins.size();
        if (HasFailure())
            break;
    }
    // The comparison covers many entries, bins and immobile records.
    EXPECT_GT(entriesSeen, 1200u);
    EXPECT_GT(immobileSeen, 6000u);
    EXPECT_GT(binsSeen, 1800u);
}

// Test that with both rules at 0 every row holds today's columns byte for byte, whatever else is
// set, followed by the new columns only.
TEST(SettingsAgreement, RulesAtZeroGiveTodaysTables)
{
    std::mt19937_64 random(2718);
    std::uint64_t initialSeen = 0;
    for (int round = 0; round < 400; ++round)
    {
        const WanderingTrack track = MakeWanderingTrack(random);
        const AnalysisSettings settings = RandomSettings(random, Rules::Zero);
        const VisitTable today = BuildTable(track.records, track.regions, track.margin);
        const VisitTable set = BuildTable(track.records, track.regions, settings, track.margin,
                                          static_cast<std::size_t>(round % 11 + 1));

        const std::vector<std::string> visitsToday =
            Lines(FormatVisitCsv(today, "t.qtf", VisitCsvKind::Visits));
        const std::vector<std::string> visitsSet =
            Lines(FormatVisitCsv(set, "t.qtf", VisitCsvKind::Visits, VisitCsvColumns::WithSettings));
        ASSERT_EQ(visitsSet.size(), visitsToday.size()) << round;
        EXPECT_EQ(visitsSet[0], visitsToday[0] + ",initial");
        for (std::size_t k = 1; k < visitsToday.size(); ++k)
        {
            const std::string initial = Fields(visitsToday[k]).at(4) == "0" ? "1" : "0";
            EXPECT_EQ(visitsSet[k], visitsToday[k] + "," + initial) << round << " row " << k;
            initialSeen += initial == "1" ? 1 : 0;
        }

        EXPECT_EQ(FormatVisitCsv(set, "t.qtf", VisitCsvKind::Regions, VisitCsvColumns::WithSettings),
                  FormatVisitCsv(today, "t.qtf", VisitCsvKind::Regions))
            << round;

        const std::vector<std::string> sessionToday =
            Lines(FormatVisitCsv(today, "t.qtf", VisitCsvKind::Session));
        const std::vector<std::string> sessionSet =
            Lines(FormatVisitCsv(set, "t.qtf", VisitCsvKind::Session, VisitCsvColumns::WithSettings));
        ASSERT_EQ(sessionSet.size(), 2u) << round;
        const std::size_t todayColumns = Fields(sessionToday[1]).size();
        const std::vector<std::string> fields = Fields(sessionSet[1]);
        ASSERT_EQ(fields.size(), todayColumns + 4) << round;
        EXPECT_EQ(sessionSet[1].substr(0, sessionToday[1].size() + 1), sessionToday[1] + ",") << round;
        // The new columns are empty exactly when their setting is not given.
        const bool calibrated = settings.calibration.form != CalibrationForm::None;
        EXPECT_EQ(fields[todayColumns].empty(), !calibrated) << round;
        EXPECT_EQ(fields[todayColumns + 2].empty(), !settings.immobileBelow) << round;
        EXPECT_EQ(fields[todayColumns + 3].empty(), !settings.immobileBelow) << round;
        if (HasFailure())
            break;
    }
    EXPECT_GT(initialSeen, 60u);
}
} // namespace
