#include "analysis/QualityStatistics.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

// Test the percentile rule on small lists, in any order: linear interpolation between the closest
// ranks (numpy's default), with the expected values worked by hand from the sorted list.
TEST(QualityStatistics, PercentilesOfSmallLists)
{
    struct Case
    {
        std::vector<double> values;
        double fraction;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {{}, 0.5, std::nullopt},
        {{7}, 0.5, 7},
        {{7}, 0.95, 7},
        {{3, 1}, 0.5, 2},
        {{3, 1}, 0.95, 2.9}, // rank 0.95: 1 + 0.95 * (3 - 1)
        {{3, 1, 2}, 0.5, 2},
        {{3, 1, 2}, 0.95, 2.9}, // rank 1.9
        {{4, 1, 3, 2}, 0.5, 2.5},
        {{4, 1, 3, 2}, 0.95, 3.85}, // rank 2.85
        {{50, 10, 40, 20, 30}, 0.5, 30},
        {{50, 10, 40, 20, 30}, 0.95, 48}, // rank 3.8
        {{50, 10, 40, 20, 30}, 0.0, 10},
        {{50, 10, 40, 20, 30}, 1.0, 50},
        {{5, 1, 5, 5}, 0.5, 5}, // equal neighbours: no interpolation
        {{0.25, 0.25}, 0.95, 0.25},
    };
    for (const Case& c : cases)
    {
        std::vector<double> values = c.values;
        const std::optional<double> got = Percentile(values, c.fraction);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.values.size();
        if (c.expected)
        {
            EXPECT_DOUBLE_EQ(*got, *c.expected) << c.values.size() << " values at " << c.fraction;
        }
    }
}

// Test that the largest jumps come largest first, that a tie keeps the earlier record ahead and
// that a later equal step does not push out a kept one.
TEST(QualityStatistics, LargestJumpsInOrder)
{
    struct Case
    {
        const char* what;
        std::vector<QualityJump> offered; // in record order
        std::vector<QualityJump> kept;
    };
    const Case cases[] = {
        {"none", {}, {}},
        {"fewer than five", {{3, 50}, {9, 70}}, {{9, 70}, {3, 50}}},
        {"ties: earlier first", {{2, 60}, {5, 80}, {7, 60}, {8, 80}}, {{5, 80}, {8, 80}, {2, 60}, {7, 60}}},
        {"more than five",
         {{1, 41}, {2, 90}, {3, 45}, {4, 100}, {5, 42}, {6, 95}, {7, 43}},
         {{4, 100}, {6, 95}, {2, 90}, {3, 45}, {7, 43}}},
        {"a later equal step stays out",
         {{1, 50}, {2, 50}, {3, 50}, {4, 50}, {5, 50}, {6, 50}},
         {{1, 50}, {2, 50}, {3, 50}, {4, 50}, {5, 50}}},
        {"a larger step pushes out the last",
         {{1, 50}, {2, 50}, {3, 50}, {4, 50}, {5, 50}, {6, 51}},
         {{6, 51}, {1, 50}, {2, 50}, {3, 50}, {4, 50}}},
    };
    for (const Case& c : cases)
    {
        CLargestJumps jumps;
        for (const QualityJump& jump : c.offered)
            jumps.Offer(jump.record, jump.stepPx);
        EXPECT_EQ(jumps.Jumps(), c.kept) << c.what;
    }
}

// Test the longest run of records without a good one: at the start, in the middle, at the end,
// none, and the earliest of equally long runs.
TEST(QualityStatistics, LongestGap)
{
    struct Case
    {
        const char* what;
        const char* records; // one letter a record: g good, x not
        std::optional<RecordRun> longest;
    };
    const Case cases[] = {
        {"no records", "", std::nullopt},
        {"none", "gggg", std::nullopt},
        {"at the start", "xxxgxgg", RecordRun{0, 3}},
        {"in the middle", "gxgxxxxgxxg", RecordRun{3, 4}},
        {"at the end", "gxxgxxx", RecordRun{4, 3}},
        {"every record", "xxxxx", RecordRun{0, 5}},
        {"equal runs: the earliest", "gxxgxxgxx", RecordRun{1, 2}},
        {"one record", "gggxggg", RecordRun{3, 1}},
    };
    for (const Case& c : cases)
    {
        CLongestGap gap;
        for (std::uint64_t r = 0; c.records[r] != '\0'; ++r)
            gap.Add(r, c.records[r] == 'g');
        EXPECT_EQ(gap.Longest(), c.longest) << c.what;
    }
}
