#include "regions/LayoutSettings.h"

#include "regions/JsonNumbers.h"

#include <limits>

namespace
{
using Json = nlohmann::json;

constexpr std::int64_t kLowestInt32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kHighestInt32 = std::numeric_limits<std::int32_t>::max();

// A number the caller checks for range later; nothing when it is not a number at all.
std::optional<double> NumberOf(const Json& value)
{
    if (!value.is_number())
        return std::nullopt;
    return value.get<double>();
}

// Reads parent[name] as a number into value when it is there; the key's problem when it is not a
// number.
std::optional<std::string> ReadNumber(const Json& parent, const char* name, SettingKey key, double& value)
{
    const auto found = parent.find(name);
    if (found == parent.end())
        return std::nullopt;
    const auto number = NumberOf(*found);
    if (!number)
        return SettingRangeProblem(key);
    value = *number;
    return std::nullopt;
}

// [x, y] as a point of whole 32-bit numbers.
std::optional<Point> PointOf(const Json& value)
{
    if (!value.is_array() || value.size() != 2)
        return std::nullopt;
    const auto x = WholeNumberIn(value[0], kLowestInt32, kHighestInt32);
    const auto y = WholeNumberIn(value[1], kLowestInt32, kHighestInt32);
    if (!x || !y)
        return std::nullopt;
    return Point{static_cast<std::int32_t>(*x), static_cast<std::int32_t>(*y)};
}

std::optional<std::string> ReadLine(const Json& calibration, Calibration& c)
{
    const Json& line = calibration.at("line");
    const std::optional<Point> from = line.is_array() && line.size() == 2 ? PointOf(line[0]) : std::nullopt;
    const std::optional<Point> to = line.is_array() && line.size() == 2 ? PointOf(line[1]) : std::nullopt;
    if (!from || !to)
        return "calibration.line is not two points [[x1, y1], [x2, y2]] of whole numbers from " +
               std::to_string(kLowestInt32) + " to " + std::to_string(kHighestInt32);
    if (!calibration.contains("length_cm"))
        return "calibration.length_cm is missing; a line calibrates with its length";
    c.form = CalibrationForm::Line;
    c.lineFrom = *from;
    c.lineTo = *to;
    return ReadNumber(calibration, "length_cm", SettingKey::LengthCm, c.lengthCm);
}

std::optional<std::string> ReadArena(const Json& calibration, Calibration& c)
{
    const Json& arena = calibration.at("arena");
    constexpr std::size_t kCorners = 4;
    std::array<std::int32_t, kCorners> corners{};
    bool whole = arena.is_array() && arena.size() == kCorners;
    for (std::size_t k = 0; whole && k < kCorners; ++k)
    {
        const auto value = WholeNumberIn(arena[k], kLowestInt32, kHighestInt32);
        whole = value.has_value();
        corners[k] = static_cast<std::int32_t>(value.value_or(0));
    }
    if (!whole)
        return std::string(
            "calibration.arena is not a list of four whole numbers (left, top, right, bottom)");
    const auto size = calibration.find("size_cm");
    if (size == calibration.end())
        return "calibration.size_cm is missing; an arena calibrates with its size";
    const std::optional<double> width =
        size->is_array() && size->size() == 2 ? NumberOf((*size)[0]) : std::nullopt;
    const std::optional<double> height =
        size->is_array() && size->size() == 2 ? NumberOf((*size)[1]) : std::nullopt;
    if (!width || !height)
        return SettingRangeProblem(SettingKey::SizeCm);
    c.form = CalibrationForm::Arena;
    c.arena = Rect{corners[0], corners[1], corners[2], corners[3]};
    c.widthCm = *width;
    c.heightCm = *height;
    return std::nullopt;
}

std::optional<std::string> ReadCalibration(const Json& root, Calibration& c)
{
    const auto found = root.find("calibration");
    if (found == root.end())
        return std::nullopt;
    if (!found->is_object())
        return std::string("calibration is not an object with cm_per_px, line or arena");
    const int forms = static_cast<int>(found->contains("cm_per_px")) +
                      static_cast<int>(found->contains("line")) + static_cast<int>(found->contains("arena"));
    if (forms != 1)
        return std::string(forms == 0 ? "calibration has none of cm_per_px, line and arena"
                                      : "calibration has more than one of cm_per_px, line and arena");
    c = Calibration{};
    if (found->contains("line"))
        return ReadLine(*found, c);
    if (found->contains("arena"))
        return ReadArena(*found, c);
    c.form = CalibrationForm::Factor;
    return ReadNumber(*found, "cm_per_px", SettingKey::CmPerPx, c.cmPerPx);
}

// root[name] as an object when it is there; the problem when it is something else.
std::optional<std::string> FindObject(const Json& root, const char* name, const Json*& object)
{
    object = nullptr;
    const auto found = root.find(name);
    if (found == root.end())
        return std::nullopt;
    if (!found->is_object())
        return std::string(name) + " is not an object";
    object = &*found;
    return std::nullopt;
}

std::optional<std::string> ReadMovement(const Json& movement, AnalysisSettings& s)
{
    if (const auto window = movement.find("speed_window"); window != movement.end())
    {
        const auto value = WholeNumberIn(*window, 1, kMaxSpeedWindow);
        if (!value)
            return SettingRangeProblem(SettingKey::SpeedWindow);
        s.speedWindow = static_cast<std::int32_t>(*value);
    }
    const bool inCm = movement.contains("immobile_below_cm_s");
    const bool inPx = movement.contains("immobile_below_px_s");
    if (inCm && inPx)
        return std::string("movement has both immobile_below_cm_s and immobile_below_px_s; give one");
    if (inCm || inPx)
    {
        ImmobilityThreshold threshold{inCm ? SpeedUnit::CmPerSecond : SpeedUnit::PxPerSecond, 0.0};
        if (auto problem =
                ReadNumber(movement, inCm ? "immobile_below_cm_s" : "immobile_below_px_s",
                           inCm ? SettingKey::ImmobileBelowCm : SettingKey::ImmobileBelowPx, threshold.value))
            return problem;
        s.immobileBelow = threshold;
    }
    return ReadNumber(movement, "min_immobile_s", SettingKey::MinImmobile, s.minImmobileSeconds);
}

std::string Number(double value)
{
    return Json(value).dump(); // the shortest text that reads back as the same double
}

std::string PointText(const Point& p)
{
    return "[" + std::to_string(p.x) + ", " + std::to_string(p.y) + "]";
}

std::string CalibrationText(const Calibration& c)
{
    switch (c.form)
    {
    case CalibrationForm::Factor:
        return "{ \"cm_per_px\": " + Number(c.cmPerPx) + " }";
    case CalibrationForm::Line:
        return "{ \"line\": [" + PointText(c.lineFrom) + ", " + PointText(c.lineTo) +
               "], \"length_cm\": " + Number(c.lengthCm) + " }";
    case CalibrationForm::Arena:
        return "{ \"arena\": [" + std::to_string(c.arena.left) + ", " + std::to_string(c.arena.top) + ", " +
               std::to_string(c.arena.right) + ", " + std::to_string(c.arena.bottom) + "], \"size_cm\": [" +
               Number(c.widthCm) + ", " + Number(c.heightCm) + "] }";
    case CalibrationForm::None:
        break;
    }
    return {};
}

const char* ThresholdKey(SpeedUnit unit)
{
    return unit == SpeedUnit::CmPerSecond ? "immobile_below_cm_s" : "immobile_below_px_s";
}

Json CalibrationReceipt(const Calibration& c)
{
    Json out = Json::object();
    const std::optional<double> factor = CalibrationFactor(c);
    out["cm_per_px"] = factor ? Json(*factor) : Json(nullptr);
    switch (c.form)
    {
    case CalibrationForm::None:
        out["form"] = "none";
        break;
    case CalibrationForm::Factor:
        out["form"] = "cm_per_px";
        break;
    case CalibrationForm::Line:
        out["form"] = "line";
        out["line"] = {{c.lineFrom.x, c.lineFrom.y}, {c.lineTo.x, c.lineTo.y}};
        out["length_cm"] = c.lengthCm;
        break;
    case CalibrationForm::Arena:
        out["form"] = "arena";
        out["arena"] = {c.arena.left, c.arena.top, c.arena.right, c.arena.bottom};
        out["size_cm"] = {c.widthCm, c.heightCm};
        break;
    }
    return out;
}
} // namespace

