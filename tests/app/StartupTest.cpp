// Start-up, the window's first state, and the three ways of opening a file.
#include "AppFixture.h"
#include "app/StripQuotes.h"
#include "framework/AfxWinMain.h"
#include "support/RecordingMessageSink.h"

#include <memory>

namespace
{
constexpr std::string_view kSuffix = " - Zentravox Video Tracker Utilities";

TEST(StripQuotes, DropsFirstAndLastCharacterOnlyAfterALeadingQuote)
{
    struct Case
    {
        std::string_view text;
        std::string_view expected;
    };
    constexpr Case kCases[] = {
        {"", ""},
        {"plain.qtf", "plain.qtf"},
        {"\"quoted name.qtf\"", "quoted name.qtf"},
        {"\"unterminated.qtfX", "unterminated.qtf"}, // the last character goes, whatever it is
        {"\"", ""},
        {"\"\"", ""},
        {"a\"b\"", "a\"b\""}, // only a leading quote counts
    };
    for (const Case& c : kCases)
        EXPECT_EQ(StripQuotes(c.text), c.expected) << c.text;
}

class StartupTest : public AppTest
{
};

TEST_F(StartupTest, WithoutCommandLineShowsInitialFieldsAndOpensNothing)
{
    Start();
    CHeadlessWindow& window = Window();
    EXPECT_TRUE(window.IsVisible());
    EXPECT_EQ(host.MainWindow(), &window);
    EXPECT_EQ(AfxGetMainWnd(), &Dlg());
    EXPECT_EQ(window.GetTitle(), "Zentravox Video Tracker File Playback Utility Version 2.00")
        << "no file, so the template caption stays";
    EXPECT_FALSE(reader.IsOpen());
    // Readouts, edits and check boxes after the first exchange.
    EXPECT_EQ(Text(kIdcRecordNumber), "0");
    EXPECT_EQ(Text(kIdcTimeStamp), "0");
    for (int id : {kIdcX, kIdcY, kIdcAngle, kIdcLastRecord})
        EXPECT_EQ(Text(id), "") << id;
    EXPECT_EQ(Text(kIdcPlotEveryNth), "60");
    EXPECT_EQ(Text(kIdcMinDistance), "10");
    EXPECT_EQ(Text(kIdcMaxDistance), "100");
    for (int id :
         {kIdcCheckRR, kIdcCheckPR, kIdcCheckRG, kIdcCheckPG, kIdcCheckRB, kIdcCheckPB, kIdcCheckLum})
        EXPECT_TRUE(window.GetCheck(id)) << id;
    // Fields the readouts do not show.
    EXPECT_EQ(Dlg().m_regions.m_nRegionCount, 0);
    EXPECT_EQ(Dlg().m_regions.m_nSelectedRegion, -1);
    EXPECT_EQ(Dlg().m_regions.m_regionNames[0], "Box0");
    EXPECT_EQ(Dlg().m_regions.m_regionNames[49], "Box49");
    EXPECT_TRUE(Dlg().m_viewPoints);
    EXPECT_EQ(Dlg().m_recordCount, 0u);
    EXPECT_EQ(Dlg().m_currentIndex, 0u);
    // OnInitDialog: icon, accelerators, the plot attached to the 640 x 480 area and the reader,
    // the system menu item.
    EXPECT_NE(Dlg().m_hIcon, nullptr);
    EXPECT_EQ(window.bigIcon, Dlg().m_hIcon);
    EXPECT_EQ(window.smallIcon, Dlg().m_hIcon);
    EXPECT_NE(Dlg().m_hAccel, nullptr);
    EXPECT_EQ(Dlg().m_plot.m_nWidth, 640);
    EXPECT_EQ(Dlg().m_plot.m_nHeight, 480);
    EXPECT_EQ(Dlg().m_plot.m_pTrackFile, &reader);
    ASSERT_NE(Dlg().Surface(), nullptr);
    EXPECT_EQ(Dlg().Surface()->Width(), 640);
    ASSERT_EQ(window.systemMenu.size(), 2u);
    EXPECT_EQ(window.systemMenu[0].id, 0u);
    EXPECT_EQ(window.systemMenu[1].id, 16u);
    EXPECT_EQ(window.systemMenu[1].text, "&About Quorvane...");
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(StartupTest, UnquotedWordsAreJoinedIntoOnePath)
{
    // A name with a blank given unquoted arrives as two words; they are joined by one space.
    const std::string path = WriteTrack("my track.qtf", 10);
    const std::string first = temp.Path() + "/my";
    Start({first.c_str(), "track.qtf"});
    EXPECT_TRUE(reader.IsOpen());
    EXPECT_EQ(Dlg().m_recordCount, 10u);
    EXPECT_EQ(Window().GetTitle(), path + std::string(kSuffix));
    EXPECT_EQ(Text(kIdcLastRecord), "9");
    EXPECT_EQ(Text(kIdcRecordNumber), "0") << "no record is shown by opening";
    EXPECT_EQ(Text(kIdcX), "");
}

TEST_F(StartupTest, QuotedCommandLineOpensPathWithoutQuotes)
{
    const std::string path = WriteTrack("quoted name.qtf", 3);
    const std::string quoted = "\"" + path + "\"";
    Start({quoted.c_str()});
    EXPECT_EQ(Dlg().m_recordCount, 3u);
    EXPECT_EQ(Window().GetTitle(), path + std::string(kSuffix));
    EXPECT_EQ(Text(kIdcLastRecord), "2");
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(StartupTest, MissingFileIsReportedAndWindowStillResetToIt)
{
    const std::string path = temp.File("absent.qtf");
    Start({path.c_str()});
    ASSERT_EQ(host.messageBoxes.size(), 1u) << "the reader's own message";
    EXPECT_EQ(host.messageBoxes[0].request.caption, "trackplay");
    EXPECT_EQ(Dlg().m_recordCount, 0u);
    EXPECT_EQ(Text(kIdcLastRecord), "-1");
    EXPECT_EQ(Window().GetTitle(), path + std::string(kSuffix));
    EXPECT_EQ(ScrollPos(), 0);
    const auto* bar = Window().FindControl(kIdcScrollBar);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->scrollMin, 0);
    EXPECT_EQ(bar->scrollMax, 32766);
}

TEST(StartupWithoutHost, WindowThatCannotBeCreatedEndsTheProgram)
{
    CRecordingMessageSink sink;
    CScopedMessageSink scopedSink(sink);
    CTrackFile reader;
    CPlaybackApp app(reader);
    EXPECT_FALSE(app.InitInstance());
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0], "Unable to create winow; must exit.");
    EXPECT_EQ(app.m_pMainWnd, nullptr);
}

