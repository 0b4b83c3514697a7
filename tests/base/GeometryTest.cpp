#include "base/Geometry.h"

#include "base/LittleEndian.h"

#include <gtest/gtest.h>

TEST(PtInRect, LeftAndTopEdgesBelongRightAndBottomDoNot)
{
    const Rect r{50, 50, 175, 175};
    struct Case
    {
        std::int64_t x, y;
        bool inside;
    };
    const Case cases[] = {{50, 50, true},   {174, 174, true}, {175, 100, false}, {100, 175, false},
                          {49, 100, false}, {100, 49, false}, {0, 0, false}};
    for (const Case& c : cases)
        EXPECT_EQ(PtInRect(r, c.x, c.y), c.inside) << c.x << "," << c.y;
    EXPECT_FALSE(PtInRect(Rect{175, 175, 50, 50}, 100, 100)); // as dragged: contains nothing
    EXPECT_TRUE(PtInRect(NormalizedRect(Rect{175, 175, 50, 50}), 100, 100));
    EXPECT_EQ(NormalizedRect(Rect{175, 20, 50, 30}), (Rect{50, 20, 175, 30}));
    EXPECT_EQ(InflateRect(r, -8, -8), (Rect{58, 58, 167, 167}));
}

TEST(LittleEndian, RoundTripsAndLaysOutLowByteFirst)
{
    std::uint8_t bytes[8] = {};
    StoreLE64(bytes, 0x0102030405060708ull);
    EXPECT_EQ(bytes[0], 0x08);
    EXPECT_EQ(bytes[7], 0x01);
    EXPECT_EQ(LoadLE64(bytes), 0x0102030405060708ull);
    StoreLE32(bytes, 0xDEADBEEFu);
    EXPECT_EQ(bytes[0], 0xEF);
    EXPECT_EQ(LoadLE32(bytes), 0xDEADBEEFu);
    StoreLE16(bytes, 0x4D42);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(LoadLE16(bytes), 0x4D42);
}
