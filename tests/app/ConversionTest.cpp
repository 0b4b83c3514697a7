// The Calculate New Center/Direction command end to end.
#include "AppFixture.h"
#include "trackfile/TrackGenerator.h"

#include <filesystem>

namespace
{
constexpr std::string_view kSuffix = " - Zentravox Video Tracker Utilities";
constexpr const char* kInvalid =
    "Invalid Values For Min/Max Target Distance Values, Unable To Complete Conversion";

class ConversionTest : public AppTest
{
protected:
    void SetUp() override
    {
        Start();
        TrackGeneratorOptions options;
        options.records = 45;
        options.seed = 7;
        source = temp.File("source.qtf");
        ASSERT_EQ(WriteGeneratedTrack(source, options), 0);
        destination = temp.File("converted.qtf");
    }

    void Convert(std::optional<std::string> first, std::optional<std::string> second)
    {
        host.fileDialogAnswers.push_back(std::move(first));
        host.fileDialogAnswers.push_back(std::move(second));
        host.PostCommand(kCmdCalculateNewCenter);
        host.RunUntilIdle();
    }

    std::string source;
    std::string destination;
};

TEST_F(ConversionTest, ConvertsAndOpensTheResult)
{
    Convert(source, destination);
    ASSERT_EQ(host.fileDialogs.size(), 2u);
    const FileDialogRequest& open = host.fileDialogs[0];
    const FileDialogRequest& save = host.fileDialogs[1];
    EXPECT_EQ(open.kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(open.title, "Select Zentravox Video Tracker File To Convert");
    EXPECT_EQ(save.kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(save.title, "Select Zentravox Video Tracker File To Save To");
    for (const FileDialogRequest* request : {&open, &save})
    {
        EXPECT_EQ(request->filter,
                  "Video Tracker Files (*.qtf)|*.qtf|Old-Style Zentravox Files (*.dat)|*.dat|"
                  "All Files (*.*)|*.*||");
        EXPECT_EQ(request->defaultExtension, "");
        EXPECT_EQ(request->initialName, "");
    }
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Conversion Completed"});
    EXPECT_EQ(std::filesystem::file_size(destination), std::filesystem::file_size(source));
    EXPECT_EQ(Window().GetTitle(), destination + std::string(kSuffix));
    EXPECT_EQ(Dlg().m_recordCount, 45u);
    EXPECT_EQ(Text(kIdcLastRecord), "44");
    ASSERT_GE(host.cursorHistory.size(), 2u);
    EXPECT_EQ(host.cursorHistory.front(), CursorShape::Wait);
    EXPECT_EQ(host.cursorHistory.back(), CursorShape::Arrow);
}

TEST_F(ConversionTest, TakesTheDistanceBandFromTheBoxes)
{
    struct Case
    {
        const char* min;
        const char* max;
        bool converts;
    };
    constexpr Case kCases[] = {
        {"50", "50", false}, // equal values are refused
        {"60", "20", false},
        {"0", "1", true},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(std::string(c.min) + " " + c.max);
        host.messageBoxes.clear();
        std::filesystem::remove(destination);
        const std::size_t titles = Window().titleHistory.size();
        host.TypeText(kIdcMinDistance, c.min);
        host.TypeText(kIdcMaxDistance, c.max);
        host.cursorHistory.clear();
        Convert(source, destination);
        EXPECT_EQ(std::filesystem::exists(destination), c.converts);
        // Refused or run, the wait cursor is up during the command and gone at its end.
        ASSERT_GE(host.cursorHistory.size(), 2u);
        EXPECT_EQ(host.cursorHistory.front(), CursorShape::Wait);
        EXPECT_EQ(host.cursorHistory.back(), CursorShape::Arrow);
        if (c.converts)
        {
            EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Conversion Completed"});
            EXPECT_EQ(Window().titleHistory.size(), titles + 1);
        }
        else
        {
            EXPECT_EQ(MessageTexts(), std::vector<std::string>{kInvalid});
            EXPECT_EQ(Window().titleHistory.size(), titles) << "nothing is opened";
        }
    }
}

TEST_F(ConversionTest, UnreadableMaxKeepsBothDistances)
{
    // Max is read first: empty, it stops the exchange and Min keeps 10 too, so the run goes on
    // with 10 and 100.
    host.TypeText(kIdcMinDistance, "99");
    host.TypeText(kIdcMaxDistance, "");
    Convert(source, destination);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Please enter an integer.", "Conversion Completed"}));
    EXPECT_EQ(Dlg().m_minTargetDistance, 10);
    EXPECT_EQ(Dlg().m_maxTargetDistance, 100);
    EXPECT_TRUE(std::filesystem::exists(destination));
}

TEST_F(ConversionTest, CancelInEitherDialogDoesNothing)
{
    Convert(std::nullopt, destination);
    EXPECT_EQ(host.fileDialogs.size(), 1u);
    host.fileDialogAnswers.clear();
    Convert(source, std::nullopt);
    EXPECT_EQ(host.fileDialogs.size(), 3u);
    EXPECT_FALSE(std::filesystem::exists(destination));
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_TRUE(host.cursorHistory.empty());
    EXPECT_EQ(Window().titleHistory.size(), 1u);
}

TEST_F(ConversionTest, FailedRunStillOpensTheDestination)
{
    Convert(temp.File("missing.qtf"), destination);
    ASSERT_EQ(host.messageBoxes.size() >= 1, true);
    EXPECT_EQ(host.messageBoxes[0].request.text,
              "Error opening file to Read from; Is the file/path name correct?");
    EXPECT_EQ(Window().GetTitle(), destination + std::string(kSuffix));
}
} // namespace
