#include "regions/RegionLayout.h"

#include "base/File.h"
#include "base/MessageSink.h"
#include "base/OutputFile.h"
#include "base/Regions.h"
#include "base/ResultCodes.h"
#include "regions/JsonNumbers.h"
#include "regions/LayoutSettings.h"
#include "regions/RegionName.h"
#include "regions/VisitRule.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <system_error>
#include <vector>

namespace
{
using Json = nlohmann::json;

constexpr std::int64_t kLowestInt32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kHighestInt32 = std::numeric_limits<std::int32_t>::max();

// The regions and margin a layout gives, before they replace the caller's.
struct LoadedLayout
{
    CRegionTable table;
    std::int32_t margin = kDefaultRegionMargin;
    AnalysisSettings settings;
};

std::string Entry(std::size_t index)
{
    return "regions[" + std::to_string(index) + "]";
}

// A circle's or polygon's number: a whole number within the shapes' coordinate range.
std::optional<std::int32_t> ShapeNumber(const Json& value)
{
    const auto number = WholeNumberIn(value, -std::int64_t{kShapeCoordinateLimit}, kShapeCoordinateLimit);
    return number ? std::optional<std::int32_t>(static_cast<std::int32_t>(*number)) : std::nullopt;
}

std::string NotAShapeNumber(const std::string& what)
{
    return what + " is not a whole number from " + std::to_string(-kShapeCoordinateLimit) + " to " +
           std::to_string(kShapeCoordinateLimit);
}

// Puts a checked shape into slot index; what is wrong with it otherwise.
std::optional<std::string> PlaceShape(const RegionShape& shape, const std::string& what, std::size_t index,
                                      CRegionTable& table)
{
    if (auto problem = FindShapeProblem(shape))
        return what + " " + *problem;
    table.SetShape(static_cast<std::int32_t>(index), shape);
    return std::nullopt;
}

std::optional<std::string> ReadCircle(const Json& circle, std::size_t index, CRegionTable& table)
{
    const std::string what = Entry(index) + ".circle";
    constexpr std::size_t kNumbers = 3;
    if (!circle.is_array() || circle.size() != kNumbers)
        return what + " is not a list of three whole numbers (centre x, centre y, radius)";
    std::array<std::int32_t, kNumbers> values{};
    for (std::size_t k = 0; k < kNumbers; ++k)
    {
        const auto value = ShapeNumber(circle[k]);
        if (!value)
            return NotAShapeNumber(what + "[" + std::to_string(k) + "]");
        values[k] = *value;
    }
    return PlaceShape(RegionShape::Circle(values[0], values[1], values[2]), what, index, table);
}

std::optional<std::string> ReadPolygon(const Json& polygon, std::size_t index, CRegionTable& table)
{
    const std::string what = Entry(index) + ".polygon";
    if (!polygon.is_array())
        return what + " is not a list of points [x, y]";
    if (polygon.size() < kMinPolygonPoints || polygon.size() > kMaxPolygonPoints)
        return what + " has " + std::to_string(polygon.size()) + " points; a polygon has " +
               std::to_string(kMinPolygonPoints) + " to " + std::to_string(kMaxPolygonPoints);
    std::vector<Point> points;
    for (std::size_t k = 0; k < polygon.size(); ++k)
    {
        const std::string point = what + "[" + std::to_string(k) + "]";
        const Json& pair = polygon[k];
        if (!pair.is_array() || pair.size() != 2)
            return point + " is not a point [x, y]";
        const auto x = ShapeNumber(pair[0]);
        const auto y = ShapeNumber(pair[1]);
        if (!x)
            return NotAShapeNumber(point + "[0]");
        if (!y)
            return NotAShapeNumber(point + "[1]");
        points.push_back(Point{*x, *y});
    }
    return PlaceShape(RegionShape::Polygon(std::move(points)), what, index, table);
}

// Reads regions[index] into slot index of the table; what is wrong with it otherwise.
std::optional<std::string> ReadRegion(const Json& region, std::size_t index, CRegionTable& table)
{
    const std::string entry = Entry(index);
    if (!region.is_object())
        return entry + " is not an object with a \"rect\"";
    if (const auto name = region.find("name"); name != region.end())
    {
        if (!name->is_string())
            return entry + ".name is not a text";
        const auto& text = name->get_ref<const std::string&>();
        if (const auto problem = FindRegionNameProblem(text))
            return entry + ".name " + *problem;
        table.m_regionNames[index] = text;
    }
    const auto rect = region.find("rect");
    const auto circle = region.find("circle");
    const auto polygon = region.find("polygon");
    const int shapes =
        (rect != region.end() ? 1 : 0) + (circle != region.end() ? 1 : 0) + (polygon != region.end() ? 1 : 0);
    if (shapes > 1)
        return entry + " has more than one of \"rect\", \"circle\" and \"polygon\"; a region has one shape";
    if (circle != region.end())
        return ReadCircle(*circle, index, table);
    if (polygon != region.end())
        return ReadPolygon(*polygon, index, table);
    if (rect == region.end())
        return entry + ".rect is missing";
    constexpr std::size_t kCorners = 4;
    if (!rect->is_array() || rect->size() != kCorners)
        return entry + ".rect is not a list of four whole numbers (left, top, right, bottom)";
    std::array<std::int32_t, kCorners> values{};
    for (std::size_t k = 0; k < kCorners; ++k)
    {
        const auto value = WholeNumberIn((*rect)[k], kLowestInt32, kHighestInt32);
        if (!value)
            return entry + ".rect[" + std::to_string(k) + "] is not a whole number from " +
                   std::to_string(kLowestInt32) + " to " + std::to_string(kHighestInt32);
        values[k] = static_cast<std::int32_t>(*value);
    }
    table.SetShape(static_cast<std::int32_t>(index),
                   RegionShape::Rectangle(Rect{values[0], values[1], values[2], values[3]}));
    return std::nullopt;
}

// Reads the parsed layout; what is wrong with it otherwise. The format and the version come first:
// a newer layout may be laid out differently, so nothing else of it is judged.
std::optional<std::string> ReadLayout(const Json& root, LoadedLayout& layout)
{
    if (!root.is_object())
        return "it is not a region layout (not a JSON object)";
    const auto format = root.find("format");
    if (format == root.end())
        return "format is missing; a region layout has \"format\": \"" + std::string(kLayoutFormat) + "\"";
    if (!format->is_string() || format->get_ref<const std::string&>() != kLayoutFormat)
        return "format is not \"" + std::string(kLayoutFormat) + "\"";
    const auto version = root.find("version");
    if (version == root.end())
        return "version is missing";
    if (version->is_number_unsigned() &&
        version->get<std::uint64_t>() > static_cast<std::uint64_t>(kLayoutVersion))
        return "version " + version->dump() + " is newer than this program reads (version " +
               std::to_string(kLayoutVersion) + ")";
    const std::optional<std::int64_t> versionNumber = WholeNumberIn(*version, 1, kLayoutVersion);
    if (!versionNumber)
        return "version is not a whole number of 1 or more";

    if (const auto margin = root.find("margin"); margin != root.end())
    {
        const auto value = WholeNumberIn(*margin, 0, kHighestInt32);
        if (!value)
            return "margin is not a whole number from 0 to " + std::to_string(kHighestInt32);
        layout.margin = static_cast<std::int32_t>(*value);
    }
    const auto regions = root.find("regions");
    if (regions == root.end())
        return "regions is missing";
    if (!regions->is_array())
        return "regions is not a list";
    if (regions->size() > static_cast<std::size_t>(kMaxRegions))
        return "regions has " + std::to_string(regions->size()) + " entries; a layout holds at most " +
               std::to_string(kMaxRegions);
    for (std::size_t j = 0; j < regions->size(); ++j)
        if (auto problem = ReadRegion((*regions)[j], j, layout.table))
            return problem;
    layout.table.m_nRegionCount = static_cast<std::int32_t>(regions->size());
    // A version 1 layout knew no settings: keys of these names in one are someone else's.
    constexpr std::int64_t kFirstVersionWithSettings = 2;
    if (*versionNumber >= kFirstVersionWithSettings)
        return ReadLayoutSettings(root, layout.settings);
    return std::nullopt;
}

// What SaveRegionLayout refuses to write, as it could not be loaded again.
std::optional<std::string> FindUnsavable(const CRegionTable& table, std::int32_t margin,
                                         const AnalysisSettings& settings)
{
    if (margin < 0)
        return "the margin " + std::to_string(margin) + " is below 0";
    if (auto problem = FindSettingsProblem(settings))
        return problem;
    for (std::int32_t j = 0; j < table.m_nRegionCount && j < kMaxRegions; ++j)
        if (const auto problem = FindRegionNameProblem(table.m_regionNames[static_cast<std::size_t>(j)]))
            return Entry(static_cast<std::size_t>(j)) + ".name " + *problem;
    return std::nullopt;
}

// "\"rect\": [l, t, r, b]", "\"circle\": [cx, cy, r]" or "\"polygon\": [[x, y], ...]".
std::string FormatShapeEntry(const RegionShape& shape)
{
    const auto list = [](std::initializer_list<std::int32_t> numbers)
    {
        std::string text = "[";
        for (const std::int32_t v : numbers)
            text += (text.size() == 1 ? "" : ", ") + std::to_string(v);
        return text + "]";
    };
    std::string text = "\"" + std::string(ShapeKindName(shape.kind)) + "\": ";
    switch (shape.kind)
    {
    case ShapeKind::Rectangle:
        return text + list({shape.rect.left, shape.rect.top, shape.rect.right, shape.rect.bottom});
    case ShapeKind::Circle:
        return text + list({shape.circle.cx, shape.circle.cy, shape.circle.r});
    case ShapeKind::Polygon:
        break;
    }
    text += "[";
    for (std::size_t k = 0; k < shape.points.size(); ++k)
        text += (k == 0 ? "" : ", ") + list({shape.points[k].x, shape.points[k].y});
    return text + "]";
}

void TellUnusable(std::string_view fileLabel, const std::string& problem)
{
    ShowMessage("The region layout " + std::string(fileLabel) + " cannot be loaded: " + problem + ".");
}
} // namespace

