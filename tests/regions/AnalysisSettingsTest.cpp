// The analysis settings: seconds to records, the calibration's factor in each form and the
// stretched-arena warning at its edge, every range at its edges, and the options, alone and on top
// of a layout's settings.
#include "regions/AnalysisSettings.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace
{
constexpr double kInf = std::numeric_limits<double>::infinity();

// Test the conversion of seconds to records, halves away from zero, and bins of at least a record.
TEST(AnalysisSettings, SecondsToRecords)
{
    const std::pair<double, std::uint64_t> cases[] = {
        {0.0, 0},         {0.25, 15},         {1.0, 60},
        {0.375, 23},                                                // 22.5
        {0.125, 8},       {0.0078125, 0},     {0.0078125 * 1.5, 1}, // 0.46875, 0.703125
        {3600.0, 216000}, {86400.0, 5184000},
    };
    for (const auto& [seconds, records] : cases)
        EXPECT_EQ(SecondsToRecords(seconds), records) << seconds;

    AnalysisSettings settings;
    EXPECT_EQ(settings.BinRecords(), std::nullopt);
    settings.binSeconds = 0.001;
    EXPECT_EQ(settings.BinRecords(), std::optional<std::uint64_t>(1));
    settings.binSeconds = 60.0;
    EXPECT_EQ(settings.BinRecords(), std::optional<std::uint64_t>(3600));
    settings.mergeGapSeconds = 0.5;
    settings.minVisitSeconds = 0.25;
    settings.minImmobileSeconds = 0.375;
    EXPECT_EQ(settings.MergeGapRecords(), 30u);
    EXPECT_EQ(settings.MinVisitRecords(), 15u);
    EXPECT_EQ(settings.MinImmobileRecords(), 23u);
}

Calibration Line(Point from, Point to, double lengthCm)
{
    Calibration c;
    c.form = CalibrationForm::Line;
    c.lineFrom = from;
    c.lineTo = to;
    c.lengthCm = lengthCm;
    return c;
}

Calibration Arena(Rect arena, double widthCm, double heightCm)
{
    Calibration c;
    c.form = CalibrationForm::Arena;
    c.arena = arena;
    c.widthCm = widthCm;
    c.heightCm = heightCm;
    return c;
}

// Test F in every form: a line of one pixel, lines at any angle and backwards, arenas with their
// corners in any order, and the 32-bit extremes.
TEST(AnalysisSettings, CalibrationFactor)
{
    Calibration factor;
    factor.form = CalibrationForm::Factor;
    factor.cmPerPx = 0.125;
    const std::pair<Calibration, double> cases[] = {
        {factor, 0.125},
        {Line({100, 240}, {540, 240}, 55.0), 0.125},
        {Line({7, 7}, {8, 7}, 2.5), 2.5},    // a line of one pixel
        {Line({7, 7}, {7, 6}, 2.5), 2.5},    // upwards
        {Line({10, 10}, {7, 6}, 10.0), 2.0}, // 3-4-5, backwards
        {Line({INT32_MIN, 0}, {INT32_MAX, 0}, 4294967295.0), 1.0},
        {Arena({0, 0, 400, 300}, 40.0, 30.0), 0.1},
        {Arena({400, 300, 0, 0}, 40.0, 30.0), 0.1}, // corners in the other order
        {Arena({0, 300, 400, 0}, 40.0, 30.0), 0.1},
        {Arena({0, 0, 400, 100}, 40.0, 40.0), std::sqrt(0.1 * 0.4)}, // stretched: the mean
    };
    for (const auto& [calibration, expected] : cases)
    {
        const std::optional<double> f = CalibrationFactor(calibration);
        ASSERT_TRUE(f.has_value());
        EXPECT_DOUBLE_EQ(*f, expected);
    }
    EXPECT_EQ(CalibrationFactor(Calibration{}), std::nullopt);
}

// Test the warning of an arena whose width and height give factors more than 5% apart: not at
// exactly 5%, just under or without an arena; just over either way, with its text.
TEST(AnalysisSettings, StretchedArenaWarning)
{
    const Rect square{0, 0, 100, 100};
    const std::pair<Calibration, bool> cases[] = {
        {Arena(square, 100.0, 100.0), false},         {Arena(square, 100.0, 105.0), false}, // exactly 1.05
        {Arena(square, 100.0, 104.999), false},       {Arena(square, 100.0, 105.001), true},
        {Arena(square, 105.001, 100.0), true}, // the other way
        {Arena({0, 0, 200, 100}, 100.0, 52.6), true}, {Line({0, 0}, {1, 0}, 1.0), false},
    };
    for (const auto& [calibration, warned] : cases)
        EXPECT_EQ(FindCalibrationStretch(calibration).has_value(), warned)
            << calibration.widthCm << " x " << calibration.heightCm;
    EXPECT_EQ(
        FindCalibrationStretch(Arena({0, 0, 400, 300}, 40.0, 36.0)),
        std::optional<std::string>("the calibration's arena gives 0.1 cm per pixel across and 0.12 cm per "
                                   "pixel down, 20.00% apart; 0.109545 cm per pixel is used for both"));
}

// Test that every value is refused just outside its range and accepted at its edges, with one
// text naming the key and the range.
TEST(AnalysisSettings, EveryRangeAtItsEdges)
{
    using Change = void (*)(AnalysisSettings&);
    struct Case
    {
        const char* name;
        Change change;
        std::optional<std::string> problem;
    };
    const std::string seconds3600 = " is not a number of seconds from 0 to 3600";
    const std::vector<Case> cases = {
        {"defaults", [](AnalysisSettings&) {}, std::nullopt},
        {"merge gap 0", [](AnalysisSettings& s) { s.mergeGapSeconds = 0.0; }, std::nullopt},
        {"merge gap 3600", [](AnalysisSettings& s) { s.mergeGapSeconds = 3600.0; }, std::nullopt},
        {"merge gap above 3600",
         [](AnalysisSettings& s) { s.mergeGapSeconds = std::nextafter(3600.0, kInf); },
         "rules.merge_gap_s" + seconds3600},
        {"merge gap below 0", [](AnalysisSettings& s) { s.mergeGapSeconds = -1e-300; },
         "rules.merge_gap_s" + seconds3600},
        {"minimum visit not a number", [](AnalysisSettings& s) { s.minVisitSeconds = std::nan(""); },
         "rules.min_visit_s" + seconds3600},
        {"minimum visit infinite", [](AnalysisSettings& s) { s.minVisitSeconds = kInf; },
         "rules.min_visit_s" + seconds3600},
        {"bins of 0", [](AnalysisSettings& s) { s.binSeconds = 0.0; },
         "bins_s is not a number of seconds greater than 0 and at most 86400"},
        {"the shortest bins", [](AnalysisSettings& s) { s.binSeconds = 1e-300; }, std::nullopt},
        {"bins of a day", [](AnalysisSettings& s) { s.binSeconds = 86400.0; }, std::nullopt},
        {"bins over a day", [](AnalysisSettings& s) { s.binSeconds = 86400.001; },
         "bins_s is not a number of seconds greater than 0 and at most 86400"},
        {"window 0", [](AnalysisSettings& s) { s.speedWindow = 0; },
         "movement.speed_window is not a whole number of records from 1 to 600"},
        {"window 1", [](AnalysisSettings& s) { s.speedWindow = 1; }, std::nullopt},
        {"window 600", [](AnalysisSettings& s) { s.speedWindow = 600; }, std::nullopt},
        {"window 601", [](AnalysisSettings& s) { s.speedWindow = 601; },
         "movement.speed_window is not a whole number of records from 1 to 600"},
        {"minimum bout 0", [](AnalysisSettings& s) { s.minImmobileSeconds = 0.0; }, std::nullopt},
        {"minimum bout above 3600", [](AnalysisSettings& s) { s.minImmobileSeconds = 3601.0; },
         "movement.min_immobile_s" + seconds3600},
        {"threshold 0",
         [](AnalysisSettings& s) {
             s.immobileBelow = ImmobilityThreshold{SpeedUnit::PxPerSecond, 0.0};
         },
         "movement.immobile_below_px_s is not a speed in pixels a second greater than 0"},
        {"the smallest threshold",
         [](AnalysisSettings& s) {
             s.immobileBelow = ImmobilityThreshold{SpeedUnit::PxPerSecond, 1e-300};
         },
         std::nullopt},
        {"a threshold in cm/s without a calibration",
         [](AnalysisSettings& s) {
             s.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, 2.0};
         },
         "movement.immobile_below_cm_s needs a calibration"},
        {"a threshold in cm/s with one",
         [](AnalysisSettings& s)
         {
             s.calibration = Line({0, 0}, {10, 0}, 1.0);
             s.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, 2.0};
         },
         std::nullopt},
        {"a negative threshold in cm/s",
         [](AnalysisSettings& s)
         {
             s.calibration = Line({0, 0}, {10, 0}, 1.0);
             s.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, -2.0};
         },
         "movement.immobile_below_cm_s is not a speed in centimetres a second greater than 0"},
        {"a factor of 0",
         [](AnalysisSettings& s)
         {
             s.calibration.form = CalibrationForm::Factor;
             s.calibration.cmPerPx = 0.0;
         },
         "calibration.cm_per_px is not a number of centimetres per pixel greater than 0"},
        {"a line with both ends at one point",
         [](AnalysisSettings& s) {
             s.calibration = Line({5, 5}, {5, 5}, 1.0);
         },
         "calibration.line has its two ends at the same point"},
        {"a line of no length in cm",
         [](AnalysisSettings& s) {
             s.calibration = Line({5, 5}, {6, 5}, 0.0);
         },
         "calibration.length_cm is not a length in centimetres greater than 0"},
        {"an arena without height",
         [](AnalysisSettings& s) {
             s.calibration = Arena({0, 5, 10, 5}, 1.0, 1.0);
         },
         "calibration.arena has no width or no height"},
        {"an arena of no size in cm",
         [](AnalysisSettings& s) {
             s.calibration = Arena({0, 0, 10, 5}, 1.0, -1.0);
         },
         "calibration.size_cm is not two lengths in centimetres (width, height), each greater than 0"},
        {"an arena whose factor overflows",
         [](AnalysisSettings& s) {
             s.calibration = Arena({0, 0, 1, 1}, 1e300, 1e300);
         },
         "calibration gives no usable number of centimetres per pixel (it is too small or too large)"},
        {"a line whose factor underflows",
         [](AnalysisSettings& s) {
             s.calibration = Line({INT32_MIN, 0}, {INT32_MAX, 0}, 1e-320);
         },
         "calibration gives no usable number of centimetres per pixel (it is too small or too large)"},
    };
    for (const Case& c : cases)
    {
        AnalysisSettings settings;
        c.change(settings);
        EXPECT_EQ(FindSettingsProblem(settings), c.problem) << c.name;
    }
}