std::optional<std::string> ReadLayoutSettings(const Json& root, AnalysisSettings& s)
{
    if (auto problem = ReadCalibration(root, s.calibration))
        return problem;
    const Json* rules = nullptr;
    if (auto problem = FindObject(root, "rules", rules))
        return problem;
    if (rules != nullptr)
    {
        if (auto problem = ReadNumber(*rules, "merge_gap_s", SettingKey::MergeGap, s.mergeGapSeconds))
            return problem;
        if (auto problem = ReadNumber(*rules, "min_visit_s", SettingKey::MinVisit, s.minVisitSeconds))
            return problem;
    }
    if (root.contains("bins_s"))
    {
        double seconds = 0.0;
        if (auto problem = ReadNumber(root, "bins_s", SettingKey::Bins, seconds))
            return problem;
        s.binSeconds = seconds;
    }
    const Json* movement = nullptr;
    if (auto problem = FindObject(root, "movement", movement))
        return problem;
    if (movement != nullptr)
        if (auto problem = ReadMovement(*movement, s))
            return problem;
    return FindSettingsProblem(s);
}

std::string FormatLayoutSettings(const AnalysisSettings& s)
{
    std::string text;
    if (s.calibration.form != CalibrationForm::None)
        text += "  \"calibration\": " + CalibrationText(s.calibration) + ",\n";
    text += "  \"rules\": { \"merge_gap_s\": " + Number(s.mergeGapSeconds) +
            ", \"min_visit_s\": " + Number(s.minVisitSeconds) + " },\n";
    if (s.binSeconds)
        text += "  \"bins_s\": " + Number(*s.binSeconds) + ",\n";
    text += "  \"movement\": { \"speed_window\": " + std::to_string(s.speedWindow);
    if (s.immobileBelow)
        text += ", \"" + std::string(ThresholdKey(s.immobileBelow->unit)) +
                "\": " + Number(s.immobileBelow->value);
    text += ", \"min_immobile_s\": " + Number(s.minImmobileSeconds) + " },\n";
    return text;
}

Json SettingsReceipt(const AnalysisSettings& s)
{
    Json out = Json::object();
    out["calibration"] = CalibrationReceipt(s.calibration);
    out["rules"] = {{"merge_gap_s", s.mergeGapSeconds},
                    {"merge_gap_records", s.MergeGapRecords()},
                    {"min_visit_s", s.minVisitSeconds},
                    {"min_visit_records", s.MinVisitRecords()}};
    const std::optional<std::uint64_t> bin = s.BinRecords();
    out["bins_s"] = s.binSeconds ? Json(*s.binSeconds) : Json(nullptr);
    out["bin_records"] = bin ? Json(*bin) : Json(nullptr);
    Json movement = {{"speed_window", s.speedWindow},
                     {"immobile_below_px_s", nullptr},
                     {"immobile_below_cm_s", nullptr},
                     {"min_immobile_s", s.minImmobileSeconds},
                     {"min_immobile_records", s.MinImmobileRecords()}};
    if (s.immobileBelow)
        movement[ThresholdKey(s.immobileBelow->unit)] = s.immobileBelow->value;
    out["movement"] = movement;
    return out;
}
