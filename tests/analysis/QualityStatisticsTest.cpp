#include "analysis/QualityStatistics.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <random>
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

// Test that whole values, counted while small and kept beyond, give to the bit the percentiles and
// largest value of the plain list: square roots of squared distances, some counted, some kept,
// some equal, and whole degrees, for lists of one value up to thousands.
TEST(QualityStatistics, CountedValuesGiveThePercentilesOfTheList)
{
    std::mt19937_64 random(11);
    const auto root = [](double v) { return std::sqrt(v); };
    const auto same = [](double v) { return v; };
    const double fractions[] = {0.0, 1e-9, 0.25, 0.5, 0.95, 0.999, 1.0};
    for (const std::size_t size : {1, 2, 3, 7, 100, 5000})
    {
        for (int mix = 0; mix < 5; ++mix)
        {
            // Squares all below the counted limit, all at or above it, or both; the last mix also
            // beyond 32 bits (kept apart), up to squares of far-off 32-bit positions.
            constexpr std::size_t kLimit = 4096;
            constexpr double kBeyond32Bits[] = {0x1p32 - 1, 0x1p32, 0x1p32 + 1, 0x1p53 + 2, 0x1p64, 0x1p65};
            CWholeValues squares(kLimit);
            std::vector<double> roots;
            for (std::size_t v = 0; v < size; ++v)
            {
                const bool large = mix == 1 || (mix >= 2 && random() % (mix == 2 ? 2 : 50) == 0);
                auto value = static_cast<double>(large ? kLimit + random() % 100000 : random() % 60);
                if (mix == 4 && random() % 3 == 0)
                    value = kBeyond32Bits[random() % std::size(kBeyond32Bits)];
                squares.Add(value);
                roots.push_back(std::sqrt(value));
            }
            ASSERT_EQ(squares.Size(), size);
            ASSERT_EQ(root(squares.Largest()), *std::max_element(roots.begin(), roots.end()));
            for (const double fraction : fractions)
            {
                std::vector<double> list = roots;
                const std::optional<double> expected = Percentile(list, fraction);
                const std::optional<double> got = squares.Percentile(fraction, root);
                ASSERT_TRUE(got.has_value());
                ASSERT_EQ(std::bit_cast<std::uint64_t>(*got), std::bit_cast<std::uint64_t>(*expected))
                    << size << " values, mix " << mix << ", at " << fraction;
            }
        }
        // Whole degrees, every one counted.
        CWholeValues degrees(181);
        std::vector<double> list;
        for (std::size_t v = 0; v < size; ++v)
        {
            const auto value = static_cast<double>(random() % 181);
            degrees.Add(value);
            list.push_back(value);
        }
        for (const double fraction : fractions)
        {
            std::vector<double> copy = list;
            EXPECT_EQ(degrees.Percentile(fraction, same), Percentile(copy, fraction))
                << size << " at " << fraction;
        }
    }
}

// Test the memory the values hold, the table of counts aside: nothing each while they are
// counted, 4 bytes each (8 with the vector's growth) while they fit 32 bits, 8 (16) beyond.
TEST(QualityStatistics, CountedValuesMemory)
{
    constexpr std::size_t kLimit = 4096;
    constexpr std::size_t kCountsAtMost = kLimit * sizeof(std::uint64_t);
    const struct
    {
        double first; // values first, first + 1, ...
        std::size_t count;
        std::size_t bytesEach;
    } cases[] = {{0, 4096, 0}, {4096, 100000, 4}, {0x1p32 - 100000, 100000, 4}, {0x1p32, 10000, 8}};
    for (const auto& c : cases)
    {
        CWholeValues values(kLimit);
        for (std::size_t v = 0; v < c.count; ++v)
            values.Add(c.first + static_cast<double>(v));
        const std::size_t counts = c.first < kLimit ? kCountsAtMost : 0;
        EXPECT_LE(values.Bytes(), counts + 2 * c.bytesEach * c.count) << "from " << c.first;
        EXPECT_GE(values.Bytes(), c.bytesEach * c.count) << "from " << c.first;
        values.Clear();
        EXPECT_EQ(values.Bytes(), 0U);
    }
}

TEST(QualityStatistics, CountedValuesEmptyAndCleared)
{
    CWholeValues values(16);
    EXPECT_FALSE(values.Percentile(0.5, [](double v) { return v; }).has_value());
    values.Add(3);
    values.Add(40);
    EXPECT_EQ(values.Percentile(0.5, [](double v) { return v; }), 21.5);
    EXPECT_EQ(values.Largest(), 40.0);
    values.Clear();
    EXPECT_TRUE(values.Empty());
    EXPECT_FALSE(values.Percentile(0.95, [](double v) { return v; }).has_value());
    values.Add(0);
    EXPECT_EQ(values.Percentile(1.0, [](double v) { return v; }), 0.0);
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
