// Tracking Quality: the band read as the conversion reads it, the report behind the progress
// display, the core's figures in the results dialog, and the per-record table saved from there.
#include "AppFixture.h"
#include "analysis/TrackingQuality.h"
#include "app/CommandDialogs.h"
#include "base/ResultCodes.h"
#include "support/TrackRuns.h"
#include "trackfile/TrackGenerator.h"

#include <filesystem>

namespace
{
constexpr const char* kInvalid =
    "Invalid Values For Min/Max Target Distance Values, Unable To Complete Conversion";

class TrackingQualityCommandTest : public AppTest
{
protected:
    void SetUp() override
    {
        Start();
        TrackGeneratorOptions options;
        options.records = 1500; // three blocks of the pass
        options.seed = 11;
        ASSERT_EQ(WriteGeneratedTrack(temp.File("generated.qtf"), options), kOk);
        // The generated track with one jump: record 700 stored 200 pixels off its path.
        const std::string bytes = ReadWholeFile(temp.File("generated.qtf"));
        CTrackFileBuilder builder;
        for (std::size_t i = 0; i < options.records; ++i)
        {
            TrackRecord record = RecordAt(bytes, true, i);
            if (i == 700)
                record.x = record.x > 320 ? record.x - 200 : record.x + 200;
            builder.Add(record);
        }
        track = builder.Write(temp.File("arena.qtf"));
    }

    // Runs the command; script acts in the results dialog (default: OK). Returns the report shown.
    std::string RunQuality(ModalScript script = {})
    {
        std::string shown;
        NextDialog(
            [&shown, script](CHeadlessHost& h, CDialog& d)
            {
                shown = d.GetDlgItemText(kIdcQualityReport);
                if (script)
                    script(h, d);
                else
                    h.PostClick(kIdOk, &d);
            });
        Post(kCmdTrackingQuality);
        host.modalScripts.clear(); // a dialog that did not open leaves its script unused
        return shown;
    }

    // The figures the core gives for the band, one to a line.
    std::string CoreFigures(int minDistance, int maxDistance)
    {
        QualityOptions options;
        options.minDistance = minDistance;
        options.maxDistance = maxDistance;
        QualitySummary summary;
        EXPECT_EQ(RunQualityReport(track, options, summary), kOk);
        std::string text;
        for (const std::string& line : FormatQualityFigures(summary))
            text += (text.empty() ? "" : "\n") + line;
        return text;
    }

    std::string track;
};

// Test that without records there is nothing to measure: a message, no display, no dialog.
TEST_F(TrackingQualityCommandTest, WithoutRecordsSaysSo)
{
    RunQuality();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{std::string(kMsgNoRecordsToRead)});
    EXPECT_TRUE(host.progresses.empty());
    EXPECT_TRUE(host.modalDialogs.empty());
}

// Test that the dialog shows exactly the core's figures for the band in the Min and Max boxes,
// after a report behind the progress display.
TEST_F(TrackingQualityCommandTest, ShowsTheCoreFiguresForTheBand)
{
    OpenThroughMenu(track);
    struct Band
    {
        const char* min;
        const char* max;
        int minValue;
        int maxValue;
    };
    for (const Band& band : {Band{"10", "100", 10, 100}, Band{"25", "60", 25, 60}})
    {
        SCOPED_TRACE(band.min);
        host.TypeText(kIdcMinDistance, band.min);
        host.TypeText(kIdcMaxDistance, band.max);
        const std::string shown = RunQuality();
        EXPECT_EQ(shown, CoreFigures(band.minValue, band.maxValue));
        EXPECT_NE(shown.find("min target distance: " + std::string(band.min) + "\n"), std::string::npos);
        EXPECT_NE(shown.find("largest jump 1: record 70"), std::string::npos);
        EXPECT_NE(shown.find("longest gap start record: "), std::string::npos);
    }
    ASSERT_EQ(host.progresses.size(), 2u);
    EXPECT_EQ(host.progresses[0].title, "Tracking Quality");
    EXPECT_EQ(host.progresses[0].updates.back(), (std::pair<std::uint64_t, std::uint64_t>{1500, 1500}));
    EXPECT_EQ(host.modalDialogs, (std::vector<int>{kIddQualityResults, kIddQualityResults}));
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Test the band's checks, the same as the conversion's: an unreadable box gets its message and the
// run goes on with the value held; Min not below Max is refused before anything is read.
TEST_F(TrackingQualityCommandTest, BandIsCheckedAsTheConversionChecksIt)
{
    OpenThroughMenu(track);
    struct Case
    {
        const char* min;
        const char* max;
        std::vector<std::string> messages;
        bool runs;
    };
    const Case cases[] = {
        {"50", "50", {kInvalid}, false},
        {"60", "20", {kInvalid}, false},
        {"", "100", {"Please enter an integer."}, true}, // Min keeps 10
        {"10", "abc", {"Please enter an integer."}, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.min) + "/" + c.max);
        host.messageBoxes.clear();
        host.progresses.clear();
        host.modalDialogs.clear();
        Dlg().m_minTargetDistance = 10;
        Dlg().m_maxTargetDistance = 100;
        host.TypeText(kIdcMinDistance, c.min);
        host.TypeText(kIdcMaxDistance, c.max);
        const std::string shown = RunQuality();
        EXPECT_EQ(MessageTexts(), c.messages);
        EXPECT_EQ(host.progresses.size(), c.runs ? 1u : 0u);
        EXPECT_EQ(host.modalDialogs.size(), c.runs ? 1u : 0u);
        EXPECT_EQ(shown, c.runs ? CoreFigures(10, 100) : std::string());
    }
}