int ParseRegionLayout(std::string_view text, std::string_view fileLabel, CRegionTable& table,
                      std::int32_t& margin)
{
    AnalysisSettings settings;
    return ParseRegionLayout(text, fileLabel, table, margin, settings);
}

int ParseRegionLayout(std::string_view text, std::string_view fileLabel, CRegionTable& table,
                      std::int32_t& margin, AnalysisSettings& settings)
{
    LoadedLayout layout;
    layout.table = table;
    // Every slot starts as in a new table: the slots a layout does not fill hold no stale region.
    const CRegionTable fresh;
    layout.table.m_regionRects = fresh.m_regionRects;
    layout.table.m_regionNames = fresh.m_regionNames;
    layout.table.m_regionShapes = fresh.m_regionShapes;
    std::optional<std::string> problem;
    try
    {
        const Json root = Json::parse(text);
        problem = ReadLayout(root, layout);
    }
    catch (const Json::parse_error& error)
    {
        problem = "it is not JSON (a syntax fault at byte " + std::to_string(error.byte) + ")";
    }
    catch (const Json::exception& error)
    {
        problem = std::string("it is not a usable region layout (") + error.what() + ")";
    }
    if (problem)
    {
        TellUnusable(fileLabel, *problem);
        return kErrNoInput;
    }
    layout.table.m_nSelectedRegion = layout.table.m_nRegionCount > 0 ? 0 : -1; // the first region
    table = layout.table;
    margin = layout.margin;
    settings = layout.settings;
    if (const auto stretch = FindCalibrationStretch(settings.calibration))
        ShowMessage("The region layout " + std::string(fileLabel) + ": " + *stretch + ".");
    return kOk;
}

