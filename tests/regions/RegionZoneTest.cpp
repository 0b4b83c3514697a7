// The inside test, the zones of a position against a region, and one step of a visit.
#include "regions/RegionEventGenerator.h"
#include "support/TrackFileBuilder.h"

#include <gtest/gtest.h>
#include <ostream>

namespace
{
constexpr Rect kBox{50, 50, 175, 175};

bool SameState(const RegionVisitState& a, const RegionVisitState& b)
{
    return a.zone == b.zone && a.entered == b.entered && a.enterTime == b.enterTime &&
           a.leaveTime == b.leaveTime && a.firstInsideTime == b.firstInsideTime && a.complete == b.complete &&
           a.enterRecord == b.enterRecord && a.leaveRecord == b.leaveRecord &&
           a.firstInsideRecord == b.firstInsideRecord;
}

std::string Describe(const RegionVisitState& s)
{
    return "{zone " + std::to_string(s.zone) + ", entered " + std::to_string(s.entered) + ", enter " +
           std::to_string(s.enterTime) + ", leave " + std::to_string(s.leaveTime) + ", firstInside " +
           std::to_string(s.firstInsideTime) + ", complete " + std::to_string(s.complete) + ", records " +
           std::to_string(s.enterRecord) + "/" + std::to_string(s.leaveRecord) + "/" +
           std::to_string(s.firstInsideRecord) + "}";
}
} // namespace

TEST(RegionZones, PtInRectIncludesLeftAndTopEdgesOnly)
{
    struct Case
    {
        std::int64_t x, y;
        bool inside;
    };
    const Case cases[] = {{50, 50, true},   {50, 174, true},   {174, 50, true},
                          {174, 174, true}, {175, 100, false}, {100, 175, false},
                          {49, 100, false}, {100, 49, false},  {175, 175, false}};
    for (const Case& c : cases)
        EXPECT_EQ(PtInRect(kBox, c.x, c.y), c.inside) << c.x << "," << c.y;
}

TEST(RegionZones, ClassifyGivesOutsideBorderAndCore)
{
    struct Case
    {
        Rect rect;
        std::int32_t x, y;
        std::int32_t zone;
    };
    const Case cases[] = {
        {kBox, 49, 100, kZoneOutside},
        {kBox, 50, 100, kZoneBorder}, // the left edge belongs to the rectangle
        {kBox, 57, 100, kZoneBorder},
        {kBox, 58, 58, kZoneCore}, // core (58, 58, 167, 167)
        {kBox, 166, 166, kZoneCore},
        {kBox, 167, 100, kZoneBorder}, // the core's right edge is not in the core
        {kBox, 100, 167, kZoneBorder},
        {kBox, 174, 174, kZoneBorder},
        {kBox, 175, 100, kZoneOutside}, // the right edge does not belong
        {kBox, 100, 175, kZoneOutside},
        {kBox, 0, 0, kZoneOutside}, // (0, 0) is an ordinary position
        // Dragged right to left and bottom to top: judged as the rectangle it covers.
        {Rect{175, 175, 50, 50}, 100, 100, kZoneCore},
        {Rect{175, 50, 50, 175}, 52, 100, kZoneBorder},
        {Rect{50, 175, 175, 50}, 175, 100, kZoneOutside},
        // 16 wide: the core is empty; 17 wide: one column of core.
        {Rect{0, 0, 16, 100}, 8, 50, kZoneBorder},
        {Rect{0, 0, 17, 100}, 8, 50, kZoneCore},
        {Rect{0, 0, 17, 100}, 9, 50, kZoneBorder},
        {Rect{0, 0, 100, 16}, 50, 8, kZoneBorder},
        // Near the ends of the 32-bit range the core is computed without overflow.
        {Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, 0, 0, kZoneCore},
        {Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, INT32_MAX - 8, 0, kZoneBorder},
    };
    CRegionEventGenerator generator;
    generator.Init(8);
    for (const Case& c : cases)
        EXPECT_EQ(generator.Classify(MakeRecord(1, c.x, c.y), c.rect), c.zone)
            << "(" << c.rect.left << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom
            << ") at " << c.x << "," << c.y;
}

TEST(RegionZones, StepFollowsTheZoneTableRowByRow)
{
    // Positions in the three zones of kBox with margin 8; every step is record 9 at time 777.
    constexpr Point kOutside{10, 10};
    constexpr Point kBorder{52, 100};
    constexpr Point kCore{100, 100};
    struct Row
    {
        const char* name;
        RegionVisitState before;
        Point position;
        RegionVisitState after;
    };
    // Fields: zone, entered, enterTime, leaveTime, firstInsideTime, complete, then the record
    // indexes of the enter, the leave and the first inside record.
    const Row rows[] = {
        {"0 after 0: none", {0, false, 0, 0, 0, 0, 0, 0, 0}, kOutside, {0, false, 0, 0, 0, 0, 0, 0, 0}},
        {"0 after 1, not entered: approach given up",
         {1, false, 0, 0, 500, 0, 0, 0, 5},
         kOutside,
         {0, false, 0, 0, 0, 0, 0, 0, 0}},
        {"0 after 1, entered: visit ends",
         {1, true, 500, 0, 500, 0, 5, 0, 5},
         kOutside,
         {0, true, 500, 777, 500, 1, 5, 9, 5}},
        {"0 after 1, entered at time 0: visit ends",
         {1, true, 0, 0, 0, 0, 0, 0, 0},
         kOutside,
         {0, true, 0, 777, 0, 1, 0, 9, 0}},
        {"0 after 2: visit ends",
         {2, true, 500, 0, 500, 0, 5, 0, 5},
         kOutside,
         {0, true, 500, 777, 500, 1, 5, 9, 5}},
        {"1 after 0: first inside",
         {0, false, 0, 0, 0, 0, 0, 0, 0},
         kBorder,
         {1, false, 0, 0, 777, 0, 0, 0, 9}},
        {"1 after 1: none", {1, false, 0, 0, 500, 0, 0, 0, 5}, kBorder, {1, false, 0, 0, 500, 0, 0, 0, 5}},
        {"1 after 2: none", {2, true, 500, 0, 500, 0, 5, 0, 5}, kBorder, {1, true, 500, 0, 500, 0, 5, 0, 5}},
        {"2 after 0: entered now",
         {0, false, 0, 0, 0, 0, 0, 0, 0},
         kCore,
         {2, true, 777, 0, 777, 0, 9, 0, 9}},
        {"2 after 1, not entered: entered at first inside",
         {1, false, 0, 0, 500, 0, 0, 0, 5},
         kCore,
         {2, true, 500, 0, 500, 0, 5, 0, 5}},
        {"2 after 1, first inside at time 0",
         {1, false, 0, 0, 0, 0, 0, 0, 4},
         kCore,
         {2, true, 0, 0, 0, 0, 4, 0, 4}},
        {"2 after 1, entered: keeps its enter time",
         {1, true, 400, 0, 400, 0, 3, 0, 3},
         kCore,
         {2, true, 400, 0, 400, 0, 3, 0, 3}},
        {"2 after 2: none", {2, true, 500, 0, 500, 0, 5, 0, 5}, kCore, {2, true, 500, 0, 500, 0, 5, 0, 5}},
    };
    CRegionEventGenerator generator;
    generator.Init(8);
    for (const Row& row : rows)
    {
        RegionVisitState state = row.before;
        EXPECT_EQ(generator.Step(MakeRecord(777, row.position.x, row.position.y), 9, kBox, state), 0);
        EXPECT_TRUE(SameState(state, row.after))
            << row.name << ": got " << Describe(state) << ", want " << Describe(row.after);
    }
}