// Test that a cancelled report shows no results.
TEST_F(TrackingQualityCommandTest, CancelledReportShowsNothing)
{
    OpenThroughMenu(track);
    host.progressCancelAt.push_back(2);
    RunQuality();
    ASSERT_EQ(host.progresses.size(), 1u);
    EXPECT_TRUE(host.progresses[0].cancelled);
    EXPECT_TRUE(host.modalDialogs.empty());
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Test "Save CSV...": its dialog, the table the core writes for the same band, and the cancels of
// the dialog and of the table's own pass, which write nothing.
TEST_F(TrackingQualityCommandTest, SaveCsvWritesTheCoreTable)
{
    OpenThroughMenu(track);
    host.TypeText(kIdcMinDistance, "15");
    QualityOptions options;
    options.minDistance = 15;
    ASSERT_EQ(WriteQualityCsv(track, options, temp.File("expected.csv")), kOk);

    host.fileDialogAnswers = {std::nullopt, temp.File("cancelled.csv"), temp.File("table")};
    host.progressCancelAt = {0, 1, 0}; // the report; the first table's pass; the second's
    RunQuality(
        [](CHeadlessHost& h, CDialog& d)
        {
            for (int k = 0; k < 3; ++k)
                h.PostClick(kIdcQualitySaveCsv, &d);
            h.PostClick(kIdOk, &d);
        });
    ASSERT_EQ(host.fileDialogs.size(), 4u); // the open, then three saves
    const FileDialogRequest& request = host.fileDialogs[1];
    EXPECT_EQ(request.kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(request.title, "Save Tracking Quality Table");
    EXPECT_EQ(request.filter, "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*||");
    EXPECT_EQ(request.defaultExtension, ".csv");
    EXPECT_EQ(request.initialName, "arena.qtf_quality.csv");
    EXPECT_FALSE(std::filesystem::exists(temp.File("cancelled.csv")));
    const std::string expected = ReadWholeFile(temp.File("expected.csv"));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ReadWholeFile(temp.File("table.csv")), expected);
    EXPECT_EQ(host.progresses.size(), 3u);
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Test that a table refused its file is told before its pass shows any progress, the reason on
// the message's second line, and the results stay open for another try.
TEST_F(TrackingQualityCommandTest, RefusedTableIsToldBeforeAnyProgress)
{
    OpenThroughMenu(track);
    host.fileDialogAnswers = {temp.File("gone/q.csv"), temp.File("q.csv")};
    RunQuality(
        [](CHeadlessHost& h, CDialog& d)
        {
            h.PostClick(kIdcQualitySaveCsv, &d);
            h.PostClick(kIdcQualitySaveCsv, &d);
            h.PostClick(kIdOk, &d);
        });
    EXPECT_EQ(MessageTexts(),
              std::vector<std::string>{"Cannot create the quality table " + temp.File("gone/q.csv") +
                                       ".\nNo such file or directory"});
    EXPECT_EQ(host.progresses.size(), 2u) << "the report's and the second table's, none for the refused one";
    EXPECT_TRUE(std::filesystem::exists(temp.File("q.csv")));
}
} // namespace
