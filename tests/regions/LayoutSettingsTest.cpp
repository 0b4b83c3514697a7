// The analysis settings in a layout: every key read, version 1 layouts as before, every fault told
// once changing nothing, the text saved, round trips, the stretched-arena warning on load, and
// the settings of a receipt.
#include "regions/LayoutSettings.h"

#include "base/ResultCodes.h"
#include "regions/RegionLayout.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace
{
std::string Layout(const std::string& settings, int version = 2)
{
    return "{\"format\": \"trackplay-layout\", \"version\": " + std::to_string(version) +
           ", \"margin\": 6, " + settings + (settings.empty() ? "" : ", ") +
           "\"regions\": [{\"name\": \"arm\", \"rect\": [1, 2, 3, 4]}]}";
}

// Settings with something other than the default in every field.
AnalysisSettings Changed()
{
    AnalysisSettings s;
    s.calibration.form = CalibrationForm::Factor;
    s.calibration.cmPerPx = 0.3;
    s.mergeGapSeconds = 9.0;
    s.minVisitSeconds = 9.0;
    s.binSeconds = 9.0;
    s.speedWindow = 9;
    s.immobileBelow = ImmobilityThreshold{SpeedUnit::PxPerSecond, 9.0};
    s.minImmobileSeconds = 9.0;
    return s;
}

// An open field calibrated by a line of 55 cm, with rules, one-minute bins and a threshold in cm/s.
void SetExample(AnalysisSettings& s)
{
    s.calibration.form = CalibrationForm::Line;
    s.calibration.lineFrom = Point{100, 240};
    s.calibration.lineTo = Point{540, 240};
    s.calibration.lengthCm = 55.0;
    s.mergeGapSeconds = 0.5;
    s.minVisitSeconds = 0.25;
    s.binSeconds = 60.0;
    s.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, 2.0};
}

// Test that every key is read in each of its forms, that absent keys keep their defaults, and that
// a version 1 layout ignores keys of these names.
TEST(LayoutSettings, ReadsEveryKey)
{
    struct Case
    {
        const char* name;
        std::string text;
        void (*expect)(AnalysisSettings&); // what the defaults become
    };
    const std::vector<Case> cases = {
        {"no settings", Layout(""), [](AnalysisSettings&) {}},
        {"the example",
         Layout(
             "\"calibration\": { \"line\": [[100, 240], [540, 240]], \"length_cm\": 55 }, "
             "\"rules\": { \"merge_gap_s\": 0.5, \"min_visit_s\": 0.25 }, \"bins_s\": 60, "
             "\"movement\": { \"speed_window\": 15, \"immobile_below_cm_s\": 2.0, \"min_immobile_s\": 1.0 }"),
         &SetExample},
        {"a factor", Layout("\"calibration\": {\"cm_per_px\": 1e-3}"),
         [](AnalysisSettings& s)
         {
             s.calibration.form = CalibrationForm::Factor;
             s.calibration.cmPerPx = 0.001;
         }},
        {"an arena, corners backwards, with keys unknown",
         Layout("\"calibration\": {\"arena\": [640, 480, 0, 0], \"size_cm\": [40, 30.5], \"note\": 1}"),
         [](AnalysisSettings& s)
         {
             s.calibration.form = CalibrationForm::Arena;
             s.calibration.arena = Rect{640, 480, 0, 0};
             s.calibration.widthCm = 40.0;
             s.calibration.heightCm = 30.5;
         }},
        {"some keys of an object",
         Layout("\"rules\": {\"min_visit_s\": 3600}, \"movement\": {\"min_immobile_s\": 0}"),
         [](AnalysisSettings& s)
         {
             s.minVisitSeconds = 3600.0;
             s.minImmobileSeconds = 0.0;
         }},
        {"a threshold in pixels a second and the longest window",
         Layout("\"movement\": {\"immobile_below_px_s\": 12, \"speed_window\": 600}"),
         [](AnalysisSettings& s)
         {
             s.immobileBelow = ImmobilityThreshold{SpeedUnit::PxPerSecond, 12.0};
             s.speedWindow = 600;
         }},
        {"version 1 knows none of these keys",
         Layout("\"rules\": {\"min_visit_s\": 5}, \"bins_s\": -1, \"calibration\": \"none\"", 1),
         [](AnalysisSettings&) {}},
    };
    for (const Case& c : cases)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CRegionTable table;
        std::int32_t margin = 0;
        AnalysisSettings settings = Changed(); // every field is replaced by a load
        ASSERT_EQ(ParseRegionLayout(c.text, "arena.json", table, margin, settings), kOk) << c.name;
        AnalysisSettings expected;
        c.expect(expected);
        EXPECT_TRUE(settings == expected) << c.name;
        EXPECT_EQ(margin, 6) << c.name;
        EXPECT_EQ(table.m_nRegionCount, 1) << c.name;
        EXPECT_EQ(table.m_regionNames[0], "arm") << c.name;
        EXPECT_TRUE(sink.messages.empty()) << c.name;
    }
}

