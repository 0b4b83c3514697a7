#include "regions/AnalysisSettings.h"

#include "base/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace
{
constexpr double kNoLimit = std::numeric_limits<double>::infinity();
constexpr double kRecordsPerSecond = 60.0;
// An arena whose two directions give factors further apart than this (larger over smaller) is
// warned about.
constexpr double kStretchTolerance = 1.05;

// The range of one key and how messages name what it holds.
struct KeyRange
{
    SettingKey key;
    std::string_view layoutKey;
    std::string_view quantity; // "a number of seconds"
    double min;
    LowerBound bound;
    double max;
    bool whole; // counted in records: a whole number
};

constexpr std::array kKeyRanges = {
    KeyRange{SettingKey::CmPerPx, "calibration.cm_per_px", "a number of centimetres per pixel", 0.0,
             LowerBound::Excluded, kNoLimit, false},
    KeyRange{SettingKey::LengthCm, "calibration.length_cm", "a length in centimetres", 0.0,
             LowerBound::Excluded, kNoLimit, false},
    KeyRange{SettingKey::SizeCm, "calibration.size_cm", "two lengths in centimetres (width, height), each",
             0.0, LowerBound::Excluded, kNoLimit, false},
    KeyRange{SettingKey::MergeGap, "rules.merge_gap_s", "a number of seconds", 0.0, LowerBound::Included,
             kMaxRuleSeconds, false},
    KeyRange{SettingKey::MinVisit, "rules.min_visit_s", "a number of seconds", 0.0, LowerBound::Included,
             kMaxRuleSeconds, false},
    KeyRange{SettingKey::Bins, "bins_s", "a number of seconds", 0.0, LowerBound::Excluded, kMaxBinSeconds,
             false},
    KeyRange{SettingKey::SpeedWindow, "movement.speed_window", "a whole number of records", 1.0,
             LowerBound::Included, static_cast<double>(kMaxSpeedWindow), true},
    KeyRange{SettingKey::ImmobileBelowPx, "movement.immobile_below_px_s", "a speed in pixels a second", 0.0,
             LowerBound::Excluded, kNoLimit, false},
    KeyRange{SettingKey::ImmobileBelowCm, "movement.immobile_below_cm_s", "a speed in centimetres a second",
             0.0, LowerBound::Excluded, kNoLimit, false},
    KeyRange{SettingKey::MinImmobile, "movement.min_immobile_s", "a number of seconds", 0.0,
             LowerBound::Included, kMaxRuleSeconds, false},
};

const KeyRange& RangeOf(SettingKey key)
{
    const auto* found =
        std::find_if(kKeyRanges.begin(), kKeyRanges.end(), [key](const KeyRange& r) { return r.key == key; });
    return *found; // every key has its row
}

// The width and height of a rectangle with its corners in any order, in pixels.
double WidthOf(const Rect& r)
{
    return std::abs(static_cast<double>(r.right) - static_cast<double>(r.left));
}
double HeightOf(const Rect& r)
{
    return std::abs(static_cast<double>(r.bottom) - static_cast<double>(r.top));
}

std::optional<std::string> FindCalibrationProblem(const Calibration& c)
{
    switch (c.form)
    {
    case CalibrationForm::None:
        return std::nullopt;
    case CalibrationForm::Factor:
        if (!IsSettingInRange(SettingKey::CmPerPx, c.cmPerPx))
            return SettingRangeProblem(SettingKey::CmPerPx);
        break;
    case CalibrationForm::Line:
        if (c.lineFrom == c.lineTo)
            return "calibration.line has its two ends at the same point";
        if (!IsSettingInRange(SettingKey::LengthCm, c.lengthCm))
            return SettingRangeProblem(SettingKey::LengthCm);
        break;
    case CalibrationForm::Arena:
        if (WidthOf(c.arena) == 0.0 || HeightOf(c.arena) == 0.0)
            return "calibration.arena has no width or no height";
        if (!IsSettingInRange(SettingKey::SizeCm, c.widthCm) ||
            !IsSettingInRange(SettingKey::SizeCm, c.heightCm))
            return SettingRangeProblem(SettingKey::SizeCm);
        break;
    }
    // Extreme lengths can give a factor that underflows to 0 or overflows.
    const double factor = CalibrationFactor(c).value_or(0.0);
    if (!(std::isfinite(factor) && factor > 0.0))
        return "calibration gives no usable number of centimetres per pixel (it is too small or too large)";
    return std::nullopt;
}

// What is wrong with value (the option's text) for the option's key.
std::string OptionProblem(SettingKey key, std::string_view text)
{
    return "'" + std::string(text) + "' is not " + DescribeSettingRange(key) + " (" +
           std::string(LayoutKeyOf(key)) + " in a layout)";
}

const SettingOptionInfo& InfoOf(SettingOption option)
{
    const auto* found = std::find_if(kSettingOptions.begin(), kSettingOptions.end(),
                                     [option](const SettingOptionInfo& i) { return i.option == option; });
    return *found; // every option has its row
}

// The option's value as its key takes it: a whole number or a decimal, in range.
std::optional<double> ParseOptionValue(SettingKey key, std::string_view text)
{
    const KeyRange& range = RangeOf(key);
    if (range.whole)
    {
        const auto value = ParseWholeNumber(text, static_cast<std::int64_t>(range.min),
                                            static_cast<std::int64_t>(range.max));
        return value ? std::optional<double>(static_cast<double>(*value)) : std::nullopt;
    }
    return ParseDecimalNumber(text, range.min, range.bound, range.max);
}
} // namespace

