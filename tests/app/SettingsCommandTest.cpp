// Tools > Analysis Settings... and Select > Calibrate...: the values typed reach the layout and
// come back from it, a bad value is refused naming its field, a dragged line of known length gives
// its factor, and Escape leaves everything as it was.
#include "AppFixture.h"
#include "analysis/VisitCsv.h"
#include "analysis/VisitTable.h"
#include "app/SettingsDialogs.h"
#include "base/CsvBuilder.h"
#include "base/ResultCodes.h"
#include "framework/DataExchange.h"
#include "outputs/OutputNames.h"
#include "regions/RegionLayout.h"
#include "support/SettingsTestSupport.h"
#include "trackfile/BlockReader.h"
#include "trackfile/TrackGenerator.h"

#include <map>
#include <string_view>
#include <utility>

namespace
{
class SettingsCommandTest : public AppTest
{
protected:
    void SetUp() override { Start(); }

    // Runs Analysis Settings: types the given fields (the others keep what the dialog shows), sets
    // the cm/s box and presses Enter. Afterwards the refusal's focus, 0 when the dialog closed.
    using Typed = std::vector<std::pair<int, const char*>>;
    int RunSettings(const Typed& typed, bool inCm = false)
    {
        int focus = 0;
        NextDialog(
            [&](CHeadlessHost& h, CDialog& d)
            {
                for (const auto& [id, text] : typed)
                    h.TypeText(id, text, &d);
                d.CheckDlgButton(kIdcSettingsImmobileInCm,
                                 inCm ? CheckState::Checked : CheckState::Unchecked);
                h.PostKey(kVkReturn, kModNone, &d);
                Step(h);
                if (d.IsWindowVisible())
                {
                    focus = d.GetFocusId();
                    h.PostKey(kVkEscape, kModNone, &d);
                }
            });
        Post(kCmdAnalysisSettings);
        return focus;
    }

