#include "HeadlessFixture.h"

using IdleRule = HeadlessFixture;

// Test that a burst of input gives one idle call, with count 0.
TEST_F(IdleRule, OneIdleCallPerBurst)
{
    host.PostKey(kVkRight);
    host.PostKey(kVkRight);
    host.PostCommand(kCmdTestFirst);
    host.PostClick(kIdcTestButton);
    host.RunUntilIdle();
    EXPECT_EQ(app.idleCalls, 1);
    EXPECT_EQ(app.idleCounts, (std::vector<long>{0}));
    host.PostCommand(kCmdTestFirst);
    host.RunUntilIdle();
    EXPECT_EQ(app.idleCalls, 2);
}

// Test that paint, timer ticks, key releases and a mouse move that leaves the pointer where it was
// are not activity.
TEST_F(IdleRule, NonActivityMessagesGiveNoIdleCall)
{
    host.PostMouseMove({100, 100});
    host.RunUntilIdle();
    EXPECT_EQ(app.idleCalls, 1); // the pointer moved there
    host.PostPaint();
    host.PostTimer();
    host.PostKeyUp(kVkRight);
    host.PostMouseMove({100, 100});
    host.RunUntilIdle();
    EXPECT_EQ(app.idleCalls, 1);
    EXPECT_EQ(Dlg().paints, 1); // the paint was still handled
    host.PostMouseMove({101, 100});
    host.RunUntilIdle();
    EXPECT_EQ(app.idleCalls, 2);
}

// Test that OnIdle returning true is called again with a growing count until it returns false.
TEST_F(IdleRule, IdleRepeatsWhileItAsksForMore)
{
    app.idleReturnsTrueTimes = 2;
    host.PostCommand(kCmdTestFirst);
    host.RunUntilIdle();
    EXPECT_EQ(app.idleCounts, (std::vector<long>{0, 1, 2}));
}

// Test that a message box shown from OnIdle does not re-open itself: closing it, the repaint it
// causes and the still mouse move after it are not activity.
TEST_F(IdleRule, BoxFromIdleDoesNotRetrigger)
{
    host.repaintAfterModal = true;
    app.onIdle = [] { ShowMessage("Timestamp="); };
    host.PostMouseMove({5, 5});
    host.RunUntilIdle();
    host.PostCommand(kCmdTestFirst);
    host.RunUntilIdle();
    EXPECT_EQ(app.idleCalls, 2);
    EXPECT_EQ(host.messageBoxes.size(), 2u);
    EXPECT_GE(host.paintsPosted, 2);
    EXPECT_EQ(host.PendingMessages(), 0u);
    // One more user action: exactly one more box.
    host.PostKey(kVkLeft);
    host.RunUntilIdle();
    EXPECT_EQ(host.messageBoxes.size(), 3u);
}

// Test that a modal dialog run from a handler, with the input it receives, is not activity.
TEST_F(IdleRule, ModalDialogInputIsNotActivity)
{
    Dlg().onButton = [this]
    {
        CTestBox box;
        host.modalScripts.push_back(
            [](CHeadlessHost& h, CDialog& d)
            {
                h.PostKey(kVkRight, kModNone, &d);
                h.PostKey(kVkReturn, kModNone, &d);
            });
        EXPECT_EQ(box.DoModal(), kIdOk);
    };
    host.PostClick(kIdcTestButton);
    host.RunUntilIdle();
    EXPECT_EQ(host.modalDialogs, (std::vector<int>{kIddTestBox}));
    EXPECT_EQ(app.idleCalls, 1);
    EXPECT_TRUE(Dlg().commands.empty()); // the arrow in the box is not the main window's
}