TEST(ShutdownOrder, ReaderGoesFirstThenTheApplicationWithItsWindow)
{
    // The program's globals: the application is made first and destroyed last, after the reader
    // has closed its file. Nothing of the window may touch the reader on its way out.
    CTempDir temp;
    const std::string path = CTrackFileBuilder().AddSequence(5).Write(temp.File("order.qtf"));
    CHeadlessHost host;
    CScopedHost scopedHost(host);
    CHostMessageSink sink{std::string(kProgramName)};
    CScopedMessageSink scopedSink(sink);
    auto reader = std::make_unique<CTrackFile>();
    auto app = std::make_unique<CPlaybackApp>(*reader);
    const char* argv[] = {"trackplay", path.c_str()};
    app->SetCommandLine(2, argv);
    ASSERT_TRUE(app->InitInstance());
    host.PostCommand(kCmdNextFrame);
    host.PostKey(VkLetter('X'), kModControl);
    host.RunUntilIdle();
    EXPECT_TRUE(host.QuitPosted());
    EXPECT_EQ(app->m_dlg.m_strRecordNumber, "1");
    app->m_dlg.DestroyWindow(); // as AfxWinMain does when the loop has ended
    reader.reset();
    app.reset();
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST(ProgramEntry, RunsTheLoopWithBoxesCaptionedWithTheProgramsName)
{
    // The framework's entry with the program's own application: the name the application gives
    // captions the reader's message about the missing file, Ctrl+X ends the loop with 0, and the
    // screen window is gone when the entry returns while the window object stays.
    CTempDir temp;
    const std::string path = temp.File("absent.qtf");
    CHeadlessHost host;
    CTrackFile reader;
    CPlaybackApp app(reader);
    host.PostKey(VkLetter('X'), kModControl);
    const char* argv[] = {"trackplay", path.c_str()};
    EXPECT_EQ(AfxWinMain(host, 2, argv), 0);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].request.caption, "trackplay");
    EXPECT_EQ(app.m_dlg.GetWindowText(), "");
    EXPECT_FALSE(app.m_dlg.HasWindow());
    EXPECT_EQ(app.m_pMainWnd, &app.m_dlg);
    EXPECT_EQ(GetHost(), nullptr) << "the entry's host is gone with it";
}