int LoadRegionLayout(const std::string& path, CRegionTable& table, std::int32_t& margin)
{
    AnalysisSettings settings;
    return LoadRegionLayout(path, table, margin, settings);
}

int LoadRegionLayout(const std::string& path, CRegionTable& table, std::int32_t& margin,
                     AnalysisSettings& settings)
{
    CFile file;
    const std::string cannotOpen = "Cannot open the region layout " + path + ".";
    if (!file.Open(path, FileMode::Read))
    {
        ShowFileProblem(cannotOpen, path, file.GetProblem());
        return kErrOpen;
    }
    const std::optional<std::uint64_t> length = file.GetLength();
    if (!length)
    {
        ShowFileProblem(cannotOpen, path, file.GetProblem());
        return kErrOpen;
    }
    if (*length > kMaxLayoutBytes)
    {
        constexpr std::size_t kMiB = std::size_t{1} << 20;
        TellUnusable(path, "it is larger than " + std::to_string(kMaxLayoutBytes / kMiB) +
                               " MiB, far too large for a region layout");
        return kErrNoInput;
    }
    std::string text(static_cast<std::size_t>(*length), '\0');
    const std::int64_t got = file.Read(text.data(), text.size());
    if (got < 0)
    {
        ShowMessageWithReason("Cannot read the region layout " + path + ".",
                              std::generic_category().message(file.GetLastError()));
        return kErrOpen;
    }
    text.resize(static_cast<std::size_t>(got)); // a file cut short meanwhile is judged as it is
    return ParseRegionLayout(text, path, table, margin, settings);
}

