// Go to Record: the dialog, the numbers it refuses, and a record reached exactly as a step shows it.
#include "AppFixture.h"
#include "app/CommandDialogs.h"

namespace
{
class GoToRecordTest : public AppTest
{
protected:
    void SetUp() override
    {
        Start();
        host.PostKey(kVkInsert); // a region, so the refresh draws one
        host.RunUntilIdle();
    }

    // Types text into the Go to Record dialog and presses Enter; then Escape if it stayed open.
    // Returns the focus after Enter.
    int GoTo(const std::string& text)
    {
        int focus = 0;
        NextDialog(
            [&](CHeadlessHost& h, CDialog& d)
            {
                prompt = d.GetDlgItemText(kIdcGoToPrompt);
                initial = d.GetDlgItemText(kIdcGoToRecord);
                h.TypeText(kIdcGoToRecord, text, &d);
                h.PostKey(kVkReturn, kModNone, &d);
                Step(h);
                focus = d.GetFocusId();
                if (d.HasWindow() && d.IsWindowVisible())
                    h.PostKey(kVkEscape, kModNone, &d);
            });
        Post(kCmdGoToRecord);
        return focus;
    }

    std::string prompt;
    std::string initial;
};

// Test that without records there is nothing to go to: a message and no dialog.
TEST_F(GoToRecordTest, WithoutRecordsSaysSo)
{
    Post(kCmdGoToRecord);
    OpenThroughMenu(temp.File("missing.qtf"));
    host.messageBoxes.clear();
    Post(kCmdGoToRecord);
    EXPECT_TRUE(host.modalDialogs.empty());
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{std::string(kMsgNoRecordsToRead)});
}

// Test the numbers refused, each with the one message naming the range and the focus on the field,
// the record staying where it was.
TEST_F(GoToRecordTest, RefusesWhatIsNoRecordOfTheFile)
{
    OpenThroughMenu(WriteTrack("hundred.qtf", 100));
    Post(kCmdNextFrame);
    for (const char* text : {"-1", "100", "abc", "", "1.5", "4294967296", "-0"})
    {
        SCOPED_TRACE(text);
        host.messageBoxes.clear();
        EXPECT_EQ(GoTo(text), kIdcGoToRecord);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Please enter a record number from 0 to 99."});
        EXPECT_EQ(Dlg().m_currentIndex, 1u);
        EXPECT_EQ(Text(kIdcRecordNumber), "1");
    }
    EXPECT_EQ(prompt, "Record number (0 to 99):");
    EXPECT_EQ(initial, "1") << "the dialog opens on the current record";
}

// Test that going to the first and the last record shows exactly what a step to them shows: the
// readouts, the thumb and the plot.
TEST_F(GoToRecordTest, ShowsTheRecordAsAStepDoes)
{
    OpenThroughMenu(WriteTrack("hundred.qtf", 100));
    struct Case
    {
        const char* text;
        std::uint32_t index;
        int stepToIt; // the move that reaches the same record from record 0
    };
    for (const Case& c : {Case{"99", 99, kCmdPreviousFrame}, Case{" 0 ", 0, kCmdNextFrame}})
    {
        SCOPED_TRACE(c.text);
        // First the step: from record 0 (or 99) to the record.
        Dlg().m_currentIndex = c.index == 0 ? 99 : 0;
        Post(c.stepToIt);
        ASSERT_EQ(Dlg().m_currentIndex, c.index);
        const std::vector<std::uint8_t> stepPlot = ShownPlot();
        const std::string stepX = Text(kIdcX);
        const std::string stepTime = Text(kIdcTimeStamp);
        const int stepThumb = ScrollPos();

        Post(kCmdOneSecondForward);
        Post(kCmdEntireTrack); // something else on the plot
        host.messageBoxes.clear();
        GoTo(c.text);
        EXPECT_TRUE(host.messageBoxes.empty());
        EXPECT_EQ(Dlg().m_currentIndex, c.index);
        EXPECT_EQ(Text(kIdcRecordNumber), std::to_string(c.index));
        EXPECT_EQ(Text(kIdcX), stepX);
        EXPECT_EQ(Text(kIdcTimeStamp), stepTime);
        EXPECT_EQ(ScrollPos(), stepThumb);
        EXPECT_TRUE(ShownPlot() == stepPlot) << "the plot as after the step";
    }
}

// Test that cancelling the dialog leaves the record and the plot as they were.
TEST_F(GoToRecordTest, CancelMovesNothing)
{
    OpenThroughMenu(WriteTrack("ten.qtf", 10));
    Post(kCmdNextFrame);
    const std::vector<std::uint8_t> plot = ShownPlot();
    NextDialog(
        [](CHeadlessHost& h, CDialog& d)
        {
            h.TypeText(kIdcGoToRecord, "7", &d);
            h.PostKey(kVkEscape, kModNone, &d);
        });
    Post(kCmdGoToRecord);
    EXPECT_EQ(Dlg().m_currentIndex, 1u);
    EXPECT_TRUE(ShownPlot() == plot);
}
} // namespace