class OpenTest : public AppTest
{
protected:
    void SetUp() override { Start(); }
};

TEST_F(OpenTest, OpenDialogAsksForTrackerFilesAndOpensTheChoice)
{
    const std::string path = WriteTrack("VT1.qtf", 10);
    OpenThroughMenu(path);
    ASSERT_EQ(host.fileDialogs.size(), 1u);
    const FileDialogRequest& request = host.fileDialogs[0];
    EXPECT_EQ(request.kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(request.title, "Open Video Tracker File");
    EXPECT_EQ(request.initialName, "VT1");
    EXPECT_EQ(request.defaultExtension, ".qtf");
    EXPECT_EQ(request.filter, "Zentravox Video Tracker Files (*.qtf)|*.qtf|Old Zentravox Files (*.dat)|*.dat|"
                              "All Files (*.*)|*.*||");
    EXPECT_EQ(Dlg().m_recordCount, 10u);
    EXPECT_EQ(Text(kIdcLastRecord), "9");
    EXPECT_EQ(Window().GetTitle(), path + std::string(kSuffix));
}

TEST_F(OpenTest, CancelledOpenChangesNothing)
{
    const std::string path = WriteTrack("a.qtf", 5);
    OpenThroughMenu(path);
    host.fileDialogAnswers.push_back(std::nullopt);
    Post(kCmdFileOpen);
    EXPECT_EQ(host.fileDialogs.size(), 2u);
    EXPECT_EQ(Dlg().m_recordCount, 5u);
    EXPECT_EQ(Window().titleHistory.size(), 2u) << "the caption and the one open";
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(OpenTest, OpeningKeepsRecordReadoutsAndPlotUntilTheFirstMove)
{
    const std::string first = WriteTrack("first.qtf", 100);
    const std::string second = WriteTrack("second.qtf", 10);
    OpenThroughMenu(first);
    for (int i = 0; i < 7; ++i)
        host.PostCommand(kCmdNextFrame);
    host.RunUntilIdle();
    ASSERT_EQ(Text(kIdcRecordNumber), "7");
    const int litBefore = LitPixels();
    ASSERT_GT(litBefore, 0);

    OpenThroughMenu(second);
    EXPECT_EQ(Text(kIdcRecordNumber), "7") << "readouts keep their texts";
    EXPECT_EQ(Text(kIdcTimeStamp), "1007");
    EXPECT_EQ(Text(kIdcLastRecord), "9");
    EXPECT_EQ(ScrollPos(), 0);
    EXPECT_EQ(Dlg().m_currentIndex, 0u);
    EXPECT_EQ(LitPixels(), litBefore) << "no record drawn by opening";

    Post(kCmdNextFrame);
    EXPECT_EQ(Text(kIdcRecordNumber), "1") << "the first move after opening shows record 1";
}

TEST_F(OpenTest, DropOpensOnlyTheFirstFile)
{
    const std::string a = WriteTrack("a.qtf", 4);
    const std::string b = WriteTrack("b.qtf", 5);
    const std::string c = WriteTrack("c.qtf", 6);
    host.PostDrop({a, b, c});
    host.RunUntilIdle();
    EXPECT_EQ(Dlg().m_recordCount, 4u);
    ASSERT_EQ(Window().titleHistory.size(), 2u) << "the caption and the one open";
    EXPECT_EQ(Window().titleHistory.back(), a + std::string(kSuffix));
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(OpenTest, DropOfLongPathIsNotCutAt259Characters)
{
    std::string name(250, 'n');
    name += ".qtf";
    const std::string path = WriteTrack(name, 2);
    ASSERT_GT(path.size(), 259u);
    host.PostDrop({path});
    host.RunUntilIdle();
    EXPECT_EQ(Dlg().m_recordCount, 2u);
    EXPECT_EQ(Window().GetTitle(), path + std::string(kSuffix));
}

TEST_F(OpenTest, DropOfEmptyNameOpensNothing)
{
    host.PostDrop({""});
    host.PostDrop({});
    host.RunUntilIdle();
    EXPECT_EQ(Window().titleHistory.size(), 1u) << "the caption only";
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_TRUE(host.messageBoxes.empty());
}
} // namespace