// Test every option's value as text: accepted in range, refused otherwise with one text giving the
// range and the layout key, read as strictly as every tracktool number.
TEST(AnalysisSettings, OptionValues)
{
    struct Case
    {
        SettingOption option;
        std::string text;
        std::optional<std::string> problem;
    };
    const std::vector<Case> cases = {
        {SettingOption::CmPerPx, "0.125", std::nullopt},
        {SettingOption::CmPerPx, "0",
         "'0' is not a number of centimetres per pixel greater than 0 (calibration.cm_per_px in a layout)"},
        {SettingOption::MergeGap, "3600", std::nullopt},
        {SettingOption::MergeGap, "0", std::nullopt},
        {SettingOption::MergeGap, "3600.0001",
         "'3600.0001' is not a number of seconds from 0 to 3600 (rules.merge_gap_s in a layout)"},
        {SettingOption::MergeGap, "-0.5",
         "'-0.5' is not a number of seconds from 0 to 3600 (rules.merge_gap_s in a layout)"},
        {SettingOption::MinVisit, ".25", std::nullopt},
        {SettingOption::MinVisit, "1e2",
         "'1e2' is not a number of seconds from 0 to 3600 (rules.min_visit_s in a layout)"},
        {SettingOption::MinVisit, "",
         "'' is not a number of seconds from 0 to 3600 (rules.min_visit_s in a layout)"},
        {SettingOption::Bins, "60", std::nullopt},
        {SettingOption::Bins, "0",
         "'0' is not a number of seconds greater than 0 and at most 86400 (bins_s in a layout)"},
        {SettingOption::Bins, "86400.5",
         "'86400.5' is not a number of seconds greater than 0 and at most 86400 (bins_s in a layout)"},
        {SettingOption::SpeedWindow, "600", std::nullopt},
        {SettingOption::SpeedWindow, "601",
         "'601' is not a whole number of records from 1 to 600 (movement.speed_window in a layout)"},
        {SettingOption::SpeedWindow, "15.0",
         "'15.0' is not a whole number of records from 1 to 600 (movement.speed_window in a layout)"},
        {SettingOption::SpeedWindow, "+15",
         "'+15' is not a whole number of records from 1 to 600 (movement.speed_window in a layout)"},
        {SettingOption::ImmobileBelow, "2.5", std::nullopt},
        {SettingOption::ImmobileBelow, "nan",
         "'nan' is not a speed in pixels a second greater than 0 (movement.immobile_below_px_s in a layout)"},
        {SettingOption::ImmobileBelowCm, "0.000001", std::nullopt},
        {SettingOption::ImmobileBelowCm, " 2",
         "' 2' is not a speed in centimetres a second greater than 0 (movement.immobile_below_cm_s in a "
         "layout)"},
        {SettingOption::MinImmobile, "0", std::nullopt},
        {SettingOption::MinImmobile, "inf",
         "'inf' is not a number of seconds from 0 to 3600 (movement.min_immobile_s in a layout)"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(FindSettingOptionProblem(c.option, c.text), c.problem) << c.text;
        SettingOverrides overrides;
        EXPECT_EQ(SetSettingOption(overrides, c.option, c.text), c.problem) << c.text;
    }
}

// Test that the options go on top of a layout's settings, one by one, and that what they cannot
// give together is refused leaving the settings as they were.
TEST(AnalysisSettings, OptionsWinOverTheLayout)
{
    AnalysisSettings layout;
    layout.calibration = Line({100, 240}, {540, 240}, 55.0);
    layout.mergeGapSeconds = 0.5;
    layout.minVisitSeconds = 0.25;
    layout.binSeconds = 60.0;
    layout.speedWindow = 20;
    layout.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, 2.0};
    layout.minImmobileSeconds = 2.0;

    struct Case
    {
        const char* name;
        std::vector<std::pair<SettingOption, std::string>> options;
        AnalysisSettings base;
        std::optional<std::string> problem;
        void (*expect)(AnalysisSettings&); // what the base becomes
    };
    const std::vector<Case> cases = {
        {"no options", {}, layout, std::nullopt, [](AnalysisSettings&) {}},
        {"each value its own",
         {{SettingOption::MergeGap, "0"},
          {SettingOption::MinVisit, "1"},
          {SettingOption::Bins, "30"},
          {SettingOption::SpeedWindow, "5"},
          {SettingOption::MinImmobile, "0.5"}},
         layout,
         std::nullopt,
         [](AnalysisSettings& s)
         {
             s.mergeGapSeconds = 0.0;
             s.minVisitSeconds = 1.0;
             s.binSeconds = 30.0;
             s.speedWindow = 5;
             s.minImmobileSeconds = 0.5;
         }},
        {"a factor replaces the line",
         {{SettingOption::CmPerPx, "0.2"}},
         layout,
         std::nullopt,
         [](AnalysisSettings& s)
         {
             s.calibration = Calibration{};
             s.calibration.form = CalibrationForm::Factor;
             s.calibration.cmPerPx = 0.2;
         }},
        {"a threshold in px/s replaces one in cm/s",
         {{SettingOption::ImmobileBelow, "40"}},
         layout,
         std::nullopt,
         [](AnalysisSettings& s) {
             s.immobileBelow = ImmobilityThreshold{SpeedUnit::PxPerSecond, 40.0};
         }},
        {"cm/s with the layout's calibration",
         {{SettingOption::ImmobileBelowCm, "3"}},
         layout,
         std::nullopt,
         [](AnalysisSettings& s) {
             s.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, 3.0};
         }},
        {"cm/s with a factor given beside it",
         {{SettingOption::ImmobileBelowCm, "3"}, {SettingOption::CmPerPx, "0.1"}},
         AnalysisSettings{},
         std::nullopt,
         [](AnalysisSettings& s)
         {
             s.calibration.form = CalibrationForm::Factor;
             s.calibration.cmPerPx = 0.1;
             s.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, 3.0};
         }},
        {"cm/s without any calibration",
         {{SettingOption::ImmobileBelowCm, "3"}},
         AnalysisSettings{},
         "--immobile-below-cm needs a calibration: give --cm-per-px or a layout with one",
         [](AnalysisSettings&) {}},
        {"both thresholds",
         {{SettingOption::ImmobileBelowCm, "3"}, {SettingOption::ImmobileBelow, "3"}},
         layout,
         "--immobile-below and --immobile-below-cm cannot be given together",
         [](AnalysisSettings&) {}},
    };
    for (const Case& c : cases)
    {
        SettingOverrides overrides;
        for (const auto& [option, text] : c.options)
            ASSERT_EQ(SetSettingOption(overrides, option, text), std::nullopt) << c.name;
        AnalysisSettings settings = c.base;
        AnalysisSettings expected = c.base;
        c.expect(expected);
        EXPECT_EQ(ApplySettingOverrides(overrides, settings), c.problem) << c.name;
        EXPECT_TRUE(settings == expected) << c.name;
    }
}