const std::array<SettingOptionInfo, 8> kSettingOptions = {
    SettingOptionInfo{
        SettingOption::CmPerPx, SettingKey::CmPerPx, "--cm-per-px", "CM",
        "centimetres per pixel, for the figures in centimetres (replaces the layout's calibration)"},
    SettingOptionInfo{SettingOption::MergeGap, SettingKey::MergeGap, "--merge-gap", "SECONDS",
                      "exits from a region shorter than this join the visits around them (default 0)"},
    SettingOptionInfo{SettingOption::MinVisit, SettingKey::MinVisit, "--min-visit", "SECONDS",
                      "complete visits shorter than this are not counted (default 0)"},
    SettingOptionInfo{SettingOption::Bins, SettingKey::Bins, "--bins", "SECONDS",
                      "figures per time bin of this length as well (default: none)"},
    SettingOptionInfo{SettingOption::SpeedWindow, SettingKey::SpeedWindow, "--speed-window", "N",
                      "records the speed is averaged over (default 15)"},
    SettingOptionInfo{SettingOption::ImmobileBelow, SettingKey::ImmobileBelowPx, "--immobile-below", "PX_S",
                      "a record is still below this speed in pixels a second (default: no immobility)"},
    SettingOptionInfo{SettingOption::ImmobileBelowCm, SettingKey::ImmobileBelowCm, "--immobile-below-cm",
                      "CM_S",
                      "a record is still below this speed in centimetres a second; needs a calibration"},
    SettingOptionInfo{SettingOption::MinImmobile, SettingKey::MinImmobile, "--min-immobile", "SECONDS",
                      "still runs at least this long are immobility bouts (default 1)"},
};

std::uint64_t SecondsToRecords(double seconds)
{
    return static_cast<std::uint64_t>(std::round(seconds * kRecordsPerSecond)); // halves away from zero
}

std::optional<std::uint64_t> AnalysisSettings::BinRecords() const
{
    if (!binSeconds)
        return std::nullopt;
    return std::max<std::uint64_t>(SecondsToRecords(*binSeconds), 1);
}

std::optional<double> CalibrationFactor(const Calibration& c)
{
    switch (c.form)
    {
    case CalibrationForm::Factor:
        return c.cmPerPx;
    case CalibrationForm::Line:
        return c.lengthCm / std::hypot(static_cast<double>(c.lineTo.x) - static_cast<double>(c.lineFrom.x),
                                       static_cast<double>(c.lineTo.y) - static_cast<double>(c.lineFrom.y));
    case CalibrationForm::Arena:
        return std::sqrt(c.widthCm * c.heightCm / (WidthOf(c.arena) * HeightOf(c.arena)));
    case CalibrationForm::None:
        break;
    }
    return std::nullopt;
}

std::optional<std::string> FindCalibrationStretch(const Calibration& c)
{
    if (c.form != CalibrationForm::Arena)
        return std::nullopt;
    const double across = c.widthCm / WidthOf(c.arena);
    const double down = c.heightCm / HeightOf(c.arena);
    const double ratio = std::max(across, down) / std::min(across, down);
    if (!(ratio > kStretchTolerance))
        return std::nullopt;
    // Factors with six significant digits, the percentage with two decimals; to_chars never looks
    // at the locale (the window runs with the user's).
    constexpr int kFactorDigits = 6;
    constexpr int kPercentDecimals = 2;
    constexpr double kPercent = 100.0;
    const auto number = [](double value, std::chars_format format, int precision)
    {
        std::array<char, 64> buffer{};
        const auto [end, error] =
            std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, precision);
        return error == std::errc{} ? std::string(buffer.data(), end) : std::string("?");
    };
    const auto factor = [&number](double value)
    { return number(value, std::chars_format::general, kFactorDigits); };
    return "the calibration's arena gives " + factor(across) + " cm per pixel across and " + factor(down) +
           " cm per pixel down, " +
           number((ratio - 1.0) * kPercent, std::chars_format::fixed, kPercentDecimals) + "% apart; " +
           factor(CalibrationFactor(c).value_or(0.0)) + " cm per pixel is used for both";
}

std::string_view LayoutKeyOf(SettingKey key)
{
    return RangeOf(key).layoutKey;
}

std::string DescribeSettingRange(SettingKey key)
{
    const KeyRange& range = RangeOf(key);
    return std::string(range.quantity) + " " + DescribeNumberRange(range.min, range.bound, range.max);
}

