// The Corvantix button and the idle hook, with a fake automation service.
#include "AppFixture.h"
#include "base/ResultCodes.h"
#include "viewerlink/ViewerLink.h"

#include <memory>

namespace
{
// What the fake services do; shared with the test, which keeps it after handing the fake over.
struct FakeViewerState
{
    std::int32_t findResult = kOk;
    std::int32_t createResult = kOk;
    std::int32_t invokeResult = kOk;
    std::int32_t nextTimestamp = 1000;
    int finds = 0;
    int invokes = 0;
};

class CFakeDispatch final : public IViewerDispatch
{
public:
    explicit CFakeDispatch(FakeViewerState& state) : m_state(state) {}
    std::int32_t Invoke(std::int32_t dispId, std::span<std::int32_t> args, std::int32_t& result) override
    {
        ++m_state.invokes;
        if (m_state.invokeResult != kOk)
            return m_state.invokeResult;
        if (dispId != 12 || args.size() != 2)
            return kViewerErrCallFailed;
        args[0] = -1; // ignored by the program
        args[1] = m_state.nextTimestamp;
        m_state.nextTimestamp += 16667;
        result = 7;
        return kOk;
    }

private:
    FakeViewerState& m_state;
};

class CFakeAutomation final : public IViewerAutomation
{
public:
    explicit CFakeAutomation(FakeViewerState& state) : m_state(state) {}
    std::int32_t FindViewerClass(std::string_view progId) override
    {
        ++m_state.finds;
        return progId == "Corvantix.Q7Conduit" ? m_state.findResult : kViewerErrUnknownName;
    }
    std::int32_t CreateViewer(std::string_view, std::unique_ptr<IViewerDispatch>& viewer) override
    {
        if (m_state.createResult == kOk)
            viewer = std::make_unique<CFakeDispatch>(m_state);
        return m_state.createResult;
    }

private:
    FakeViewerState& m_state;
};

// The application with the fake services in place of the bus.
class ViewerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host.repaintAfterModal = true; // closing a box repaints and moves the pointer nowhere
        ASSERT_TRUE(app.InitInstance());
        host.RunUntilIdle();
        const std::string path = CTrackFileBuilder().AddSequence(300).Write(temp.File("viewer.qtf"));
        app.m_dlg.OpenTrackFile(path);
        // The pointer has been over the window, as a user's has before they click. (The
        // framework takes the very first mouse move it sees as activity, also a still one.)
        host.PostMouseMove({900, 700});
        host.RunUntilIdle();
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : host.messageBoxes)
            texts.push_back(box.request.text);
        return texts;
    }
    void Burst(int moves)
    {
        for (int i = 0; i < moves; ++i)
            host.PostKey(kVkRight);
        host.RunUntilIdle();
    }

    FakeViewerState state;
    CTempDir temp;
    CHeadlessHost host;
    CScopedHost scopedHost{host};
    CHostMessageSink sink{std::string(kProgramName)};
    CScopedMessageSink scopedSink{sink};
    CTrackFile reader;
    CPlaybackApp app{reader, std::make_unique<CFakeAutomation>(state)};
};

TEST_F(ViewerTest, NothingIsShownWhileDisconnected)
{
    Burst(3);
    Burst(1);
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(state.invokes, 0);
    EXPECT_FALSE(app.m_dlg.IsViewerConnected());
    EXPECT_FALSE(app.OnIdle(0)) << "the idle hook never asks for more idle time";
}

TEST_F(ViewerTest, OneTimestampBoxPerBurstOnceConnected)
{
    host.PostClick(kIdcViewerButton);
    host.RunUntilIdle();
    EXPECT_TRUE(app.m_dlg.IsViewerConnected());
    // The click itself is a burst: its box comes right away, and closing it is no activity.
    EXPECT_EQ(Texts(), std::vector<std::string>{"Timestamp=1000"});
    Burst(5);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Timestamp=1000", "Timestamp=17667"}));
    Burst(1);
    EXPECT_EQ(host.messageBoxes.size(), 3u);
    EXPECT_EQ(Texts().back(), "Timestamp=34334");
    EXPECT_EQ(host.messageBoxes.back().request.caption, "trackplay");
    host.PostPaint();
    host.PostTimer();
    host.RunUntilIdle();
    EXPECT_EQ(host.messageBoxes.size(), 3u) << "paint and timer ticks are not activity";

    // The link is made once: pressing again connects nothing new.
    host.PostClick(kIdcViewerButton);
    host.RunUntilIdle();
    EXPECT_EQ(state.finds, 1);
    EXPECT_EQ(host.messageBoxes.size(), 4u);
}

TEST_F(ViewerTest, FailedConnectionsTellTheStepAndItsCode)
{
    struct Case
    {
        std::int32_t find;
        std::int32_t create;
        std::string expected;
    };
    const Case kCases[] = {
        {kViewerErrUnknownName, kOk,
         "Cannot Connect to Corvantix.\r\n(Unable to Get Tarsine CLSID) Err:-2147220990"},
        {kOk, kViewerErrNoAnswer,
         "Cannot Connect to Corvantix.\r\n(Unable to CoCreateTarsine) Err:-2147220973"},
    };
    for (const Case& c : kCases)
    {
        host.messageBoxes.clear();
        state.findResult = c.find;
        state.createResult = c.create;
        host.PostClick(kIdcViewerButton);
        host.RunUntilIdle();
        EXPECT_EQ(Texts(), std::vector<std::string>{c.expected});
        EXPECT_FALSE(app.m_dlg.IsViewerConnected());
    }
    // Pressing again after a failure tries again.
    host.messageBoxes.clear();
    state.findResult = kOk;
    state.createResult = kOk;
    host.PostClick(kIdcViewerButton);
    host.RunUntilIdle();
    EXPECT_TRUE(app.m_dlg.IsViewerConnected());
    EXPECT_EQ(Texts(), std::vector<std::string>{"Timestamp=1000"});
}

TEST_F(ViewerTest, ViewerThatStopsAnsweringIsDroppedAfterOneMessage)
{
    host.PostClick(kIdcViewerButton);
    host.RunUntilIdle();
    ASSERT_TRUE(app.m_dlg.IsViewerConnected());
    state.invokeResult = kViewerErrGone;
    Burst(2);
    ASSERT_EQ(host.messageBoxes.size(), 2u);
    EXPECT_EQ(host.messageBoxes[1].request.text.rfind("Lost the link to Corvantix", 0), 0u);
    EXPECT_FALSE(app.m_dlg.IsViewerConnected());
    Burst(3);
    EXPECT_EQ(host.messageBoxes.size(), 2u) << "told once, then silent";
}

TEST_F(ViewerTest, ExitReleasesTheLink)
{
    host.PostClick(kIdcViewerButton);
    host.RunUntilIdle();
    ASSERT_TRUE(app.m_dlg.IsViewerConnected());
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_FALSE(app.m_dlg.IsViewerConnected());
    Burst(1);
    EXPECT_EQ(host.messageBoxes.size(), 1u);
}
} // namespace