// Test that every option is declared once, with a name of its own, and that each sets its own
// value only.
TEST(AnalysisSettings, EveryOptionSetsItsOwnValue)
{
    for (const SettingOptionInfo& info : kSettingOptions)
    {
        std::size_t sameName = 0;
        for (const SettingOptionInfo& other : kSettingOptions)
            sameName += other.name == info.name || other.option == info.option ? 1 : 0;
        EXPECT_EQ(sameName, 1u) << info.name;
        EXPECT_EQ(info.name.substr(0, 2), "--");
        EXPECT_FALSE(info.help.empty()) << info.name;

        // A value every option takes, unlike any default.
        SettingOverrides overrides;
        ASSERT_EQ(SetSettingOption(overrides, info.option, "7"), std::nullopt) << info.name;
        const int given = (overrides.cmPerPx ? 1 : 0) + (overrides.mergeGapSeconds ? 1 : 0) +
                          (overrides.minVisitSeconds ? 1 : 0) + (overrides.binSeconds ? 1 : 0) +
                          (overrides.speedWindow ? 1 : 0) + (overrides.immobileBelowPx ? 1 : 0) +
                          (overrides.immobileBelowCm ? 1 : 0) + (overrides.minImmobileSeconds ? 1 : 0);
        EXPECT_EQ(given, 1) << info.name;
        AnalysisSettings settings;
        settings.calibration.form = CalibrationForm::Factor;
        settings.calibration.cmPerPx = 1.0;
        const AnalysisSettings before = settings;
        ASSERT_EQ(ApplySettingOverrides(overrides, settings), std::nullopt) << info.name;
        EXPECT_FALSE(settings == before) << info.name;
    }
}
} // namespace
