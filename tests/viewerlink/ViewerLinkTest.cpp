// The link's logic with fake automation services: which message each failure shows, that the link
// is made once, what the timestamp box shows, and what happens when the viewer stops answering.
#include "viewerlink/ViewerLink.h"

#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "support/RecordingMessageSink.h"

#include <array>
#include <climits>
#include <deque>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
struct FakeLog
{
    int finds = 0;
    int creates = 0;
    int releases = 0;
    std::vector<std::int32_t> dispIds;
    std::vector<std::size_t> argCounts;
    std::deque<std::int32_t> invokeCodes; // per call; kOk when empty
    std::int32_t timestamp = 0;
};

class CFakeDispatch final : public IViewerDispatch
{
public:
    explicit CFakeDispatch(FakeLog& log) : m_log(log) {}
    ~CFakeDispatch() override { ++m_log.releases; }
    std::int32_t Invoke(std::int32_t dispId, std::span<std::int32_t> args, std::int32_t& result) override
    {
        m_log.dispIds.push_back(dispId);
        m_log.argCounts.push_back(args.size());
        const std::int32_t code = m_log.invokeCodes.empty() ? kOk : m_log.invokeCodes.front();
        if (!m_log.invokeCodes.empty())
            m_log.invokeCodes.pop_front();
        if (code != kOk)
            return code;
        args[0] = 4242; // the first argument and the result must not be what is shown
        args[1] = m_log.timestamp;
        result = 99;
        return kOk;
    }

private:
    FakeLog& m_log;
};

class CFakeAutomation final : public IViewerAutomation
{
public:
    CFakeAutomation(FakeLog& log, std::int32_t findCode, std::int32_t createCode)
        : m_log(log), m_nFindCode(findCode), m_nCreateCode(createCode)
    {
    }
    std::int32_t FindViewerClass(std::string_view progId) override
    {
        ++m_log.finds;
        EXPECT_EQ(progId, "Corvantix.Q7Conduit");
        return m_nFindCode;
    }
    std::int32_t CreateViewer(std::string_view, std::unique_ptr<IViewerDispatch>& viewer) override
    {
        ++m_log.creates;
        if (m_nCreateCode == kOk)
            viewer = std::make_unique<CFakeDispatch>(m_log);
        return m_nCreateCode;
    }

private:
    FakeLog& m_log;
    std::int32_t m_nFindCode;
    std::int32_t m_nCreateCode;
};

class ViewerLinkTest : public ::testing::Test
{
protected:
    CRecordingMessageSink sink;
    CScopedMessageSink scoped{sink};
    FakeLog log;

    CViewerLink MakeLink(std::int32_t findCode = kOk, std::int32_t createCode = kOk)
    {
        return CViewerLink(std::make_unique<CFakeAutomation>(log, findCode, createCode));
    }
};

constexpr std::array kAllCodes = {kViewerErrNoBus,       kViewerErrUnknownName, kViewerErrBusNoAnswer,
                                  kViewerErrActivation,  kViewerErrNoObject,    kViewerErrNoAnswer,
                                  kViewerErrNoInterface, kViewerErrCallTimeout, kViewerErrGone,
                                  kViewerErrCallFailed,  kViewerErrBadReply};

constexpr bool CodesAreNegativeAndDistinct()
{
    for (std::size_t i = 0; i < kAllCodes.size(); ++i)
    {
        if (kAllCodes[i] >= 0)
            return false;
        for (std::size_t j = i + 1; j < kAllCodes.size(); ++j)
            if (kAllCodes[i] == kAllCodes[j])
                return false;
    }
    return true;
}
static_assert(CodesAreNegativeAndDistinct());
static_assert(kViewerErrNoBus == -2147220991); // 0x80040201 read as a signed 32-bit value

// Test that each failed step shows its own text with the code widened with its sign, and leaves the
// link down so that the button tries again.
TEST_F(ViewerLinkTest, ConnectFailureShowsTheStepAndItsCode)
{
    struct Case
    {
        std::int32_t findCode;
        std::int32_t createCode;
        std::string expected;
        int creates;
    };
    const Case cases[] = {
        {kViewerErrUnknownName, kOk,
         "Cannot Connect to Corvantix.\r\n(Unable to Get Tarsine CLSID) Err:-2147220990", 0},
        {kViewerErrNoBus, kOk,
         "Cannot Connect to Corvantix.\r\n(Unable to Get Tarsine CLSID) Err:-2147220991", 0},
        {kOk, kViewerErrNoAnswer,
         "Cannot Connect to Corvantix.\r\n(Unable to CoCreateTarsine) Err:-2147220973", 1},
        {kOk, kViewerErrActivation,
         "Cannot Connect to Corvantix.\r\n(Unable to CoCreateTarsine) Err:-2147220975", 1},
        {kOk, INT32_MIN, "Cannot Connect to Corvantix.\r\n(Unable to CoCreateTarsine) Err:-2147483648", 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.expected);
        sink.messages.clear();
        log = FakeLog{};
        CViewerLink link = MakeLink(c.findCode, c.createCode);
        EXPECT_EQ(link.ConnectViewer(), c.findCode != kOk ? c.findCode : c.createCode);
        EXPECT_FALSE(link.IsConnected());
        EXPECT_EQ(sink.messages, std::vector<std::string>{c.expected});
        EXPECT_EQ(log.creates, c.creates);
        link.ShowViewerTimestamp(); // disconnected: nothing
        EXPECT_EQ(sink.messages.size(), 1u);
        EXPECT_TRUE(log.dispIds.empty());
        link.ConnectViewer(); // tries again
        EXPECT_EQ(log.finds, 2);
    }
}

