// How the figures of a track are counted beyond the visit rule itself: a calibration in
// centimetres, entry rules that merge short exits and drop short visits, time bins, and the
// movement measures (a windowed speed and immobility bouts). A region layout holds them beside its
// regions (regions/LayoutSettings.h reads and writes them); each may also be given as a command-line
// option, which wins over the layout. Every default leaves the figures as they were without them.
//
// Durations are given in seconds and used in records, converted once by SecondsToRecords.
//
// Every value has one allowed range, checked here for a layout, an option or a dialog alike; a
// problem is told as one text naming the layout key (or the option) and the range.
#pragma once

#include "base/Geometry.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Records for a duration in seconds at 60 records a second: round(seconds x 60), halves away from
// zero. Meant for the checked settings below (0 to 86400 s).
[[nodiscard]] std::uint64_t SecondsToRecords(double seconds);

enum class CalibrationForm
{
    None,   // no calibration: every figure in centimetres is empty
    Factor, // calibration.cm_per_px
    Line,   // calibration.line and length_cm: a line of known length
    Arena,  // calibration.arena and size_cm: a rectangle of known size
};

// A calibration as given, in one of its forms; only the fields of its form mean anything.
struct Calibration
{
    CalibrationForm form = CalibrationForm::None;
    double cmPerPx = 0.0;  // Factor
    Point lineFrom;        // Line: the ends of the line, in plot pixels
    Point lineTo;          //
    double lengthCm = 0.0; // Line: its length
    Rect arena;            // Arena: corners in any order, in plot pixels
    double widthCm = 0.0;  // Arena: its width and height
    double heightCm = 0.0; //
    friend bool operator==(const Calibration&, const Calibration&) = default;
};

// F, centimetres per pixel: the factor as given, length_cm / the line's length in pixels, or
// sqrt(W x H / (w x h)) for an arena of w x h pixels and W x H cm. Nothing without a calibration;
// for a calibration FindSettingsProblem refuses, whatever the arithmetic gives.
[[nodiscard]] std::optional<double> CalibrationFactor(const Calibration& calibration);

// For an arena whose width and height give centimetres per pixel more than 5% apart (the larger
// over the smaller above 1.05), the warning to tell: the result is still used. Nothing otherwise.
[[nodiscard]] std::optional<std::string> FindCalibrationStretch(const Calibration& calibration);

enum class SpeedUnit
{
    PxPerSecond, // movement.immobile_below_px_s
    CmPerSecond, // movement.immobile_below_cm_s: needs a calibration
};

// A record is still when its windowed speed is below this.
struct ImmobilityThreshold
{
    SpeedUnit unit = SpeedUnit::PxPerSecond;
    double value = 0.0;
    friend bool operator==(const ImmobilityThreshold&, const ImmobilityThreshold&) = default;
};

inline constexpr std::int32_t kDefaultSpeedWindow = 15;   // records
inline constexpr double kDefaultMinImmobileSeconds = 1.0; // 60 records
inline constexpr double kMaxRuleSeconds = 3600.0;         // merge gap, minimum visit, bout
inline constexpr double kMaxBinSeconds = 86400.0;         // one day
inline constexpr std::int32_t kMaxSpeedWindow = 600;      // records: 10 s

struct AnalysisSettings
{
    Calibration calibration;
    double mergeGapSeconds = 0.0;                           // rules.merge_gap_s
    double minVisitSeconds = 0.0;                           // rules.min_visit_s
    std::optional<double> binSeconds;                       // bins_s; none: no time bins
    std::int32_t speedWindow = kDefaultSpeedWindow;         // movement.speed_window, records
    std::optional<ImmobilityThreshold> immobileBelow;       // none: no immobility figures
    double minImmobileSeconds = kDefaultMinImmobileSeconds; // movement.min_immobile_s

