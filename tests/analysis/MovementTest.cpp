// Movement: still records and immobility bouts at their edges (record 0, a speed exactly at the
// threshold, a bout of exactly the minimum, a run to the end, the window), and on random tracks
// against the definition computed plainly, with thresholds placed exactly where a drifting window
// sum would misjudge.
#include "analysis/Movement.h"

#include "VisitTestSupport.h"
#include "support/SettingsTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace
{
struct Outcome
{
    std::vector<ImmobilityBout> bouts;
    std::uint64_t immobileRecords = 0;
};

// Feeds steps[i - 1] as the step into record i, for a track of steps.size() + 1 records.
Outcome Follow(std::int32_t window, std::optional<StillnessRule> rule, std::uint64_t minBout,
               const std::vector<double>& steps)
{
    CMovementTracker tracker(window, rule, minBout);
    Outcome outcome;
    for (std::size_t i = 0; i < steps.size(); ++i)
        if (const auto bout = tracker.AddStep(i + 1, steps[i]))
            outcome.bouts.push_back(*bout);
    if (const auto bout = tracker.Finish(steps.size() + 1))
        outcome.bouts.push_back(*bout);
    std::uint64_t bouts = outcome.bouts.size();
    EXPECT_EQ(tracker.Bouts(), bouts);
    outcome.immobileRecords = tracker.ImmobileRecords();
    return outcome;
}

std::string Describe(const std::vector<ImmobilityBout>& bouts)
{
    std::string text;
    for (const ImmobilityBout& b : bouts)
        text += "[" + std::to_string(b.from) + ", " + std::to_string(b.to) + ") ";
    return text;
}

// Test the still records and bouts of small step sequences at every edge of the definition.
TEST(Movement, BoutsAtTheEdges)
{
    struct Case
    {
        const char* name;
        std::int32_t window;
        std::optional<StillnessRule> rule;
        std::uint64_t minBout;
        std::vector<double> steps; // into records 1, 2, ...
        std::vector<ImmobilityBout> bouts;
    };
    const std::vector<Case> cases = {
        {"no threshold: nothing is still", 1, std::nullopt, 0, {0, 0, 0}, {}},
        {"record 0 is never still: a still track's bout starts at record 1",
         2,
         StillnessRule{1.0},
         1,
         {0, 0, 0, 0},
         {{1, 5}}},
        {"a bout of exactly M records counts, one of M - 1 does not",
         1,
         StillnessRule{30.0}, // a step below half a pixel
         3,
         {0, 0, 0, 9, 0, 0, 9},
         {{1, 4}}},
        {"a run to the end ends at the record count", 1, StillnessRule{30.0}, 2, {9, 0, 0}, {{2, 4}}},
        {"a run of one record at the end is too short for M = 2",
         1,
         StillnessRule{30.0},
         2,
         {0, 0, 9, 0},
         {{1, 3}}},
        {"M = 0: every still run is a bout", 1, StillnessRule{30.0}, 0, {0, 9, 0, 9}, {{1, 2}, {3, 4}}},
        {"one jump keeps the speed up for the window's length",
         3,
         StillnessRule{60.0}, // a mean step below one pixel
         1,
         {0, 0, 6, 0, 0, 0, 0},
         {{1, 3}, {6, 8}}},
        {"the window is shorter at the start: its mean is over the steps there are",
         4,
         StillnessRule{60.0},
         1,
         {1.5, 0, 0, 0, 0},
         // record 1: a mean of 1.5 (not 1.5 / 4); 2: 0.75; 3: 0.5; 4: 0.375; 5: 0
         {{2, 6}}},
        {"a speed exactly at the threshold is not still", 2, StillnessRule{60.0}, 1, {1, 1, 1}, {}},
        {"a hair above it, it is", 2, StillnessRule{std::nextafter(60.0, 100.0)}, 1, {1, 1, 1}, {{1, 4}}},
        {"centimetres: the speed times F against the threshold",
         1,
         StillnessRule{30.0, 0.5}, // 60 px/s x 0.5 = 30 cm/s: not below
         1,
         {1, 1},
         {}},
        {"centimetres, a hair above",
         1,
         StillnessRule{std::nextafter(30.0, 100.0), 0.5},
         1,
         {1, 1},
         {{1, 3}}},
        {"a window of 600 records", 600, StillnessRule{60.0}, 1, std::vector<double>(700, 0.5), {{1, 701}}},
        {"no steps: one record, never still", 1, StillnessRule{30.0}, 0, {}, {}},
    };
    for (const Case& c : cases)
    {
        const Outcome outcome = Follow(c.window, c.rule, c.minBout, c.steps);
        EXPECT_EQ(outcome.bouts, c.bouts)
            << c.name << ": got " << Describe(outcome.bouts) << "want " << Describe(c.bouts);
        std::uint64_t records = 0;
        for (const ImmobilityBout& b : c.bouts)
            records += b.to - b.from;
        EXPECT_EQ(outcome.immobileRecords, records) << c.name;
    }
}

// The definition, plainly: every record's window summed afresh.
std::vector<ImmobilityBout> ModelBouts(const std::vector<double>& steps, std::int32_t window,
                                       const StillnessRule& rule, std::uint64_t minBout)
{
    std::vector<ImmobilityBout> bouts;
    const std::uint64_t records = steps.size() + 1;
    bool inRun = false;
    std::uint64_t runStart = 0;
    for (std::uint64_t i = 1; i <= records; ++i)
    {
        bool still = false;
        if (i < records)
        {
            const std::uint64_t first = i > static_cast<std::uint64_t>(window) ? i - window + 1 : 1;
            double sum = 0.0;
            for (std::uint64_t j = first; j <= i; ++j)
                sum += steps[j - 1];
            const double speed = 60.0 * sum / static_cast<double>(i - first + 1);
            still = speed * rule.scale < rule.threshold;
        }
        if (still && !inRun)
        {
            inRun = true;
            runStart = i;
        }
        if (!still && inRun)
        {
            if (i - runStart >= minBout)
                bouts.push_back({runStart, i});
            inRun = false;
        }
    }
    return bouts;
}

// Test on random tracks that the bouts are those of the definition. Steps are mostly whole
// pixels, so window sums land exactly on thresholds of 60 x k / n; huge jumps leave rounding in a
// running sum long after they have left the window.
TEST(Movement, RandomTracksFollowTheDefinition)
{
    std::mt19937_64 random(77);
    const auto pick = [&random](std::int64_t low, std::int64_t high)
    { return std::uniform_int_distribution<std::int64_t>(low, high)(random); };
    std::uint64_t boutsSeen = 0;
    for (int round = 0; round < 400; ++round)
    {
        const auto window = static_cast<std::int32_t>(pick(0, 9) == 0 ? pick(100, 600) : pick(1, 30));
        const auto count = static_cast<std::size_t>(pick(0, 3000));
        std::vector<double> steps;
        for (std::size_t i = 0; i < count; ++i)
        {
            const std::int64_t kind = pick(0, 19);
            if (kind == 0)
                steps.push_back(std::hypot(static_cast<double>(pick(0, 4000000000)), 3.0)); // a huge jump
            else if (kind < 4)
                steps.push_back(std::hypot(static_cast<double>(pick(0, 5)), static_cast<double>(pick(1, 5))));
            else
                steps.push_back(static_cast<double>(pick(0, 2)));
        }
        const auto n = static_cast<double>(pick(1, window));
        StillnessRule rule{60.0 * static_cast<double>(pick(1, 2 * window)) / n, 1.0};
        if (pick(0, 3) == 0)
            rule = StillnessRule{rule.threshold * 0.25, 0.25}; // the same threshold in centimetres
        const auto minBout = static_cast<std::uint64_t>(pick(0, 90));

        const Outcome outcome = Follow(window, rule, minBout, steps);
        const std::vector<ImmobilityBout> model = ModelBouts(steps, window, rule, minBout);
        ASSERT_EQ(outcome.bouts, model)
            << "round " << round << ": got " << Describe(outcome.bouts) << "want " << Describe(model);
        boutsSeen += model.size();
    }
    EXPECT_GT(boutsSeen, 1000u);
}

// Test the session's movement figures from a line calibration (F = 2) and a threshold in cm/s, in
// which the factor decides: 300 px/s is 600 cm/s, not below 500.
TEST(Movement, SessionFigures)
{
    // Steps of 5 pixels into records 1 and 3 (300 px/s over a window of one record), still after.
    const std::vector<TrackRecord> records = RecordsOf(
        {{0, 0, 0}, {1, 3, 4}, {2, 3, 4}, {3, 6, 8}, {4, 6, 8}, {5, 6, 8}, {6, 6, 8}, {7, 6, 8}, {8, 6, 8}});
    AnalysisSettings settings;
    settings.calibration = Line({1, 1}, {4, 5}, 10.0);
    settings.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, 500.0};
    settings.speedWindow = 1;
    settings.minImmobileSeconds = 2.0 / 60; // record 2 alone is too short a bout
    const SessionSummary s = BuildTable(records, TableOf({}), settings).session;
    EXPECT_DOUBLE_EQ(s.pathLengthCm.value_or(0.0), 20.0);
    EXPECT_DOUBLE_EQ(s.meanSpeedCmPerSecond.value_or(0.0), 20.0 / (8.0 / 60));
    EXPECT_EQ(s.immobileRecords, std::optional<std::uint64_t>(5));
    EXPECT_DOUBLE_EQ(s.immobileSeconds.value_or(0.0), 5.0 / 60);
    EXPECT_EQ(s.immobilityBouts, std::optional<std::uint64_t>(1));
    // Below two records there is no mean speed, in centimetres as in pixels.
    const SessionSummary one = BuildTable(RecordsOf({{0, 5, 5}}), TableOf({}), settings).session;
    EXPECT_EQ(one.pathLengthCm, std::optional<double>(0.0));
    EXPECT_FALSE(one.meanSpeedCmPerSecond.has_value());
}
} // namespace