// Test that every fault of the settings gives one message naming the file and the key, and
// leaves the table, the margin and the settings as they were.
TEST(LayoutSettings, EveryFaultIsToldOnceAndChangesNothing)
{
    const std::string seconds3600 = " is not a number of seconds from 0 to 3600";
    const std::pair<std::string, std::string> cases[] = {
        {"\"rules\": []", "rules is not an object"},
        {"\"rules\": {\"merge_gap_s\": 3600.5}", "rules.merge_gap_s" + seconds3600},
        {"\"rules\": {\"merge_gap_s\": -1}", "rules.merge_gap_s" + seconds3600},
        {"\"rules\": {\"min_visit_s\": \"1\"}", "rules.min_visit_s" + seconds3600},
        {"\"rules\": {\"min_visit_s\": null}", "rules.min_visit_s" + seconds3600},
        {"\"bins_s\": 0", "bins_s is not a number of seconds greater than 0 and at most 86400"},
        {"\"bins_s\": 86401", "bins_s is not a number of seconds greater than 0 and at most 86400"},
        {"\"bins_s\": true", "bins_s is not a number of seconds greater than 0 and at most 86400"},
        {"\"movement\": 1", "movement is not an object"},
        {"\"movement\": {\"speed_window\": 15.0}",
         "movement.speed_window is not a whole number of records from 1 to 600"},
        {"\"movement\": {\"speed_window\": 0}",
         "movement.speed_window is not a whole number of records from 1 to 600"},
        {"\"movement\": {\"speed_window\": 601}",
         "movement.speed_window is not a whole number of records from 1 to 600"},
        {"\"movement\": {\"min_immobile_s\": 4000}", "movement.min_immobile_s" + seconds3600},
        {"\"movement\": {\"immobile_below_px_s\": 0}",
         "movement.immobile_below_px_s is not a speed in pixels a second greater than 0"},
        {"\"movement\": {\"immobile_below_cm_s\": 2}", "movement.immobile_below_cm_s needs a calibration"},
        {"\"calibration\": {\"cm_per_px\": 1}, \"movement\": {\"immobile_below_cm_s\": 2, "
         "\"immobile_below_px_s\": 2}",
         "movement has both immobile_below_cm_s and immobile_below_px_s; give one"},
        {"\"calibration\": 0.1", "calibration is not an object with cm_per_px, line or arena"},
        {"\"calibration\": {}", "calibration has none of cm_per_px, line and arena"},
        {"\"calibration\": {\"cm_per_px\": 1, \"line\": [[0, 0], [1, 0]], \"length_cm\": 1}",
         "calibration has more than one of cm_per_px, line and arena"},
        {"\"calibration\": {\"cm_per_px\": 0}",
         "calibration.cm_per_px is not a number of centimetres per pixel greater than 0"},
        {"\"calibration\": {\"cm_per_px\": \"0.1\"}",
         "calibration.cm_per_px is not a number of centimetres per pixel greater than 0"},
        {"\"calibration\": {\"line\": [[0, 0], [0, 0]], \"length_cm\": 5}",
         "calibration.line has its two ends at the same point"},
        {"\"calibration\": {\"line\": [[0, 0], [1, 0]]}",
         "calibration.length_cm is missing; a line calibrates with its length"},
        {"\"calibration\": {\"line\": [[0, 0], [1, 0]], \"length_cm\": 0}",
         "calibration.length_cm is not a length in centimetres greater than 0"},
        {"\"calibration\": {\"line\": [[0, 0], [1.5, 0]], \"length_cm\": 1}",
         "calibration.line is not two points [[x1, y1], [x2, y2]] of whole numbers from -2147483648 to "
         "2147483647"},
        {"\"calibration\": {\"line\": [[0, 0], [1, 0], [2, 0]], \"length_cm\": 1}",
         "calibration.line is not two points [[x1, y1], [x2, y2]] of whole numbers from -2147483648 to "
         "2147483647"},
        {"\"calibration\": {\"line\": [0, 0, 1, 0], \"length_cm\": 1}",
         "calibration.line is not two points [[x1, y1], [x2, y2]] of whole numbers from -2147483648 to "
         "2147483647"},
        {"\"calibration\": {\"line\": [[0, 2147483648], [1, 0]], \"length_cm\": 1}",
         "calibration.line is not two points [[x1, y1], [x2, y2]] of whole numbers from -2147483648 to "
         "2147483647"},
        {"\"calibration\": {\"arena\": [0, 0, 10], \"size_cm\": [1, 1]}",
         "calibration.arena is not a list of four whole numbers (left, top, right, bottom)"},
        {"\"calibration\": {\"arena\": [0, 0, 10, 10]}",
         "calibration.size_cm is missing; an arena calibrates with its size"},
        {"\"calibration\": {\"arena\": [0, 0, 10, 10], \"size_cm\": [1]}",
         "calibration.size_cm is not two lengths in centimetres (width, height), each greater than 0"},
        {"\"calibration\": {\"arena\": [0, 0, 10, 10], \"size_cm\": [1, 0]}",
         "calibration.size_cm is not two lengths in centimetres (width, height), each greater than 0"},
        {"\"calibration\": {\"arena\": [5, 0, 5, 10], \"size_cm\": [1, 1]}",
         "calibration.arena has no width or no height"},
    };
    for (const auto& [settingsText, problem] : cases)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CRegionTable table;
        table.m_nRegionCount = 2;
        std::int32_t margin = 13;
        AnalysisSettings settings = Changed();
        EXPECT_EQ(ParseRegionLayout(Layout(settingsText), "arena.json", table, margin, settings), kErrNoInput)
            << settingsText;
        EXPECT_EQ(sink.messages, std::vector<std::string>{
                                     "The region layout arena.json cannot be loaded: " + problem + "."});
        EXPECT_EQ(table.m_nRegionCount, 2) << settingsText;
        EXPECT_EQ(margin, 13) << settingsText;
        EXPECT_TRUE(settings == Changed()) << settingsText;
    }
}