std::string SettingRangeProblem(SettingKey key)
{
    return std::string(LayoutKeyOf(key)) + " is not " + DescribeSettingRange(key);
}

bool IsSettingInRange(SettingKey key, double value)
{
    const KeyRange& range = RangeOf(key);
    if (!std::isfinite(value) || value > range.max)
        return false;
    if (range.bound == LowerBound::Included ? value < range.min : value <= range.min)
        return false;
    return !range.whole || value == std::floor(value);
}

std::optional<std::string> FindSettingsProblem(const AnalysisSettings& s)
{
    if (auto problem = FindCalibrationProblem(s.calibration))
        return problem;
    const std::pair<SettingKey, double> values[] = {
        {SettingKey::MergeGap, s.mergeGapSeconds},
        {SettingKey::MinVisit, s.minVisitSeconds},
        {SettingKey::Bins, s.binSeconds.value_or(1.0)}, // unset is fine
        {SettingKey::SpeedWindow, static_cast<double>(s.speedWindow)},
        {SettingKey::MinImmobile, s.minImmobileSeconds},
    };
    for (const auto& [key, value] : values)
        if (!IsSettingInRange(key, value))
            return SettingRangeProblem(key);
    if (s.immobileBelow)
    {
        const bool inCm = s.immobileBelow->unit == SpeedUnit::CmPerSecond;
        const SettingKey key = inCm ? SettingKey::ImmobileBelowCm : SettingKey::ImmobileBelowPx;
        if (!IsSettingInRange(key, s.immobileBelow->value))
            return SettingRangeProblem(key);
        if (inCm && s.calibration.form == CalibrationForm::None)
            return std::string(LayoutKeyOf(key)) + " needs a calibration";
    }
    return std::nullopt;
}

std::optional<std::string> FindSettingOptionProblem(SettingOption option, std::string_view text)
{
    const SettingKey key = InfoOf(option).key;
    if (!ParseOptionValue(key, text))
        return OptionProblem(key, text);
    return std::nullopt;
}

std::optional<std::string> SetSettingOption(SettingOverrides& overrides, SettingOption option,
                                            std::string_view text)
{
    const SettingKey key = InfoOf(option).key;
    const std::optional<double> value = ParseOptionValue(key, text);
    if (!value)
        return OptionProblem(key, text);
    switch (option)
    {
    case SettingOption::CmPerPx:
        overrides.cmPerPx = *value;
        break;
    case SettingOption::MergeGap:
        overrides.mergeGapSeconds = *value;
        break;
    case SettingOption::MinVisit:
        overrides.minVisitSeconds = *value;
        break;
    case SettingOption::Bins:
        overrides.binSeconds = *value;
        break;
    case SettingOption::SpeedWindow:
        overrides.speedWindow = static_cast<std::int32_t>(*value);
        break;
    case SettingOption::ImmobileBelow:
        overrides.immobileBelowPx = *value;
        break;
    case SettingOption::ImmobileBelowCm:
        overrides.immobileBelowCm = *value;
        break;
    case SettingOption::MinImmobile:
        overrides.minImmobileSeconds = *value;
        break;
    }
    return std::nullopt;
}

std::optional<std::string> ApplySettingOverrides(const SettingOverrides& o, AnalysisSettings& settings)
{
    const std::string_view below = InfoOf(SettingOption::ImmobileBelow).name;
    const std::string_view belowCm = InfoOf(SettingOption::ImmobileBelowCm).name;
    if (o.immobileBelowPx && o.immobileBelowCm)
        return std::string(below) + " and " + std::string(belowCm) + " cannot be given together";
    AnalysisSettings result = settings;
    if (o.cmPerPx)
    {
        result.calibration = Calibration{};
        result.calibration.form = CalibrationForm::Factor;
        result.calibration.cmPerPx = *o.cmPerPx;
    }
    result.mergeGapSeconds = o.mergeGapSeconds.value_or(result.mergeGapSeconds);
    result.minVisitSeconds = o.minVisitSeconds.value_or(result.minVisitSeconds);
    if (o.binSeconds)
        result.binSeconds = o.binSeconds;
    result.speedWindow = o.speedWindow.value_or(result.speedWindow);
    if (o.immobileBelowPx)
        result.immobileBelow = ImmobilityThreshold{SpeedUnit::PxPerSecond, *o.immobileBelowPx};
    if (o.immobileBelowCm)
        result.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, *o.immobileBelowCm};
    result.minImmobileSeconds = o.minImmobileSeconds.value_or(result.minImmobileSeconds);
    if (o.immobileBelowCm && result.calibration.form == CalibrationForm::None)
        return std::string(belowCm) + " needs a calibration: give " +
               std::string(InfoOf(SettingOption::CmPerPx).name) + " or a layout with one";
    // The options were checked one by one and the layout when it was read; this is the last word.
    if (auto problem = FindSettingsProblem(result))
        return problem;
    settings = result;
    return std::nullopt;
}
