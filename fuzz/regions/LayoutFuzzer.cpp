// Loads arbitrary bytes as a region layout file (rectangles, circles and polygons), with its
// analysis settings. A load either fails with exactly one message and leaves the table, the margin
// and the settings as they were, or succeeds silently (but for the warning of a stretched arena
// calibration); a layout it accepts is saved and loaded again, and must come back unchanged. The
// first bytes are also given as the value of every settings option: the check and the setting
// agree, and a value accepted is in range and goes on top of other settings without a fault.
#include "base/ResultCodes.h"
#include "regions/AnalysisSettings.h"
#include "regions/RegionLayout.h"
#include "support/FuzzInput.h"
#include "support/FuzzScratch.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace
{
// The table every load starts from, with something in every field a load may or may not change.
CRegionTable StartingTable()
{
    CRegionTable table;
    table.m_nRegionCount = 2;
    table.m_regionRects[0] = Rect{1, 2, 3, 4};
    table.m_regionRects[1] = Rect{9, 8, 7, 6};
    table.m_regionNames[1] = "before";
    table.SetShape(2, RegionShape::Circle(30, 40, 5)); // beyond the count: a load must clear it
    table.m_nSelectedRegion = 0;
    table.m_ptDragAnchor = Point{11, 12};
    table.m_ptDragPoint = Point{13, 14};
    return table;
}

bool SameTable(const CRegionTable& a, const CRegionTable& b)
{
    return a.m_nRegionCount == b.m_nRegionCount && a.m_regionRects == b.m_regionRects &&
           a.m_regionNames == b.m_regionNames && a.m_regionShapes == b.m_regionShapes &&
           a.m_nSelectedRegion == b.m_nSelectedRegion && a.m_ptDragAnchor == b.m_ptDragAnchor &&
           a.m_ptDragPoint == b.m_ptDragPoint;
}

// Settings every load replaces, with something other than the default in every field.
AnalysisSettings StartingSettings()
{
    AnalysisSettings settings;
    settings.calibration.form = CalibrationForm::Factor;
    settings.calibration.cmPerPx = 3.0;
    settings.mergeGapSeconds = 3.0;
    settings.minVisitSeconds = 3.0;
    settings.binSeconds = 3.0;
    settings.speedWindow = 3;
    settings.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, 3.0};
    settings.minImmobileSeconds = 3.0;
    return settings;
}

