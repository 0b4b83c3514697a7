// The analysis settings in a layout: every key read, version 1 layouts as before, every fault told
// once changing nothing, the text saved, round trips, the stretched-arena warning on load, and the
// settings of a receipt.
#include "regions/LayoutSettings.h"

#include "base/ResultCodes.h"
#include "regions/RegionLayout.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/SettingsTestSupport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace
{
std::string Layout(const std::string& settings, int version = 2)
{
    return "{\"format\": \"trackplay-layout\", \"version\": " + std::to_string(version) +
           ", \"margin\": 6, " + settings + (settings.empty() ? "" : ", ") +
           "\"regions\": [{\"name\": \"arm\", \"rect\": [1, 2, 3, 4]}]}";
}

// Settings with something other than the default in every field: what a load must replace.
AnalysisSettings Changed()
{
    AnalysisSettings s{Factor(0.3), 9.0, 9.0, 9.0, 9, ImmobilityThreshold{SpeedUnit::PxPerSecond, 9.0}, 9.0};
    return s;
}

// Test that every key is read in each of its forms, that absent keys keep their defaults, and that
// a version 1 layout ignores keys of these names.
TEST(LayoutSettings, ReadsEveryKey)
{
    using Expect = void (*)(AnalysisSettings&); // what the defaults become
    const std::pair<std::string, Expect> cases[] = {
        {Layout(""), [](AnalysisSettings&) {}},
        {Layout("\"calibration\": { \"line\": [[100, 240], [540, 240]], \"length_cm\": 55 }, \"rules\": { "
                "\"merge_gap_s\": 0.5, \"min_visit_s\": 0.25 }, \"bins_s\": 60, \"movement\": { "
                "\"speed_window\": "
                "15, \"immobile_below_cm_s\": 2.0, \"min_immobile_s\": 1.0 }"),
         [](AnalysisSettings& s) { s = ExampleSettings(); }},
        {Layout("\"calibration\": {\"cm_per_px\": 1e-3}"),
         [](AnalysisSettings& s) { s.calibration = Factor(0.001); }},
        {Layout("\"calibration\": {\"arena\": [640, 480, 0, 0], \"size_cm\": [40, 30.5], \"note\": 1}"),
         [](AnalysisSettings& s) {
             s.calibration = Arena({640, 480, 0, 0}, 40.0, 30.5);
         }},
        {Layout("\"rules\": {\"min_visit_s\": 3600}, \"movement\": {\"min_immobile_s\": 0}"),
         [](AnalysisSettings& s) { s.minVisitSeconds = 3600.0, s.minImmobileSeconds = 0.0; }},
        {Layout("\"movement\": {\"immobile_below_px_s\": 12, \"speed_window\": 600}"),
         [](AnalysisSettings& s) {
             s.immobileBelow = {SpeedUnit::PxPerSecond, 12.0}, s.speedWindow = 600;
         }},
        {Layout("\"rules\": {\"min_visit_s\": 5}, \"bins_s\": -1, \"calibration\": \"none\"", 1),
         [](AnalysisSettings&) {}},
    };
    for (const auto& [text, expect] : cases)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CRegionTable table;
        std::int32_t margin = 0;
        AnalysisSettings settings = Changed();
        ASSERT_EQ(ParseRegionLayout(text, "arena.json", table, margin, settings), kOk) << text;
        AnalysisSettings expected;
        expect(expected);
        EXPECT_TRUE(settings == expected) << text;
        EXPECT_EQ(margin, 6) << text;
        EXPECT_EQ(table.m_regionNames[0], "arm") << text;
        EXPECT_TRUE(sink.messages.empty()) << text;
    }
}

