// The analysis settings: seconds to records, the calibration's factor and the stretched-arena
// warning at its edge, every range at its edges, and the options on top of a layout's settings.
#include "regions/AnalysisSettings.h"

#include "support/SettingsTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace
{
constexpr double kInf = std::numeric_limits<double>::infinity();

// Test seconds to records (halves away from zero, 22.5 -> 23) and bins of at least one record.
TEST(AnalysisSettings, SecondsToRecords)
{
    const std::pair<double, std::uint64_t> cases[] = {{0.0, 0},       {0.25, 15},      {0.375, 23},
                                                      {0.0078125, 0}, {0.01171875, 1}, {86400.0, 5184000}};
    for (const auto& [seconds, records] : cases)
        EXPECT_EQ(SecondsToRecords(seconds), records) << seconds;
    AnalysisSettings s;
    EXPECT_EQ(s.BinRecords(), std::nullopt);
    s.binSeconds = 0.001;
    EXPECT_EQ(s.BinRecords(), std::optional<std::uint64_t>(1));
}

// Test F in every form: a line of one pixel, at any angle and backwards, the 32-bit extremes, and
// arenas with their corners in any order.
TEST(AnalysisSettings, CalibrationFactor)
{
    const std::pair<Calibration, double> cases[] = {
        {Factor(0.125), 0.125},
        {Line({100, 240}, {540, 240}, 55.0), 0.125},
        {Line({7, 7}, {8, 7}, 2.5), 2.5},
        {Line({7, 7}, {7, 6}, 2.5), 2.5},
        {Line({10, 10}, {7, 6}, 10.0), 2.0},
        {Line({INT32_MIN, 0}, {INT32_MAX, 0}, 4294967295.0), 1.0},
        {Arena({400, 300, 0, 0}, 40.0, 30.0), 0.1},
        {Arena({0, 300, 400, 0}, 40.0, 30.0), 0.1},
        {Arena({0, 0, 400, 100}, 40.0, 40.0), 0.2}, // stretched: the geometric mean
    };
    for (const auto& [calibration, expected] : cases)
        EXPECT_DOUBLE_EQ(CalibrationFactor(calibration).value_or(-1.0), expected) << calibration.lengthCm;
    EXPECT_EQ(CalibrationFactor(Calibration{}), std::nullopt);
}

// Test the warning of an arena whose directions give factors more than 5% apart: not at exactly
// 5% or just under; just over either way.
TEST(AnalysisSettings, StretchedArenaWarning)
{
    const std::pair<Calibration, bool> cases[] = {
        {Arena({0, 0, 100, 100}, 100.0, 105.0), false},
        {Arena({0, 0, 100, 100}, 100.0, 104.999), false},
        {Arena({0, 0, 100, 100}, 100.0, 105.001), true},
        {Arena({0, 0, 100, 100}, 105.001, 100.0), true},
        {Line({0, 0}, {1, 0}, 1.0), false},
    };
    for (const auto& [calibration, warned] : cases)
        EXPECT_EQ(FindCalibrationStretch(calibration).has_value(), warned) << calibration.widthCm;
    EXPECT_EQ(FindCalibrationStretch(Arena({0, 0, 400, 300}, 40.0, 36.0)),
              "the calibration's arena gives 0.1 cm per pixel across and 0.12 cm per pixel down, 20.00% "
              "apart; 0.109545 cm per pixel is used for both");
}

// Test every value just outside its range and at its edges, and the faults between values.
TEST(AnalysisSettings, EveryRangeAtItsEdges)
{
    const std::string s3600 = " is not a number of seconds from 0 to 3600";
    const std::string bins = "bins_s is not a number of seconds greater than 0 and at most 86400";
    const std::string window = "movement.speed_window is not a whole number of records from 1 to 600";
    const std::string noFactor =
        "calibration gives no usable number of centimetres per pixel (it is too small or "
        "too large)";
    using Change = void (*)(AnalysisSettings&, double);
    const auto merge = [](AnalysisSettings& s, double v) { s.mergeGapSeconds = v; };
    const auto visit = [](AnalysisSettings& s, double v) { s.minVisitSeconds = v; };
    const auto bin = [](AnalysisSettings& s, double v) { s.binSeconds = v; };
    const auto speedWindow = [](AnalysisSettings& s, double v)
    { s.speedWindow = static_cast<std::int32_t>(v); };
    const auto bout = [](AnalysisSettings& s, double v) { s.minImmobileSeconds = v; };
    const auto px = [](AnalysisSettings& s, double v) { s.immobileBelow = {SpeedUnit::PxPerSecond, v}; };
    const auto cm = [](AnalysisSettings& s, double v) { s.immobileBelow = {SpeedUnit::CmPerSecond, v}; };
    const auto factor = [](AnalysisSettings& s, double v) { s.calibration = Factor(v); };
    const auto line = [](AnalysisSettings& s, double v) { s.calibration = Line({0, 0}, {1, 0}, v); };
    const auto arena = [](AnalysisSettings& s, double v) { s.calibration = Arena({0, 0, 1, 1}, v, v); };
    const auto calibratedCm = [](AnalysisSettings& s, double v)
    {
        s.calibration = Line({0, 0}, {1, 0}, 1.0);
        s.immobileBelow = {SpeedUnit::CmPerSecond, v};
    };
    const std::tuple<Change, double, std::optional<std::string>> cases[] = {
        {merge, 0.0, std::nullopt},
        {merge, 3600.0, std::nullopt},
        {merge, std::nextafter(3600.0, kInf), "rules.merge_gap_s" + s3600},
        {merge, -1e-300, "rules.merge_gap_s" + s3600},
        {visit, std::nan(""), "rules.min_visit_s" + s3600},
        {visit, kInf, "rules.min_visit_s" + s3600},
        {bin, 0.0, bins},
        {bin, 1e-300, std::nullopt},
        {bin, 86400.0, std::nullopt},
        {bin, 86400.001, bins},
        {speedWindow, 0, window},
        {speedWindow, 1, std::nullopt},
        {speedWindow, 600, std::nullopt},
        {speedWindow, 601, window},
        {bout, 0.0, std::nullopt},
        {bout, 3601.0, "movement.min_immobile_s" + s3600},
        {px, 0.0, "movement.immobile_below_px_s is not a speed in pixels a second greater than 0"},
        {px, 1e-300, std::nullopt},
        {cm, 2.0, "movement.immobile_below_cm_s needs a calibration"},
        {calibratedCm, 2.0, std::nullopt},
        {calibratedCm, -2.0,
         "movement.immobile_below_cm_s is not a speed in centimetres a second greater than 0"},
        {factor, 0.0, "calibration.cm_per_px is not a number of centimetres per pixel greater than 0"},
        {line, 0.0, "calibration.length_cm is not a length in centimetres greater than 0"},
        {line, 1e-320, std::nullopt},
        {arena, -1.0,
         "calibration.size_cm is not two lengths in centimetres (width, height), each greater than 0"},
        {arena, 1e300, noFactor}, // W x H overflows
        {[](AnalysisSettings& s, double v) {
             s.calibration = Line({INT32_MIN, 0}, {INT32_MAX, 0}, v);
         },
         1e-320, noFactor}, // underflows to 0
        {[](AnalysisSettings& s, double v) {
             s.calibration = Line({5, 5}, {5, 5}, v);
         },
         1.0, "calibration.line has its two ends at the same point"},
        {[](AnalysisSettings& s, double v) {
             s.calibration = Arena({0, 5, 10, 5}, v, v);
         },
         1.0, "calibration.arena has no width or no height"},
    };
    for (const auto& [change, value, problem] : cases)
    {
        AnalysisSettings settings;
        change(settings, value);
        EXPECT_EQ(FindSettingsProblem(settings), problem) << value;
    }
}

// Test option values as text: the edges of each range, read as strictly as every tracktool number,
// and one text giving the range and the layout key.
TEST(AnalysisSettings, OptionValues)
{
    const std::tuple<SettingOption, std::string, bool> cases[] = {
        {SettingOption::CmPerPx, "0.125", true},
        {SettingOption::CmPerPx, "0", false},
        {SettingOption::MergeGap, "3600", true},
        {SettingOption::MergeGap, "3600.0001", false},
        {SettingOption::MergeGap, "-0.5", false},
        {SettingOption::MinVisit, ".25", true},
        {SettingOption::MinVisit, "", false},
        {SettingOption::Bins, "86400", true},
        {SettingOption::Bins, "0", false},
        {SettingOption::SpeedWindow, "600", true},
        {SettingOption::SpeedWindow, "601", false},
        {SettingOption::SpeedWindow, "15.0", false},
        {SettingOption::ImmobileBelow, "2.5", true},
        {SettingOption::ImmobileBelow, "nan", false},
        {SettingOption::ImmobileBelowCm, " 2", false},
    };
    for (const auto& [option, text, good] : cases)
    {
        SettingOverrides overrides;
        const auto problem = SetSettingOption(overrides, option, text);
        EXPECT_EQ(problem.has_value(), !good) << text;
        EXPECT_EQ(FindSettingOptionProblem(option, text), problem) << text;
    }
    EXPECT_EQ(FindSettingOptionProblem(SettingOption::Bins, "0"),
              "'0' is not a number of seconds greater than 0 and at most 86400 (bins_s in a layout)");
    EXPECT_EQ(FindSettingOptionProblem(SettingOption::SpeedWindow, "15.0"),
              "'15.0' is not a whole number of records from 1 to 600 (movement.speed_window in a layout)");
}

// Test that the options go on top of a layout's settings, each on its own value, and that what
// cannot be given together is refused leaving the settings as they were.
TEST(AnalysisSettings, OptionsWinOverTheLayout)
{
    const AnalysisSettings layout = ExampleSettings();
    const auto apply =
        [](const std::vector<std::pair<SettingOption, std::string>>& options, AnalysisSettings& s)
    {
        SettingOverrides overrides;
        for (const auto& [option, text] : options)
            EXPECT_EQ(SetSettingOption(overrides, option, text), std::nullopt) << text;
        return ApplySettingOverrides(overrides, s);
    };
    AnalysisSettings settings = layout;
    EXPECT_EQ(apply({}, settings), std::nullopt);
    EXPECT_TRUE(settings == layout);
    EXPECT_EQ(apply({{SettingOption::CmPerPx, "1"},
                     {SettingOption::MergeGap, "2"},
                     {SettingOption::MinVisit, "3"},
                     {SettingOption::Bins, "4"},
                     {SettingOption::SpeedWindow, "5"},
                     {SettingOption::ImmobileBelow, "6"},
                     {SettingOption::MinImmobile, "7"}},
                    settings),
              std::nullopt);
    EXPECT_TRUE(settings == (AnalysisSettings{Factor(1.0), 2.0, 3.0, 4.0, 5,
                                              ImmobilityThreshold{SpeedUnit::PxPerSecond, 6.0}, 7.0}));
    EXPECT_EQ(apply({{SettingOption::ImmobileBelowCm, "8"}}, settings), std::nullopt);
    EXPECT_EQ(settings.immobileBelow, (ImmobilityThreshold{SpeedUnit::CmPerSecond, 8.0}));

    const std::tuple<std::vector<std::pair<SettingOption, std::string>>, AnalysisSettings, std::string>
        bad[] = {
            {{{SettingOption::ImmobileBelowCm, "3"}},
             AnalysisSettings{},
             "--immobile-below-cm needs a calibration: give --cm-per-px or a layout with one"},
            {{{SettingOption::ImmobileBelowCm, "3"}, {SettingOption::ImmobileBelow, "3"}},
             layout,
             "--immobile-below and --immobile-below-cm cannot be given together"},
        };
    for (const auto& [options, base, problem] : bad)
    {
        settings = base;
        EXPECT_EQ(apply(options, settings), problem);
        EXPECT_TRUE(settings == base) << problem;
    }
    settings = AnalysisSettings{}; // a factor given beside a threshold in cm/s is its calibration
    EXPECT_EQ(apply({{SettingOption::ImmobileBelowCm, "3"}, {SettingOption::CmPerPx, "0.1"}}, settings),
              std::nullopt);
}
} // namespace