    // Drags from one plot pixel to another with the left button, through a point between them.
    void Drag(Point from, Point to)
    {
        host.PostMouseDown(host.ControlToWindowClient(kIdcPlotArea, from));
        host.PostMouseMove(host.ControlToWindowClient(kIdcPlotArea, {(from.x + to.x) / 2, from.y}),
                           kMkLButton);
        host.PostMouseMove(host.ControlToWindowClient(kIdcPlotArea, to), kMkLButton);
        host.RunUntilIdle();
    }
    void Release(Point at)
    {
        host.PostMouseUp(host.ControlToWindowClient(kIdcPlotArea, at));
        host.RunUntilIdle();
    }
};

// Test that the dialog shows the window's settings, and that what is typed there goes through Save
// Regions and Load Regions unchanged (the margin too); a version 1 layout brings the defaults.
TEST_F(SettingsCommandTest, ValuesRoundTripThroughTheLayout)
{
    Key(kVkInsert);
    Dlg().m_analysisSettings.calibration = Line({100, 240}, {540, 240}, 55.0);
    std::map<int, std::string> shown;
    NextDialog(
        [&](CHeadlessHost& h, CDialog& d)
        {
            for (const int id :
                 {kIdcSettingsCalibration, kIdcSettingsMargin, kIdcSettingsMergeGap, kIdcSettingsBins,
                  kIdcSettingsSpeedWindow, kIdcSettingsImmobileBelow, kIdcSettingsMinImmobile})
                shown[id] = d.GetDlgItemText(id);
            h.PostKey(kVkEscape, kModNone, &d);
        });
    Post(kCmdAnalysisSettings);
    EXPECT_EQ(shown[kIdcSettingsCalibration], "a line of 440 px taken as 55 cm: 0.125 cm per pixel");
    EXPECT_EQ(shown[kIdcSettingsMargin], "8");
    EXPECT_EQ(shown[kIdcSettingsMergeGap], "0");
    EXPECT_EQ(shown[kIdcSettingsBins], "") << "no bins";
    EXPECT_EQ(shown[kIdcSettingsSpeedWindow], "15");
    EXPECT_EQ(shown[kIdcSettingsImmobileBelow], "") << "no threshold";
    EXPECT_EQ(shown[kIdcSettingsMinImmobile], "1");

    const Typed typed = {{kIdcSettingsMargin, "5"},        {kIdcSettingsMergeGap, "0.5"},
                         {kIdcSettingsMinVisit, " 0.25 "}, {kIdcSettingsBins, "60"},
                         {kIdcSettingsSpeedWindow, "20"},  {kIdcSettingsImmobileBelow, "2"},
                         {kIdcSettingsMinImmobile, "1.5"}};
    EXPECT_EQ(RunSettings(typed, true), 0);
    AnalysisSettings expected = ExampleSettings();
    expected.speedWindow = 20;
    expected.minImmobileSeconds = 1.5;
    EXPECT_EQ(Dlg().m_analysisSettings, expected);
    EXPECT_EQ(Dlg().m_nRegionMargin, 5);

    host.fileDialogAnswers.push_back(temp.File("arena.json"));
    Post(kCmdSaveRegions);
    Dlg().m_analysisSettings = AnalysisSettings{};
    Dlg().m_nRegionMargin = 8;
    host.fileDialogAnswers.push_back(temp.File("arena.json"));
    Post(kCmdLoadRegions);
    EXPECT_EQ(Dlg().m_analysisSettings, expected);
    EXPECT_EQ(Dlg().m_nRegionMargin, 5);

    ASSERT_TRUE(WriteWholeFile(temp.File("v1.json"), "{\"format\": \"trackplay-layout\", \"version\": 1, "
                                                     "\"regions\": [{\"rect\": [1, 2, 30, 40]}]}"));
    host.fileDialogAnswers.push_back(temp.File("v1.json"));
    Post(kCmdLoadRegions);
    EXPECT_EQ(Dlg().m_analysisSettings, AnalysisSettings{});
    EXPECT_EQ(Dlg().m_nRegionMargin, kDefaultRegionMargin);
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Test that a value out of its range, or no number, is refused with one message naming the field
// and the layout key's range, the focus on the field and the dialog open; Escape then keeps the
// settings as they were. Empty bins and threshold fields mean none.
TEST_F(SettingsCommandTest, BadValueIsRefusedNamingItsField)
{
    struct Case
    {
        int control;
        const char* text;
        bool inCm;
        int failed; // 0: accepted
        const char* message;
    };
    const char* const mergeGap = "Merge exits shorter than (s): rules.merge_gap_s is not a number of seconds "
                                 "from 0 to 3600.";
    const char* const window = "Speed window (records): movement.speed_window is not a whole number of "
                               "records from 1 to 600.";
    const char* const bout = "Minimum immobile bout (s): movement.min_immobile_s is not a number of seconds "
                             "from 0 to 3600.";
    const Case cases[] = {
        {kIdcSettingsMergeGap, "3600", false, 0, ""},
        {kIdcSettingsMergeGap, "3600.01", false, kIdcSettingsMergeGap, mergeGap},
        {kIdcSettingsMergeGap, "-0.1", false, kIdcSettingsMergeGap, mergeGap},
        {kIdcSettingsMergeGap, "half", false, kIdcSettingsMergeGap, mergeGap},
        {kIdcSettingsMinVisit, "1e3", false, kIdcSettingsMinVisit,
         "Minimum visit (s): rules.min_visit_s is not a number of seconds from 0 to 3600."},
        {kIdcSettingsBins, "0", false, kIdcSettingsBins,
         "Time bins (s): bins_s is not a number of seconds greater than 0 and at most 86400."},
        {kIdcSettingsBins, "86400", false, 0, ""},
        {kIdcSettingsSpeedWindow, "0", false, kIdcSettingsSpeedWindow, window},
        {kIdcSettingsSpeedWindow, "601", false, kIdcSettingsSpeedWindow, window},
        {kIdcSettingsSpeedWindow, "1.5", false, kIdcSettingsSpeedWindow, window},
        {kIdcSettingsSpeedWindow, "1", false, 0, ""},
        {kIdcSettingsImmobileBelow, "0", false, kIdcSettingsImmobileBelow,
         "Still below: movement.immobile_below_px_s is not a speed in pixels a second greater than 0."},
        {kIdcSettingsImmobileBelow, "2", true, kIdcSettingsImmobileBelow,
         "Still below: movement.immobile_below_cm_s needs a calibration."},
        {kIdcSettingsMinImmobile, "3600.5", false, kIdcSettingsMinImmobile, bout},
        {kIdcSettingsMinImmobile, "", false, kIdcSettingsMinImmobile, bout},
        {kIdcSettingsMargin, "-1", false, kIdcSettingsMargin,
         "Margin (pixels): margin is not a whole number from 0 to 2147483647."},
        {kIdcSettingsMargin, "0", false, 0, ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.message);
        host.messageBoxes.clear();
        Dlg().m_analysisSettings = AnalysisSettings{};
        Dlg().m_nRegionMargin = 8;
        const int focus = RunSettings({{c.control, c.text}}, c.inCm);
        EXPECT_EQ(focus, c.failed);
        if (c.failed == 0)
        {
            EXPECT_TRUE(host.messageBoxes.empty());
            continue;
        }
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(Dlg().m_analysisSettings, AnalysisSettings{});
        EXPECT_EQ(Dlg().m_nRegionMargin, 8);
    }
}

// Test Remove Calibration: the calibration shown becomes none and OK takes that; with a threshold
// in cm/s left, OK refuses naming the threshold and the window keeps its calibration.
TEST_F(SettingsCommandTest, RemoveCalibration)
{
    for (const bool thresholdInCm : {false, true})
    {
        SCOPED_TRACE(thresholdInCm);
        host.messageBoxes.clear();
        AnalysisSettings before;
        before.calibration = Factor(0.5);
        if (thresholdInCm)
            before.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, 3.0};
        Dlg().m_analysisSettings = before;
        std::string shownBefore;
        std::string shownAfter;
        NextDialog(
            [&](CHeadlessHost& h, CDialog& d)
            {
                shownBefore = d.GetDlgItemText(kIdcSettingsCalibration);
                h.PostClick(kIdcSettingsClearCalibration, &d);
                Step(h);
                shownAfter = d.GetDlgItemText(kIdcSettingsCalibration);
                h.PostClick(kIdOk, &d);
                Step(h);
                if (d.IsWindowVisible())
                    h.PostKey(kVkEscape, kModNone, &d);
            });
        Post(kCmdAnalysisSettings);
        EXPECT_EQ(shownBefore, "0.5 cm per pixel");
        EXPECT_EQ(shownAfter, "none: figures in pixels");
        if (!thresholdInCm)
        {
            EXPECT_EQ(Dlg().m_analysisSettings.calibration.form, CalibrationForm::None);
            EXPECT_TRUE(host.messageBoxes.empty());
            continue;
        }
        EXPECT_EQ(Dlg().m_analysisSettings, before);
        EXPECT_EQ(MessageTexts(),
                  std::vector<std::string>{"Still below: movement.immobile_below_cm_s needs a calibration."});
    }
}

// Test Calibrate: a line dragged on the plot is shown while dragging and gone after, the length
// typed gives the line's factor, and the rest of the settings stay. Lines across, down, slanted
// and one pixel long.
TEST_F(SettingsCommandTest, DragOfKnownLengthGivesTheFactor)
{
    struct Case
    {
        Point from;
        Point to;
        const char* lengthCm;
        const char* prompt;
        double factor;
    };
    const Case cases[] = {
        {{100, 240}, {540, 240}, "55", "The line is 440 pixels long. How long is it in centimetres?", 0.125},
        {{20, 460}, {20, 60}, "40", "The line is 400 pixels long. How long is it in centimetres?", 0.1},
        {{10, 10}, {310, 410}, "100", "The line is 500 pixels long. How long is it in centimetres?", 0.2},
        {{5, 5}, {6, 5}, "0.5", "The line is 1 pixels long. How long is it in centimetres?", 0.5},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.lengthCm);
        host.messageBoxes.clear();
        Dlg().m_analysisSettings = AnalysisSettings{};
        Dlg().m_analysisSettings.minVisitSeconds = 0.25;
        std::string prompt;
        NextDialog(
            [&](CHeadlessHost& h, CDialog& d)
            {
                prompt = d.GetDlgItemText(kIdcCalibrationPrompt);
                h.TypeText(kIdcCalibrationLength, c.lengthCm, &d);
                h.PostKey(kVkReturn, kModNone, &d);
            });
        Post(kCmdCalibrate);
        Drag(c.from, c.to);
        const Point mid{(c.from.x + c.to.x) / 2, c.from.y};
        EXPECT_EQ(ShownPixel(c.from.x, c.from.y), kWhite) << "the line is shown while dragging";
        Release(c.to);
        EXPECT_EQ(ShownPixel(c.from.x, c.from.y), kBlack) << "and taken off after";
        EXPECT_EQ(ShownPixel(mid.x, mid.y), kBlack);
        EXPECT_EQ(prompt, c.prompt);
        const AnalysisSettings& s = Dlg().m_analysisSettings;
        EXPECT_EQ(s.calibration, Line(c.from, c.to, *ParseDecimalField(c.lengthCm)));
        EXPECT_NEAR(CalibrationFactor(s.calibration).value_or(0.0), c.factor, 1e-12);
        EXPECT_EQ(s.minVisitSeconds, 0.25);
        ASSERT_EQ(host.messageBoxes.size(), 2u); // the hint, then the result
        EXPECT_EQ(host.messageBoxes[1].request.text,
                  "The plot is calibrated: " + DescribeCalibration(s.calibration) + ".");
        EXPECT_EQ(Dlg().m_regions.m_nRegionCount, 0) << "the drag made no region";
    }
}