// Test that every fault of the settings gives one message naming the file and the key, and
// leaves the table, the margin and the settings as they were.
TEST(LayoutSettings, EveryFaultIsToldOnceAndChangesNothing)
{
    const std::string s3600 = " is not a number of seconds from 0 to 3600";
    const std::string bins = "bins_s is not a number of seconds greater than 0 and at most 86400";
    const std::string window = "movement.speed_window is not a whole number of records from 1 to 600";
    const std::string line = "calibration.line is not two points [[x1, y1], [x2, y2]] of whole numbers from "
                             "-2147483648 to 2147483647";
    const std::string size =
        "calibration.size_cm is not two lengths in centimetres (width, height), each greater "
        "than 0";
    const std::pair<std::string, std::string> cases[] = {
        {"\"rules\": []", "rules is not an object"},
        {"\"rules\": {\"min_visit_s\": \"1\"}", "rules.min_visit_s" + s3600},
        {"\"rules\": {\"min_visit_s\": null}", "rules.min_visit_s" + s3600},
        {"\"bins_s\": true", bins},
        {"\"movement\": 1", "movement is not an object"},
        {"\"movement\": {\"speed_window\": 15.0}", window},
        {"\"movement\": {\"immobile_below_px_s\": 0}",
         "movement.immobile_below_px_s is not a speed in pixels a second greater than 0"},
        {"\"movement\": {\"immobile_below_cm_s\": 2}", "movement.immobile_below_cm_s needs a calibration"},
        {"\"calibration\": {\"cm_per_px\": 1}, \"movement\": {\"immobile_below_cm_s\": 2, "
         "\"immobile_below_px_s\": 2}",
         "movement has both immobile_below_cm_s and immobile_below_px_s; give one"},
        {"\"calibration\": 0.1", "calibration is not an object with cm_per_px, line or arena"},
        {"\"calibration\": {}", "calibration has none of cm_per_px, line and arena"},
        {"\"calibration\": {\"cm_per_px\": 1, \"arena\": [0, 0, 1, 1], \"size_cm\": [1, 1]}",
         "calibration has more than one of cm_per_px, line and arena"},
        {"\"calibration\": {\"cm_per_px\": \"0.1\"}",
         "calibration.cm_per_px is not a number of centimetres per pixel greater than 0"},
        {"\"calibration\": {\"line\": [[0, 0], [0, 0]], \"length_cm\": 5}",
         "calibration.line has its two ends at the same point"},
        {"\"calibration\": {\"line\": [[0, 0], [1, 0]]}",
         "calibration.length_cm is missing; a line calibrates with its length"},
        {"\"calibration\": {\"line\": [[0, 0], [1, 0]], \"length_cm\": 0}",
         "calibration.length_cm is not a length in centimetres greater than 0"},
        {"\"calibration\": {\"line\": [[0, 0], [1.5, 0]], \"length_cm\": 1}", line},
        {"\"calibration\": {\"line\": [[0, 0], [1, 0], [2, 0]], \"length_cm\": 1}", line},
        {"\"calibration\": {\"line\": [[0, 2147483648], [1, 0]], \"length_cm\": 1}", line},
        {"\"calibration\": {\"arena\": [0, 0, 10], \"size_cm\": [1, 1]}",
         "calibration.arena is not a list of four whole numbers (left, top, right, bottom)"},
        {"\"calibration\": {\"arena\": [0, 0, 10, 10]}",
         "calibration.size_cm is missing; an arena calibrates with its size"},
        {"\"calibration\": {\"arena\": [0, 0, 10, 10], \"size_cm\": [1]}", size},
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
        EXPECT_EQ(ParseRegionLayout(Layout(settingsText), "arena.json", table, margin, settings),
                  kErrNoInput);
        EXPECT_EQ(sink.messages, std::vector<std::string>{
                                     "The region layout arena.json cannot be loaded: " + problem + "."});
        EXPECT_TRUE(table.m_nRegionCount == 2 && margin == 13 && settings == Changed()) << settingsText;
    }
}

