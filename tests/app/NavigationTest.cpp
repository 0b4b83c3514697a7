// Record moves, scroll codes, the thumb mapping and the readouts.
#include "AppFixture.h"
#include "app/RecordNavigation.h"

#include <cstdint>
#include <limits>

namespace
{
struct MoveCase
{
    const char* name;
    std::uint32_t count;
    std::uint32_t from;
    int command; // 0: a scroll code instead
    int scrollCode;
    int scrollPos;
    std::uint32_t expected;
    int expectedThumb;
};

constexpr int kScroll = 0;
// Thumb of record i on a file of 100 records: floor(i * 32766 / 100).
constexpr int Thumb100(int i)
{
    return i * 32766 / 100;
}

constexpr MoveCase kMoveCases[] = {
    {"next wraps at the end", 100, 99, kCmdNextFrame, 0, 0, 0, 0},
    {"next", 100, 0, kCmdNextFrame, 0, 0, 1, Thumb100(1)},
    {"previous wraps at the start", 100, 0, kCmdPreviousFrame, 0, 0, 99, Thumb100(99)},
    {"previous", 100, 5, kCmdPreviousFrame, 0, 0, 4, Thumb100(4)},
    {"second forward stops at the end", 100, 70, kCmdOneSecondForward, 0, 0, 99, Thumb100(99)},
    {"second forward", 100, 10, kCmdOneSecondForward, 0, 0, 70, Thumb100(70)},
    {"second back stops at the start", 100, 30, kCmdOneSecondBack, 0, 0, 0, 0},
    {"second back from 59 wraps below 0 and stops", 100, 59, kCmdOneSecondBack, 0, 0, 0, 0},
    {"second back", 100, 99, kCmdOneSecondBack, 0, 0, 39, Thumb100(39)},
    {"line left wraps", 100, 0, kScroll, kSbLineLeft, 0, 99, Thumb100(99)},
    {"line right wraps", 100, 99, kScroll, kSbLineRight, 0, 0, 0},
    {"page left stops", 100, 30, kScroll, kSbPageLeft, 0, 0, 0},
    {"page right stops", 100, 70, kScroll, kSbPageRight, 0, 99, Thumb100(99)},
    {"page right", 100, 20, kScroll, kSbPageRight, 0, 80, Thumb100(80)},
    {"thumb dragged to 16000", 100, 0, kScroll, kSbThumbTrack, 16000, 48, 15727},
    {"thumb released at the right end", 100, 0, kScroll, kSbThumbPosition, 32766, 99, 32438},
    {"thumb released at the left end", 100, 50, kScroll, kSbThumbPosition, 0, 0, 0},
    {"left end", 100, 50, kScroll, kSbLeft, 0, 0, 0},
    {"right end", 100, 0, kScroll, kSbRight, 0, 99, Thumb100(99)},
    {"end of scrolling keeps the record", 100, 42, kScroll, kSbEndScroll, 0, 42, Thumb100(42)},
    {"unknown code keeps the record", 100, 42, kScroll, 9, 0, 42, Thumb100(42)},
    {"n=1 next", 1, 0, kCmdNextFrame, 0, 0, 0, 0},
    {"n=1 previous", 1, 0, kCmdPreviousFrame, 0, 0, 0, 0},
    {"n=1 second forward", 1, 0, kCmdOneSecondForward, 0, 0, 0, 0},
    {"n=1 second back", 1, 0, kCmdOneSecondBack, 0, 0, 0, 0},
    {"n=1 line left", 1, 0, kScroll, kSbLineLeft, 0, 0, 0},
    {"n=1 line right", 1, 0, kScroll, kSbLineRight, 0, 0, 0},
    {"n=1 page left", 1, 0, kScroll, kSbPageLeft, 0, 0, 0},
    {"n=1 page right", 1, 0, kScroll, kSbPageRight, 0, 0, 0},
    {"n=1 thumb right end", 1, 0, kScroll, kSbThumbTrack, 32766, 0, 0},
    {"n=1 right end", 1, 0, kScroll, kSbRight, 0, 0, 0},
};

class NavigationTest : public AppTest
{
protected:
    void OpenTrack(std::uint32_t n)
    {
        Start();
        OpenThroughMenu(WriteTrack("nav.qtf", n));
        ASSERT_EQ(Dlg().m_recordCount, n);
    }
    void PostMove(const MoveCase& c)
    {
        if (c.command != kScroll)
            host.PostCommand(c.command);
        else
            host.PostScroll(kIdcScrollBar, c.scrollCode, c.scrollPos);
        host.RunUntilIdle();
    }
};

TEST_F(NavigationTest, EveryMoveAndScrollCodeAtTheEndsOfTheFile)
{
    Start();
    for (const std::uint32_t n : {100u, 1u})
    {
        OpenThroughMenu(WriteTrack("nav" + std::to_string(n) + ".qtf", n));
        ASSERT_EQ(Dlg().m_recordCount, n);
        for (const MoveCase& c : kMoveCases)
        {
            if (c.count != n)
                continue;
            SCOPED_TRACE(c.name);
            Dlg().m_currentIndex = c.from;
            PostMove(c);
            EXPECT_EQ(Dlg().m_currentIndex, c.expected);
            EXPECT_EQ(ScrollPos(), c.expectedThumb);
            EXPECT_EQ(Text(kIdcRecordNumber), std::to_string(c.expected));
            EXPECT_EQ(Text(kIdcTimeStamp), std::to_string(1000 + c.expected));
            EXPECT_EQ(Text(kIdcX), std::to_string(100 + c.expected % 400));
            EXPECT_EQ(Text(kIdcY), "200");
            EXPECT_EQ(Text(kIdcAngle), std::to_string(c.expected % 360));
            EXPECT_TRUE(MarkerShownAt(static_cast<int>(100 + c.expected), 200));
        }
    }
    EXPECT_TRUE(host.messageBoxes.empty());
}
TEST_F(NavigationTest, ThumbDragRefreshesOncePerNotification)
{
    OpenTrack(100);
    const std::size_t before = Window().scrollPosHistory.size();
    host.PostScroll(kIdcScrollBar, kSbThumbTrack, 100);
    host.PostScroll(kIdcScrollBar, kSbThumbTrack, 16000);
    host.PostScroll(kIdcScrollBar, kSbThumbPosition, 16000);
    host.PostScroll(kIdcScrollBar, kSbEndScroll, 0);
    host.RunUntilIdle();
    const std::vector<int> expected{0, 15727, 15727, 15727};
    EXPECT_EQ(std::vector<int>(Window().scrollPosHistory.begin() + static_cast<std::ptrdiff_t>(before),
                               Window().scrollPosHistory.end()),
              expected);
    EXPECT_EQ(Dlg().m_currentIndex, 48u);
}

TEST_F(NavigationTest, ReadoutsShowSignedValuesAndTheLastRecordNumber)
{
    Start();
    CTrackFileBuilder builder;
    builder.Add(MakeRecord(5, 10, 20, 30));
    builder.Add(MakeRecord(std::numeric_limits<std::int64_t>::min() + 7, -12, -345, -90));
    for (std::int64_t t = 2; t < 10; ++t)
        builder.Add(MakeRecord(t, 1, 2, 3));
    OpenThroughMenu(builder.Write(temp.File("signed.qtf")));

    Post(kCmdNextFrame);
    EXPECT_EQ(Text(kIdcRecordNumber), "1");
    EXPECT_EQ(Text(kIdcTimeStamp), "-9223372036854775801") << "bit 63 set reads as negative";
    EXPECT_EQ(Text(kIdcX), "-12");
    EXPECT_EQ(Text(kIdcY), "-345");
    EXPECT_EQ(Text(kIdcAngle), "-90");

    Post(kCmdPreviousFrame);
    EXPECT_EQ(Text(kIdcRecordNumber), "0");
    EXPECT_EQ(Text(kIdcLastRecord), "9") << "0 of 9";
    EXPECT_EQ(Text(kIdcTimeStamp), "5");
    EXPECT_EQ(Text(kIdcX), "10");
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(NavigationTest, MoveWritesStoredValuesBackOverUntakenTyping)
{
    OpenTrack(10);
    host.TypeText(kIdcPlotEveryNth, "5");
    host.TypeText(kIdcMinDistance, "77");
    Post(kCmdNextFrame);
    EXPECT_EQ(Text(kIdcPlotEveryNth), "60");
    EXPECT_EQ(Text(kIdcMinDistance), "10");
    EXPECT_EQ(Dlg().m_plotEveryNth, 60u);
}

TEST_F(NavigationTest, MovesWithoutRecordsChangeNothing)
{
    // Without a file, and with a file that holds no records (header only), no move draws, moves
    // the thumb, rewrites a readout or divides by the count of 0.
    Start();
    for (const bool emptyFile : {false, true})
    {
        SCOPED_TRACE(emptyFile ? "empty file" : "no file");
        if (emptyFile)
        {
            OpenThroughMenu(CTrackFileBuilder().Write(temp.File("empty.qtf")));
            ASSERT_TRUE(reader.IsOpen());
            ASSERT_EQ(Text(kIdcLastRecord), "-1");
        }
        host.TypeText(kIdcPlotEveryNth, "7");
        const std::size_t thumbs = Window().scrollPosHistory.size();
        const std::uint64_t changes = Dlg().Surface()->ChangeCount();
        for (int command : {kCmdNextFrame, kCmdPreviousFrame, kCmdOneSecondForward, kCmdOneSecondBack})
            host.PostCommand(command);
        for (int code = 0; code <= 9; ++code)
            host.PostScroll(kIdcScrollBar, code, 32766);
        host.RunUntilIdle();
        EXPECT_EQ(Dlg().m_currentIndex, 0u);
        EXPECT_EQ(Window().scrollPosHistory.size(), thumbs);
        EXPECT_EQ(Dlg().Surface()->ChangeCount(), changes);
        EXPECT_EQ(Text(kIdcRecordNumber), "0");
        EXPECT_EQ(Text(kIdcX), "");
        EXPECT_EQ(Text(kIdcPlotEveryNth), "7") << "not even the exchange runs";
        EXPECT_TRUE(host.messageBoxes.empty());
    }
}

TEST(RecordNavigationDeathTest, CountOfZeroIsRefusedWithItsReason)
{
    // The window never moves without records; a caller that did would get a thumb position
    // divided by 0. Builds with asserts stop there and say why.
#ifdef NDEBUG
    GTEST_SKIP() << "preconditions are checked in builds with asserts only";
#else
    struct Case
    {
        const char* name;
        void (*call)();
        const char* reason;
    };
    const Case cases[] = {
        {"MoveIndex", [] { static_cast<void>(MoveIndex(RecordMove::NextFrame, 0, 0)); },
         "a file without records has no moves"},
        {"ThumbToIndex", [] { static_cast<void>(ThumbToIndex(16000, 0)); }, "no record at any position"},
        {"IndexToThumb", [] { static_cast<void>(IndexToThumb(0, 0)); }, "divides by the record count"},
        {"ScrollIndex", [] { static_cast<void>(ScrollIndex(kSbEndScroll, 0, 0, 0)); },
         "ScrollIndex: a file without records"},
    };
    for (const Case& c : cases)
        EXPECT_DEATH(c.call(), c.reason) << c.name;
#endif
}

TEST(RecordNavigation, ThumbMappingIsExactForLargeCounts)
{
    // pos * n overflows 32 bits for large files; the 64-bit quotient stays exact.
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    struct Case
    {
        std::uint32_t pos;
        std::uint32_t count;
        std::uint32_t index;
    };
    constexpr Case kCases[] = {
        {16000, 100, 48}, {32766, 100, 99}, {32765, 100, 99},         {1, 32767, 1},
        {1, 32766, 1},    {0, kMax, 0},     {32766, kMax, kMax - 1u}, {16383, kMax, 2147483647u},
        {32766, 1, 0},    {40000, 100, 99},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(ThumbToIndex(c.pos, c.count), c.index) << c.pos << " " << c.count;
    EXPECT_EQ(IndexToThumb(kMax - 1u, kMax), 32765);
    EXPECT_EQ(IndexToThumb(99, 100), 32438);
}
} // namespace
