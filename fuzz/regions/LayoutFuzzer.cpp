// Loads arbitrary bytes as a region layout file (rectangles, circles and polygons). A load either fails with
// exactly one message and leaves the table and the margin as they were, or succeeds silently; a layout it
// accepts is saved and loaded again, and must come back unchanged.
#include "base/ResultCodes.h"
#include "regions/RegionLayout.h"
#include "support/FuzzInput.h"
#include "support/FuzzScratch.h"

#include <string>
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

std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
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
    CRegionTable table = StartingTable();
    std::int32_t margin = -5;
    const int loaded = LoadRegionLayout(path, table, margin);
    if (loaded != kOk)
    {
        FuzzCheck(loaded == kErrNoInput, "a layout file that exists is refused as a layout, not as a file");
        FuzzCheck(sink.m_messages.size() == 1, "a refused layout is told once");
        FuzzCheck(SameTable(table, StartingTable()) && margin == -5, "a refused layout changes nothing");
        scratch.Clear();
        return 0;
    }
    FuzzCheck(sink.m_messages.empty(), "an accepted layout is loaded silently");
    FuzzCheck(margin >= 0 && table.m_nRegionCount >= 0 && table.m_nRegionCount <= kMaxRegions,
              "an accepted layout has a margin of 0 or more and at most 50 regions");
    FuzzCheck(table.m_nSelectedRegion == (table.m_nRegionCount > 0 ? 0 : -1),
              "the first region loaded is selected");

    for (std::int32_t j = 0; j < table.m_nRegionCount; ++j)
        FuzzCheck(!FindShapeProblem(table.ShapeOf(j)).has_value() &&
                      ShapeBox(table.ShapeOf(j)) == table.m_regionRects[static_cast<std::size_t>(j)],
                  "every region loaded is a usable shape with its box in the table");

    const std::string again = scratch.File("again.json");
    FuzzCheck(SaveRegionLayout(again, table, margin) == kOk, "an accepted layout can be saved");
    CRegionTable reloaded = StartingTable();
    std::int32_t reloadedMargin = -5;
    FuzzCheck(LoadRegionLayout(again, reloaded, reloadedMargin) == kOk, "a saved layout loads");
    FuzzCheck(SameTable(reloaded, table) && reloadedMargin == margin, "a layout survives a save and a load");
    FuzzCheck(sink.m_messages.empty(), "the round trip is silent");
    scratch.Clear();
    return 0;
}
