#include "analysis/Clock.h"

#include <gtest/gtest.h>

TEST(Clock, SixtyRecordsAreOneSecond)
{
    const std::pair<std::uint64_t, double> cases[] = {{0, 0.0},  {1, 1.0 / 60.0}, {60, 1.0},
                                                      {90, 1.5}, {36000, 600.0},  {4294967295u, 71582788.25}};
    for (const auto& [records, seconds] : cases)
        EXPECT_DOUBLE_EQ(RecordsToSeconds(records), seconds) << records;
}