// Test the saved text of settings in each calibration form, byte for byte.
TEST(LayoutSettings, FormatWritesTheDocumentedText)
{
    AnalysisSettings s;
    SetExample(s);
    EXPECT_EQ(
        FormatLayoutSettings(s),
        "  \"calibration\": { \"line\": [[100, 240], [540, 240]], \"length_cm\": 55.0 },\n"
        "  \"rules\": { \"merge_gap_s\": 0.5, \"min_visit_s\": 0.25 },\n"
        "  \"bins_s\": 60.0,\n"
        "  \"movement\": { \"speed_window\": 15, \"immobile_below_cm_s\": 2.0, \"min_immobile_s\": 1.0 },\n");
    s.calibration.form = CalibrationForm::Arena;
    s.calibration.arena = Rect{640, 0, 0, 480};
    s.calibration.widthCm = 40.0;
    s.calibration.heightCm = 30.1;
    s.binSeconds.reset();
    s.immobileBelow = ImmobilityThreshold{SpeedUnit::PxPerSecond, 0.1};
    EXPECT_EQ(
        FormatLayoutSettings(s),
        "  \"calibration\": { \"arena\": [640, 0, 0, 480], \"size_cm\": [40.0, 30.1] },\n"
        "  \"rules\": { \"merge_gap_s\": 0.5, \"min_visit_s\": 0.25 },\n"
        "  \"movement\": { \"speed_window\": 15, \"immobile_below_px_s\": 0.1, \"min_immobile_s\": 1.0 },\n");
    s.calibration.form = CalibrationForm::Factor;
    s.calibration.cmPerPx = 1.0 / 3;
    const std::string text = FormatLayoutSettings(s);
    EXPECT_EQ(text.substr(0, text.find('\n') + 1),
              "  \"calibration\": { \"cm_per_px\": 0.3333333333333333 },\n");
}