// Test the ways out of Calibrate: Escape before the drag, during it or in the length dialog, and a
// length refused; each leaves the settings as they were, and afterwards a drag is the region
// gesture again. A click without a drag keeps the calibration waiting.
TEST_F(SettingsCommandTest, EscapeCancels)
{
    Key(kVkInsert);
    const AnalysisSettings before = ExampleSettings();
    Dlg().m_analysisSettings = before;

    Post(kCmdCalibrate);
    Key(kVkEscape);
    EXPECT_FALSE(Dlg().m_calibrationDrag.IsArmed());

    Post(kCmdCalibrate);
    Drag({100, 100}, {300, 100});
    Key(kVkEscape);
    EXPECT_EQ(ShownPixel(200, 100), kBlack) << "the line is taken off";
    Release({300, 100});

    Post(kCmdCalibrate);
    Drag({100, 100}, {100, 100});
    Release({100, 100});
    EXPECT_TRUE(Dlg().m_calibrationDrag.IsArmed()) << "a click is no line";
    std::string refusal;
    NextDialog(
        [&](CHeadlessHost& h, CDialog& d)
        {
            for (const char* bad : {"0", "-3", "", "x"})
            {
                h.messageBoxes.clear();
                h.TypeText(kIdcCalibrationLength, bad, &d);
                h.PostKey(kVkReturn, kModNone, &d);
                Step(h);
                EXPECT_TRUE(d.IsWindowVisible()) << bad;
                EXPECT_EQ(d.GetFocusId(), kIdcCalibrationLength) << bad;
                ASSERT_EQ(h.messageBoxes.size(), 1u) << bad;
                refusal = h.messageBoxes[0].request.text;
            }
            h.PostKey(kVkEscape, kModNone, &d);
        });
    Drag({100, 100}, {300, 100});
    Release({300, 100});
    EXPECT_EQ(refusal, "Length (cm): calibration.length_cm is not a length in centimetres greater than 0.");
    EXPECT_FALSE(Dlg().m_calibrationDrag.IsArmed());
    EXPECT_EQ(Dlg().m_analysisSettings, before);
    EXPECT_EQ(host.modalDialogs, std::vector<int>{kIddCalibrationLength});

    Drag({300, 200}, {250, 150});
    Release({250, 150});
    EXPECT_EQ(Dlg().m_regions.m_regionRects[0], (Rect{300, 200, 250, 150})) << "the region gesture is back";
}

