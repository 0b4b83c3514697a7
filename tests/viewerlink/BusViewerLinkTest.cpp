// The link over a real session bus (each test runs under its own dbus-run-session): a viewer
// written with another bus library (dbus-python), one that owns the name but does not answer, bus
// activation, a viewer that ends or stops between calls, a bus that stops answering, and
// tracktool's stand-in viewer.
#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "viewerlink/BusViewerAutomation.h"
#include "viewerlink/ChildProcess.h"
#include "viewerlink/ViewerLink.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
std::string NoClass(std::int32_t code)
{
    return FormatMessageWithNumber(kViewerNoClassText, code);
}
std::string NoCreate(std::int32_t code)
{
    return FormatMessageWithNumber(kViewerNoCreateText, code);
}

class BusViewerLinkTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "viewerlink_bus_tests";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr)
            new QCoreApplication(argc, argv); // lives for the whole run, as in the window
    }

    void SetUp() override
    {
        if (std::getenv("DBUS_SESSION_BUS_ADDRESS") == nullptr)
            GTEST_SKIP() << "needs the private session bus of dbus-run-session (run through ctest)";
    }

    // Starts the dbus-python viewer and waits until it owns its name.
    static std::unique_ptr<CChildProcess> StartFakeViewer(std::vector<std::string> args)
    {
        args.insert(args.begin(), {SYSTEM_PYTHON, FAKE_VIEWER_PATH});
        auto viewer = std::make_unique<CChildProcess>(args);
        EXPECT_TRUE(viewer->WaitForLine("ready"))
            << "fake_viewer.py did not start (python3-dbus, python3-gi?)";
        return viewer;
    }

    static CViewerLink MakeLink(int timeoutMs = 1500)
    {
        BusViewerOptions options;
        options.timeoutMs = timeoutMs;
        return CViewerLink(CreateBusViewerAutomation(options));
    }

    CRecordingMessageSink sink;
    CScopedMessageSink scoped{sink};
};

TEST_F(BusViewerLinkTest, UnreachableBusShowsTheFirstMessage)
{
    BusViewerOptions options;
    options.busAddress = "unix:path=/nonexistent/trackplay-bus";
    CViewerLink link(CreateBusViewerAutomation(options));
    EXPECT_EQ(link.ConnectViewer(), kViewerErrNoBus);
    EXPECT_EQ(sink.messages, std::vector<std::string>{NoClass(kViewerErrNoBus)});
    EXPECT_FALSE(link.IsConnected());
}

// Test that a bus that stops answering (its daemon paused after the connection was made) gives the
// first message with its own code within the bound.
TEST_F(BusViewerLinkTest, BusThatStopsAnsweringShowsTheFirstMessage)
{
    CChildProcess daemon(
        {DBUS_DAEMON_PATH, "--config-file=" SESSION_CONF_PATH, "--nofork", "--print-address=1"});
    ASSERT_TRUE(daemon.WaitForLine("unix:"));
    std::string address = daemon.Output().substr(daemon.Output().find("unix:"));
    address = address.substr(0, address.find('\n'));
    BusViewerOptions options;
    options.busAddress = address;
    options.timeoutMs = 300;
    CViewerLink link(CreateBusViewerAutomation(options));
    EXPECT_EQ(link.ConnectViewer(), kViewerErrUnknownName); // the bus answers: nobody owns the name
    daemon.Signal(SIGSTOP);
    EXPECT_EQ(link.ConnectViewer(), kViewerErrBusNoAnswer);
    daemon.Signal(SIGCONT);
    EXPECT_EQ(sink.messages,
              (std::vector<std::string>{NoClass(kViewerErrUnknownName), NoClass(kViewerErrBusNoAnswer)}));
    EXPECT_FALSE(link.IsConnected());
}

TEST_F(BusViewerLinkTest, NoViewerShowsTheFirstMessage)
{
    CViewerLink link = MakeLink();
    EXPECT_EQ(link.ConnectViewer(), kViewerErrUnknownName);
    EXPECT_EQ(sink.messages, std::vector<std::string>{NoClass(kViewerErrUnknownName)});
}

// Test that a name owned by a process that offers no object, or answers nothing, shows the second
// message with a code for each cause, within the bound.
TEST_F(BusViewerLinkTest, OwnedNameWithoutAnsweringObjectShowsTheSecondMessage)
{
    struct Case
    {
        const char* mode;
        std::int32_t code;
    };
    for (const Case& c : {Case{"noobject", kViewerErrNoInterface}, Case{"refuse", kViewerErrNoObject},
                          Case{"silent", kViewerErrNoAnswer}})
    {
        SCOPED_TRACE(c.mode);
        sink.messages.clear();
        auto viewer = StartFakeViewer({"--mode", c.mode});
        CViewerLink link = MakeLink(300);
        EXPECT_EQ(link.ConnectViewer(), c.code);
        EXPECT_EQ(sink.messages, std::vector<std::string>{NoCreate(c.code)});
        EXPECT_FALSE(link.IsConnected());
        viewer->Stop();
    }
}