// Test that random settings come back from a saved layout exactly, to the last bit of every number.
TEST(LayoutSettings, SaveThenLoadGivesTheSameSettings)
{
    std::mt19937_64 random(99);
    const auto pick = [&random](std::int64_t low, std::int64_t high)
    { return std::uniform_int_distribution<std::int64_t>(low, high)(random); };
    const auto fraction = [&random](double low, double high)
    { return std::uniform_real_distribution<double>(low, high)(random); };
    CTempDir dir;
    const std::string path = dir.File("arena.json");
    for (int round = 0; round < 100; ++round)
    {
        AnalysisSettings saved;
        const auto point = [&pick]
        {
            return Point{static_cast<std::int32_t>(pick(INT32_MIN, INT32_MAX)),
                         static_cast<std::int32_t>(pick(-5, 5))};
        };
        switch (pick(0, 3))
        {
        case 1:
            saved.calibration.form = CalibrationForm::Factor;
            saved.calibration.cmPerPx = fraction(1e-6, 1e3);
            break;
        case 2:
            saved.calibration.form = CalibrationForm::Line;
            saved.calibration.lineFrom = point();
            saved.calibration.lineTo = Point{saved.calibration.lineFrom.x, saved.calibration.lineFrom.y + 1};
            saved.calibration.lengthCm = fraction(1e-3, 1e6);
            break;
        case 3:
            saved.calibration.form = CalibrationForm::Arena;
            saved.calibration.arena = Rect{static_cast<std::int32_t>(pick(-100, 100)), 7, 640, -7};
            saved.calibration.widthCm = fraction(1.0, 100.0);
            saved.calibration.heightCm = fraction(1.0, 100.0);
            break;
        default:
            break;
        }
        saved.mergeGapSeconds = fraction(0.0, 3600.0);
        saved.minVisitSeconds = pick(0, 1) == 0 ? 0.0 : fraction(0.0, 1.0);
        if (pick(0, 1) == 0)
            saved.binSeconds = fraction(1e-9, 86400.0);
        saved.speedWindow = static_cast<std::int32_t>(pick(1, 600));
        if (pick(0, 1) == 0)
            saved.immobileBelow =
                ImmobilityThreshold{saved.calibration.form == CalibrationForm::None ? SpeedUnit::PxPerSecond
                                                                                    : SpeedUnit::CmPerSecond,
                                    fraction(1e-9, 1e9)};
        saved.minImmobileSeconds = fraction(0.0, 3600.0);
        ASSERT_EQ(FindSettingsProblem(saved), std::nullopt) << round;

        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        ASSERT_EQ(SaveRegionLayout(path, CRegionTable(), 8, saved), kOk) << round;
        CRegionTable table;
        std::int32_t margin = 0;
        AnalysisSettings loaded;
        ASSERT_EQ(LoadRegionLayout(path, table, margin, loaded), kOk) << round;
        EXPECT_TRUE(loaded == saved) << round << "\n" << ReadWholeFile(path);
        // Only a stretched arena is told, once, as it loads.
        EXPECT_EQ(sink.messages.size(), FindCalibrationStretch(saved.calibration) ? 1u : 0u) << round;
    }
}