std::string FormatRegionLayout(const CRegionTable& table, std::int32_t margin,
                               const AnalysisSettings& settings)
{
    std::string text = "{\n  \"format\": \"" + std::string(kLayoutFormat) +
                       "\",\n  \"version\": " + std::to_string(kLayoutVersion) +
                       ",\n  \"margin\": " + std::to_string(margin) + ",\n";
    text += FormatLayoutSettings(settings);
    text += "  \"regions\": [";
    const std::int32_t count = std::min(std::max(table.m_nRegionCount, 0), kMaxRegions);
    for (std::int32_t j = 0; j < count; ++j)
    {
        const auto slot = static_cast<std::size_t>(j);
        // Names are UTF-8 and written as they are; quotes are escaped. A name that is not UTF-8
        // (refused before saving) would have its bad bytes replaced rather than throw.
        const std::string name =
            Json(table.m_regionNames[slot]).dump(-1, ' ', false, Json::error_handler_t::replace);
        text += (j == 0 ? "\n" : ",\n");
        text += "    { \"name\": " + name + ", " + FormatShapeEntry(table.ShapeOf(j)) + " }";
    }
    text += count == 0 ? "]\n}\n" : "\n  ]\n}\n";
    return text;
}

int SaveRegionLayout(const std::string& path, const CRegionTable& table, std::int32_t margin)
{
    return SaveRegionLayout(path, table, margin, AnalysisSettings{});
}

int SaveRegionLayout(const std::string& path, const CRegionTable& table, std::int32_t margin,
                     const AnalysisSettings& settings)
{
    if (const auto problem = FindUnsavable(table, margin, settings))
    {
        ShowMessage("The region layout " + path + " cannot be saved: " + *problem + ".");
        return kErrNoInput;
    }
    const std::string text = FormatRegionLayout(table, margin, settings);
    COutputFile file;
    if (!file.Create(path))
    {
        ShowFileProblem("Cannot create the region layout " + path + ".", path, file.GetProblem());
        return kErrOpen;
    }
    if (!file.Write(text.data(), text.size()) || !file.Commit())
    {
        ShowFileProblem("Cannot write the region layout " + path + "; it was not saved.", path,
                        file.GetProblem());
        return kErrOpen;
    }
    return kOk;
}