// Test that a viewer of another bus library is reached, its second argument shown, and the link
// made only once (one introspection however often the button is pressed).
TEST_F(BusViewerLinkTest, WorkingViewerValueAppearsAndLinkIsMadeOnce)
{
    CTempDir dir;
    auto viewer = StartFakeViewer({"--timestamp", "123456", "--step", "-200000", "--log", dir.File("calls")});
    CViewerLink link = MakeLink();
    EXPECT_EQ(link.ConnectViewer(), kOk);
    EXPECT_EQ(link.ConnectViewer(), kOk);
    EXPECT_TRUE(link.IsConnected());
    link.ShowViewerTimestamp();
    link.ShowViewerTimestamp();
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"Timestamp=123456", "Timestamp=-76544"}));
    viewer->Stop();
    EXPECT_EQ(ReadWholeFile(dir.File("calls")), "Introspect\nInvoke\nInvoke\n");
}

// Test that a viewer that ends between calls is told once, the link is dropped, and pressing the
// button reaches the next viewer.
TEST_F(BusViewerLinkTest, ViewerEndingBetweenCallsIsToldOnceThenReconnects)
{
    auto first = StartFakeViewer({"--timestamp", "10"});
    CViewerLink link = MakeLink();
    ASSERT_EQ(link.ConnectViewer(), kOk);
    link.ShowViewerTimestamp();
    first->Stop();
    link.ShowViewerTimestamp();
    link.ShowViewerTimestamp();
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(sink.messages, (std::vector<std::string>{
                                 "Timestamp=10", FormatMessageWithNumber(kViewerLostText, kViewerErrGone)}));

    sink.messages.clear();
    auto second = StartFakeViewer({"--timestamp", "20"});
    EXPECT_EQ(link.ConnectViewer(), kOk);
    link.ShowViewerTimestamp();
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Timestamp=20"});
}

// Test that a viewer that stops answering mid-link costs one bounded wait and one message.
TEST_F(BusViewerLinkTest, ViewerThatStopsAnsweringTimesOutAndDropsTheLink)
{
    auto viewer = StartFakeViewer({"--timestamp", "1"});
    CViewerLink link = MakeLink(300);
    ASSERT_EQ(link.ConnectViewer(), kOk);
    viewer->Signal(SIGSTOP);
    link.ShowViewerTimestamp();
    viewer->Signal(SIGCONT);
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{FormatMessageWithNumber(kViewerLostText, kViewerErrCallTimeout)});
}

// Test that a connected viewer whose call fails, with an error or with a reply of the wrong shape,
// is told once with the cause's code and the link dropped.
TEST_F(BusViewerLinkTest, CallAnsweredWithAnErrorOrAMisshapenReplyDropsTheLink)
{
    struct Case
    {
        const char* mode;
        std::int32_t code;
    };
    for (const Case& c : {Case{"fail", kViewerErrCallFailed}, Case{"badreply", kViewerErrBadReply}})
    {
        SCOPED_TRACE(c.mode);
        sink.messages.clear();
        auto viewer = StartFakeViewer({"--mode", c.mode});
        CViewerLink link = MakeLink();
        ASSERT_EQ(link.ConnectViewer(), kOk);
        link.ShowViewerTimestamp();
        link.ShowViewerTimestamp(); // not connected any more: nothing more is shown
        EXPECT_FALSE(link.IsConnected());
        EXPECT_EQ(sink.messages, std::vector<std::string>{FormatMessageWithNumber(kViewerLostText, c.code)});
        viewer->Stop();
    }
}

// Test the automation services on names the bus can start: one whose service starts, one whose
// service fails to start.
TEST_F(BusViewerLinkTest, ActivatableNamesAreStartedOrReportActivationFailure)
{
    auto automation = CreateBusViewerAutomation();
    EXPECT_EQ(automation->FindViewerClass("Corvantix.Q7Started"), kOk);
    std::unique_ptr<IViewerDispatch> viewer;
    ASSERT_EQ(automation->CreateViewer("Corvantix.Q7Started", viewer), kOk);
    std::int32_t args[2] = {1, 2};
    std::int32_t result = 0;
    EXPECT_EQ(viewer->Invoke(12, args, result), kOk);
    EXPECT_EQ(args[0], 1);
    EXPECT_EQ(args[1], 555);
    EXPECT_EQ(result, 7);
    EXPECT_EQ(viewer->Invoke(13, args, result), kViewerErrCallFailed); // the viewer refuses other ids

    EXPECT_EQ(automation->FindViewerClass("Corvantix.Q7Broken"), kOk);
    std::unique_ptr<IViewerDispatch> broken;
    EXPECT_EQ(automation->CreateViewer("Corvantix.Q7Broken", broken), kViewerErrActivation);
    EXPECT_EQ(broken, nullptr);
    EXPECT_EQ(automation->FindViewerClass("not a bus name"), kViewerErrUnknownName);
}

#ifdef TRACKTOOL_PATH
// Test that tracktool's stand-in viewer answers the link with its growing timestamp.
TEST_F(BusViewerLinkTest, TracktoolViewerAnswersTheLink)
{
    CChildProcess viewer({TRACKTOOL_PATH, "viewer", "--timestamp", "1000"});
    ASSERT_TRUE(viewer.WaitForLine("tracktool viewer: serving"));
    CViewerLink link = MakeLink();
    ASSERT_EQ(link.ConnectViewer(), kOk);
    link.ShowViewerTimestamp();
    link.ShowViewerTimestamp();
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"Timestamp=1000", "Timestamp=17667"}));
    EXPECT_EQ(viewer.Stop(), 0); // SIGTERM ends it cleanly
}
#endif
} // namespace