TEST_F(ViewerLinkTest, WithoutAutomationServicesConnectReportsNoBus)
{
    CViewerLink link(nullptr);
    EXPECT_EQ(link.ConnectViewer(), kViewerErrNoBus);
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{
                  "Cannot Connect to Corvantix.\r\n(Unable to Get Tarsine CLSID) Err:-2147220991"});
}

TEST_F(ViewerLinkTest, LinkIsMadeOnceAndReleasedWithTheLink)
{
    {
        CViewerLink link = MakeLink();
        EXPECT_EQ(link.ConnectViewer(), kOk);
        EXPECT_EQ(link.ConnectViewer(), kOk);
        EXPECT_TRUE(link.IsConnected());
        EXPECT_EQ(log.finds, 1);
        EXPECT_EQ(log.creates, 1);
        EXPECT_TRUE(sink.messages.empty());
        EXPECT_EQ(log.releases, 0);
    }
    EXPECT_EQ(log.releases, 1);
}

// Test that the box shows the second argument, signed, and "Timestamp=" alone for 0.
TEST_F(ViewerLinkTest, ShowsTheSecondArgumentAsTimestamp)
{
    struct Case
    {
        std::int32_t value;
        const char* expected;
    };
    const Case cases[] = {{16667, "Timestamp=16667"},
                          {-5, "Timestamp=-5"},
                          {0, "Timestamp="},
                          {INT32_MIN, "Timestamp=-2147483648"},
                          {INT32_MAX, "Timestamp=2147483647"}};
    CViewerLink link = MakeLink();
    ASSERT_EQ(link.ConnectViewer(), kOk);
    for (const Case& c : cases)
    {
        sink.messages.clear();
        log.timestamp = c.value;
        link.ShowViewerTimestamp();
        EXPECT_EQ(sink.messages, std::vector<std::string>{c.expected});
    }
    EXPECT_EQ(log.dispIds, std::vector<std::int32_t>(std::size(cases), 12));
    EXPECT_EQ(log.argCounts, std::vector<std::size_t>(std::size(cases), 2u));
}

// Test that a failed call is told once, drops the link, and the button connects again.
TEST_F(ViewerLinkTest, FailedCallIsToldOnceAndDropsTheLink)
{
    CViewerLink link = MakeLink();
    ASSERT_EQ(link.ConnectViewer(), kOk);
    log.invokeCodes = {kViewerErrGone};
    link.ShowViewerTimestamp();
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(log.releases, 1);
    link.ShowViewerTimestamp();
    link.ShowViewerTimestamp();
    EXPECT_EQ(sink.messages, std::vector<std::string>{std::string(kViewerLostText) + "-2147220958"});
    EXPECT_EQ(log.dispIds.size(), 1u);

    std::int32_t timestamp = 5;
    EXPECT_EQ(link.GetViewerTimestamp(timestamp), kViewerErrGone);
    EXPECT_EQ(timestamp, 5);

    sink.messages.clear();
    log.timestamp = 33;
    EXPECT_EQ(link.ConnectViewer(), kOk);
    EXPECT_EQ(log.creates, 2);
    link.ShowViewerTimestamp();
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Timestamp=33"});
}

TEST_F(ViewerLinkTest, GetViewerTimestampPassesTheCallCodeThrough)
{
    CViewerLink link = MakeLink();
    ASSERT_EQ(link.ConnectViewer(), kOk);
    log.invokeCodes = {kViewerErrCallTimeout};
    std::int32_t timestamp = 1;
    EXPECT_EQ(link.GetViewerTimestamp(timestamp), kViewerErrCallTimeout);
    EXPECT_EQ(timestamp, 1);
    EXPECT_TRUE(link.IsConnected()); // only the idle hook's box drops the link
    EXPECT_TRUE(sink.messages.empty());
}
} // namespace