    // The durations in records. Exits shorter than MergeGapRecords are merged, complete visits
    // shorter than MinVisitRecords dropped, still runs shorter than MinImmobileRecords are no bout.
    [[nodiscard]] std::uint64_t MergeGapRecords() const { return SecondsToRecords(mergeGapSeconds); }
    [[nodiscard]] std::uint64_t MinVisitRecords() const { return SecondsToRecords(minVisitSeconds); }
    [[nodiscard]] std::uint64_t MinImmobileRecords() const { return SecondsToRecords(minImmobileSeconds); }
    // Records a bin, at least 1; none without bins.
    [[nodiscard]] std::optional<std::uint64_t> BinRecords() const;

    friend bool operator==(const AnalysisSettings&, const AnalysisSettings&) = default;
};

// The first value that is out of its range, or a speed in cm/s without a calibration, told as
// "rules.merge_gap_s is not a number of seconds from 0 to 3600"; nothing when all are usable.
[[nodiscard]] std::optional<std::string> FindSettingsProblem(const AnalysisSettings& settings);

// Every value a setting may take, one per key of a layout.
enum class SettingKey
{
    CmPerPx,
    LengthCm,
    SizeCm,
    MergeGap,
    MinVisit,
    Bins,
    SpeedWindow,
    ImmobileBelowPx,
    ImmobileBelowCm,
    MinImmobile,
};

// "rules.merge_gap_s".
[[nodiscard]] std::string_view LayoutKeyOf(SettingKey key);
// "a number of seconds from 0 to 3600": what a value of the key must be.
[[nodiscard]] std::string DescribeSettingRange(SettingKey key);
// "rules.merge_gap_s is not a number of seconds from 0 to 3600".
[[nodiscard]] std::string SettingRangeProblem(SettingKey key);
// Whether value is one the key takes (finite, in range, whole where records are counted).
[[nodiscard]] bool IsSettingInRange(SettingKey key, double value);

// The command-line options, named after the layout keys.
enum class SettingOption
{
    CmPerPx,         // --cm-per-px F
    MergeGap,        // --merge-gap S
    MinVisit,        // --min-visit S
    Bins,            // --bins S
    SpeedWindow,     // --speed-window N
    ImmobileBelow,   // --immobile-below PX_S
    ImmobileBelowCm, // --immobile-below-cm CM_S
    MinImmobile,     // --min-immobile S
};

// What the command line needs to declare an option.
struct SettingOptionInfo
{
    SettingOption option;
    SettingKey key;
    std::string_view name;     // "--merge-gap"
    std::string_view typeName; // "SECONDS", the placeholder the help shows
    std::string_view help;     // the help text, with the default
};

// Every option, in the order a help lists them.
extern const std::array<SettingOptionInfo, 8> kSettingOptions;

// The values given as options; each one given wins over the layout's.
struct SettingOverrides
{
    std::optional<double> cmPerPx;
    std::optional<double> mergeGapSeconds;
    std::optional<double> minVisitSeconds;
    std::optional<double> binSeconds;
    std::optional<std::int32_t> speedWindow;
    std::optional<double> immobileBelowPx;
    std::optional<double> immobileBelowCm;
    std::optional<double> minImmobileSeconds;
};

// What is wrong with text as the value of the option ("'0' is not a number of seconds greater
// than 0 and at most 86400 (bins_s in a layout)"); the command line puts the option's name before
// it. Numbers are read as every tracktool number is (base/NumberText.h). Nothing when it is good.
[[nodiscard]] std::optional<std::string> FindSettingOptionProblem(SettingOption option,
                                                                  std::string_view text);

// Sets the option from text in overrides; on a problem (as FindSettingOptionProblem tells it)
// returns it and leaves overrides as they were.
std::optional<std::string> SetSettingOption(SettingOverrides& overrides, SettingOption option,
                                            std::string_view text);

// Puts the options given on top of settings (a layout's, or the defaults): --cm-per-px replaces
// the calibration, either immobility threshold replaces the other. The problem when the result
// cannot be used (both thresholds given, or a threshold in cm/s without any calibration), naming
// the options; settings are then left as they were.
std::optional<std::string> ApplySettingOverrides(const SettingOverrides& overrides,
                                                 AnalysisSettings& settings);