// Test that Export Visits counts by the window's settings: the files are the core's for the
// regions, margin and settings, and with a calibration the summary ends with the path length in
// centimetres (without one it has no such line).
TEST_F(SettingsCommandTest, ExportVisitsCountsByTheSettings)
{
    TrackGeneratorOptions options;
    options.records = 3000;
    options.seed = 5;
    const std::string track = temp.File("run7.qtf");
    ASSERT_EQ(WriteGeneratedTrack(track, options), kOk);
    OpenThroughMenu(track);
    Key(kVkInsert);
    Dlg().m_regions.m_regionRects[0] = Rect{100, 100, 540, 400};
    for (const bool calibrated : {false, true})
    {
        SCOPED_TRACE(calibrated);
        host.messageBoxes.clear();
        AnalysisSettings settings;
        settings.minVisitSeconds = 0.5;
        settings.mergeGapSeconds = 0.25;
        if (calibrated)
            settings.calibration = Line({100, 240}, {540, 240}, 55.0);
        Dlg().m_analysisSettings = settings;
        const std::string dir = temp.File(calibrated ? "cm" : "px");
        std::filesystem::create_directory(dir);
        host.folderDialogAnswers.push_back(dir);
        Post(kCmdExportVisits);

        CVisitTableBuilder builder(Dlg().m_regions, Dlg().m_nRegionMargin, settings);
        CBlockReader blocks;
        ASSERT_EQ(blocks.Open(track), kOk);
        IRecordConsumer* consumers[] = {&builder};
        ASSERT_EQ(blocks.Run(consumers), kOk);
        const VisitTable& expected = builder.Result();
        const std::pair<VisitCsvKind, std::string_view> tables[] = {
            {VisitCsvKind::Visits, kVisitsFileSuffix},
            {VisitCsvKind::Regions, kRegionsFileSuffix},
            {VisitCsvKind::Session, kSessionFileSuffix}};
        for (const auto& [kind, suffix] : tables)
            EXPECT_EQ(ReadWholeFile(TrackOutputPath(TrackOutputPlace{dir, "run7.qtf", "run7.qtf"}, suffix)),
                      FormatVisitCsv(expected, "run7.qtf", kind));
        ASSERT_EQ(host.messageBoxes.size(), 1u);
        const std::string& summary = host.messageBoxes[0].request.text;
        const std::string lastLine = summary.substr(summary.rfind('\n') + 1);
        if (calibrated)
            EXPECT_EQ(lastLine,
                      "Path length: " + FormatFixed6(expected.session.pathLengthCm.value_or(-1)) + " cm");
        else
            EXPECT_EQ(lastLine.rfind("Box0: ", 0), 0u) << lastLine;
    }
}

// Test the calibration's words for each form.
TEST(SettingsDialogs, DescribeCalibration)
{
    EXPECT_EQ(DescribeCalibration(Calibration{}), "none: figures in pixels");
    EXPECT_EQ(DescribeCalibration(Factor(0.0625)), "0.0625 cm per pixel");
    EXPECT_EQ(DescribeCalibration(Line({0, 0}, {3, 4}, 1.0)),
              "a line of 5 px taken as 1 cm: 0.2 cm per pixel");
    EXPECT_EQ(DescribeCalibration(Arena({440, 400, 40, 0}, 40.0, 40.0)),
              "an arena of 400 x 400 px taken as 40 x 40 cm: 0.1 cm per pixel");
    EXPECT_EQ(DescribeCalibration(Line({0, 0}, {0, 3}, 1.0)),
              "a line of 3 px taken as 1 cm: 0.333333 cm per pixel");
}
} // namespace