// Test that loading a stretched arena tells the warning once and loads it; and that settings a
// layout could not hold are refused before anything is written.
TEST(LayoutSettings, StretchWarningAndUnsavableSettings)
{
    CTempDir dir;
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    const std::string path = dir.File("arena.json");
    ASSERT_TRUE(WriteWholeFile(
        path, Layout("\"calibration\": {\"arena\": [0, 0, 400, 300], \"size_cm\": [40, 36]}")));
    CRegionTable table;
    std::int32_t margin = 0;
    AnalysisSettings settings;
    ASSERT_EQ(LoadRegionLayout(path, table, margin, settings), kOk);
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"The region layout " + path +
                                       ": the calibration's arena gives 0.1 cm per pixel across "
                                       "and 0.12 cm per pixel down, 20.00% apart; 0.109545 cm per "
                                       "pixel is used for both."});
    EXPECT_EQ(settings.calibration.form, CalibrationForm::Arena);

    sink.messages.clear();
    settings.speedWindow = 0;
    EXPECT_EQ(SaveRegionLayout(path, table, 8, settings), kErrNoInput);
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"The region layout " + path +
                                       " cannot be saved: movement.speed_window is not a whole "
                                       "number of records from 1 to 600."});
    EXPECT_NE(ReadWholeFile(path).find("\"size_cm\": [40, 36]"), std::string::npos)
        << "the file is as it was";
}

// Test the settings of a receipt: every setting with its value and records, defaults included,
// the calibration's form, values and factor.
TEST(LayoutSettings, Receipt)
{
    EXPECT_EQ(SettingsReceipt(AnalysisSettings{}), nlohmann::json::parse(R"({
        "calibration": {"form": "none", "cm_per_px": null},
        "rules": {"merge_gap_s": 0.0, "merge_gap_records": 0, "min_visit_s": 0.0, "min_visit_records": 0},
        "bins_s": null, "bin_records": null,
        "movement": {"speed_window": 15, "immobile_below_px_s": null, "immobile_below_cm_s": null,
                     "min_immobile_s": 1.0, "min_immobile_records": 60}})"));

    AnalysisSettings s;
    SetExample(s);
    s.binSeconds = 0.001;
    s.speedWindow = 30;
    s.minImmobileSeconds = 0.375;
    EXPECT_EQ(SettingsReceipt(s), nlohmann::json::parse(R"({
        "calibration": {"form": "line", "line": [[100, 240], [540, 240]], "length_cm": 55.0, "cm_per_px": 0.125},
        "rules": {"merge_gap_s": 0.5, "merge_gap_records": 30, "min_visit_s": 0.25, "min_visit_records": 15},
        "bins_s": 0.001, "bin_records": 1,
        "movement": {"speed_window": 30, "immobile_below_px_s": null, "immobile_below_cm_s": 2.0,
                     "min_immobile_s": 0.375, "min_immobile_records": 23}})"));

    s.calibration = Calibration{};
    s.calibration.form = CalibrationForm::Arena;
    s.calibration.arena = Rect{0, 0, 400, 300};
    s.calibration.widthCm = 40.0;
    s.calibration.heightCm = 30.0;
    EXPECT_EQ(SettingsReceipt(s)["calibration"], nlohmann::json::parse(R"({"form": "arena",
        "arena": [0, 0, 400, 300], "size_cm": [40.0, 30.0], "cm_per_px": 0.1})"));
}
} // namespace