std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// An option value is short; the fuzzer's first bytes stand for one.
void CheckOptions(std::string_view text)
{
    for (const SettingOptionInfo& info : kSettingOptions)
    {
        const std::optional<std::string> problem = FindSettingOptionProblem(info.option, text);
        SettingOverrides overrides;
        const std::optional<std::string> setProblem = SetSettingOption(overrides, info.option, text);
        FuzzCheck(problem == setProblem, "checking and setting an option agree");
        if (problem)
        {
            FuzzCheck(problem->find(LayoutKeyOf(info.key)) != std::string::npos,
                      "a bad option names its key");
            continue;
        }
        AnalysisSettings settings = StartingSettings();
        FuzzCheck(!ApplySettingOverrides(overrides, settings), "an accepted option applies to settings");
        FuzzCheck(!FindSettingsProblem(settings), "an accepted option leaves usable settings");
    }
}
} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeedInputs()
{
    CRegionTable table;
    table.m_nRegionCount = 3;
    table.m_regionRects[0] = Rect{50, 50, 175, 175};
    table.m_regionNames[0] = "open arm";
    table.m_regionRects[1] = Rect{400, 300, 200, 100};
    table.m_regionNames[1] = "n\xC3\xA9st, \"closed\"";
    table.m_regionRects[2] = Rect{-2147483647 - 1, 0, 2147483647, 12};
    table.SetShape(3, RegionShape::Circle(320, 240, 40));
    table.SetShape(4, RegionShape::Polygon({{0, 0}, {40, 0}, {40, 20}, {20, 20}, {20, 40}, {0, 40}}));
    table.m_nRegionCount = 5;
    std::vector<std::vector<std::uint8_t>> seeds;
    seeds.push_back(Bytes(FormatRegionLayout(table, 8)));
    seeds.push_back(
        Bytes("{\"format\":\"trackplay-layout\",\"version\":1,\"regions\":[{\"rect\":[0,0,10,10]},"
              "{\"name\":\"x\",\"rect\":[5,5,1,1],\"extra\":[true,null]}],\"margin\":0}"));
    seeds.push_back(Bytes("{\"format\":\"trackplay-layout\",\"version\":2,\"regions\":[]}"));
    AnalysisSettings settings;
    settings.calibration.form = CalibrationForm::Line;
    settings.calibration.lineFrom = Point{100, 240};
    settings.calibration.lineTo = Point{540, 240};
    settings.calibration.lengthCm = 55.0;
    settings.mergeGapSeconds = 0.5;
    settings.minVisitSeconds = 0.25;
    settings.binSeconds = 60.0;
    settings.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, 2.0};
    seeds.push_back(Bytes(FormatRegionLayout(table, 8, settings)));
    seeds.push_back(Bytes("{\"format\":\"trackplay-layout\",\"version\":2,\"regions\":[],\"calibration\":"
                          "{\"arena\":[0,0,400,300],\"size_cm\":[40,36]},\"movement\":{\"speed_window\":600,"
                          "\"immobile_below_px_s\":1e-3,\"min_immobile_s\":0},\"bins_s\":0.001}"));
    seeds.push_back(Bytes("{\"format\":\"trackplay-layout\",\"version\":2,\"regions\":[],\"calibration\":"
                          "{\"cm_per_px\":0.1},\"rules\":{\"merge_gap_s\":3600,\"min_visit_s\":0}}"));
    seeds.push_back(Bytes("0.25"));
    seeds.push_back(Bytes("600"));
    seeds.push_back(
        Bytes("{\"format\":\"trackplay-layout\",\"version\":1,\"regions\":[{\"circle\":[1,2,0]},"
              "{\"polygon\":[[0,0],[9,9],[9,0],[0,9]]},{\"rect\":[0,0,1,1],\"circle\":[5,5,5]}]}"));
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const CFuzzScratchDir scratch;
    const std::string path = scratch.File("input.json");
    if (!WriteFileBytes(path, data, size))
        return 0;
    CFuzzMessageSink sink;
    CScopedMessageSink scoped(sink);
    constexpr std::size_t kLongestOption = 64;
    CheckOptions(std::string_view(reinterpret_cast<const char*>(data), std::min(size, kLongestOption)));
    CRegionTable table = StartingTable();
    std::int32_t margin = -5;
    AnalysisSettings settings = StartingSettings();
    const int loaded = LoadRegionLayout(path, table, margin, settings);
    if (loaded != kOk)
    {
        FuzzCheck(loaded == kErrNoInput, "a layout file that exists is refused as a layout, not as a file");
        FuzzCheck(sink.m_messages.size() == 1, "a refused layout is told once");
        FuzzCheck(SameTable(table, StartingTable()) && margin == -5 && settings == StartingSettings(),
                  "a refused layout changes nothing");
        scratch.Clear();
        return 0;
    }
    const std::size_t warnings = FindCalibrationStretch(settings.calibration) ? 1 : 0;
    FuzzCheck(sink.m_messages.size() == warnings,
              "an accepted layout is loaded silently but for a stretched arena");
    FuzzCheck(!FindSettingsProblem(settings), "an accepted layout has usable settings");
    sink.m_messages.clear();
    FuzzCheck(margin >= 0 && table.m_nRegionCount >= 0 && table.m_nRegionCount <= kMaxRegions,
              "an accepted layout has a margin of 0 or more and at most 50 regions");
    FuzzCheck(table.m_nSelectedRegion == (table.m_nRegionCount > 0 ? 0 : -1),
              "the first region loaded is selected");

    for (std::int32_t j = 0; j < table.m_nRegionCount; ++j)
        FuzzCheck(!FindShapeProblem(table.ShapeOf(j)).has_value() &&
                      ShapeBox(table.ShapeOf(j)) == table.m_regionRects[static_cast<std::size_t>(j)],
                  "every region loaded is a usable shape with its box in the table");

    const std::string again = scratch.File("again.json");
    FuzzCheck(SaveRegionLayout(again, table, margin, settings) == kOk, "an accepted layout can be saved");
    CRegionTable reloaded = StartingTable();
    std::int32_t reloadedMargin = -5;
    AnalysisSettings reloadedSettings;
    FuzzCheck(LoadRegionLayout(again, reloaded, reloadedMargin, reloadedSettings) == kOk,
              "a saved layout loads");
    FuzzCheck(SameTable(reloaded, table) && reloadedMargin == margin && reloadedSettings == settings,
              "a layout survives a save and a load");
    FuzzCheck(sink.m_messages.size() == warnings, "the round trip is silent but for a stretched arena");
    scratch.Clear();
    return 0;
}