// Test the saved text of settings in each calibration form, byte for byte.
TEST(LayoutSettings, FormatWritesTheDocumentedText)
{
    AnalysisSettings s = ExampleSettings();
    EXPECT_EQ(
        FormatLayoutSettings(s),
        "  \"calibration\": { \"line\": [[100, 240], [540, 240]], \"length_cm\": 55.0 },\n"
        "  \"rules\": { \"merge_gap_s\": 0.5, \"min_visit_s\": 0.25 },\n"
        "  \"bins_s\": 60.0,\n"
        "  \"movement\": { \"speed_window\": 15, \"immobile_below_cm_s\": 2.0, \"min_immobile_s\": 1.0 },\n");
    s.calibration = Arena({640, 0, 0, 480}, 40.0, 30.1);
    s.binSeconds.reset();
    s.immobileBelow = ImmobilityThreshold{SpeedUnit::PxPerSecond, 0.1};
    EXPECT_EQ(
        FormatLayoutSettings(s),
        "  \"calibration\": { \"arena\": [640, 0, 0, 480], \"size_cm\": [40.0, 30.1] },\n"
        "  \"rules\": { \"merge_gap_s\": 0.5, \"min_visit_s\": 0.25 },\n"
        "  \"movement\": { \"speed_window\": 15, \"immobile_below_px_s\": 0.1, \"min_immobile_s\": 1.0 },\n");
    s.calibration = Factor(1.0 / 3);
    const std::string text = FormatLayoutSettings(s);
    EXPECT_EQ(text.substr(0, text.find('\n') + 1),
              "  \"calibration\": { \"cm_per_px\": 0.3333333333333333 },\n");
}

// Test that settings come back from a saved layout to the last bit of every number, that only a
// stretched arena is told as it loads (once), and that settings a layout could not hold are
// refused before anything is written.
TEST(LayoutSettings, SaveAndLoad)
{
    AnalysisSettings awkward{Factor(1.0 / 3), 1.0 / 7, 3600.0, 1e-300, 600, std::nullopt, 0.1};
    AnalysisSettings extreme = ExampleSettings();
    extreme.calibration = Line({INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, 1e300);
    AnalysisSettings stretched;
    stretched.calibration = Arena({0, 0, 400, 300}, 40.0, 36.0);
    CTempDir dir;
    const std::string path = dir.File("arena.json");
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    for (const AnalysisSettings& saved : {ExampleSettings(), awkward, extreme, stretched})
    {
        sink.messages.clear();
        ASSERT_EQ(SaveRegionLayout(path, CRegionTable(), 8, saved), kOk);
        CRegionTable table;
        std::int32_t margin = 0;
        AnalysisSettings loaded;
        ASSERT_EQ(LoadRegionLayout(path, table, margin, loaded), kOk);
        EXPECT_TRUE(loaded == saved) << ReadWholeFile(path);
        const auto stretch = FindCalibrationStretch(saved.calibration);
        EXPECT_EQ(sink.messages,
                  stretch ? std::vector<std::string>{"The region layout " + path + ": " + *stretch + "."}
                          : std::vector<std::string>{});
    }
    sink.messages.clear();
    stretched.speedWindow = 0;
    EXPECT_EQ(SaveRegionLayout(path, CRegionTable(), 8, stretched), kErrNoInput);
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"The region layout " + path +
                                       " cannot be saved: movement.speed_window is not a whole "
                                       "number of records from 1 to 600."});
    EXPECT_NE(ReadWholeFile(path).find("\"size_cm\": [40.0, 36.0]"), std::string::npos)
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
    AnalysisSettings s = ExampleSettings();
    s.binSeconds = 0.001;
    s.speedWindow = 30;
    s.minImmobileSeconds = 0.375;
    EXPECT_EQ(SettingsReceipt(s), nlohmann::json::parse(R"({
        "calibration": {"form": "line", "line": [[100, 240], [540, 240]], "length_cm": 55.0, "cm_per_px": 0.125},
        "rules": {"merge_gap_s": 0.5, "merge_gap_records": 30, "min_visit_s": 0.25, "min_visit_records": 15},
        "bins_s": 0.001, "bin_records": 1,
        "movement": {"speed_window": 30, "immobile_below_px_s": null, "immobile_below_cm_s": 2.0,
                     "min_immobile_s": 0.375, "min_immobile_records": 23}})"));
    s.calibration = Arena({0, 0, 400, 300}, 40.0, 30.0);
    EXPECT_EQ(SettingsReceipt(s)["calibration"], nlohmann::json::parse(R"({"form": "arena",
        "arena": [0, 0, 400, 300], "size_cm": [40.0, 30.0], "cm_per_px": 0.1})"));
}
} // namespace
