// The regions options of a command: "--region L,T,R,B[:NAME]", "--circle CX,CY,R[:NAME]" and
// "--polygon X1,Y1,X2,Y2,X3,Y3[,...][:NAME]", once per region, in table order (the order given on
// the command line, whichever of the three), up to 50, or "--layout LAYOUT", a region layout file
// (regions/RegionLayout.h) with its margin; the two together are a usage error. Commands whose outputs carry
// the region's name (the event files, the visit tables) take ":NAME"; commands that only draw regions refuse
// it. A region without a name takes its slot's (Box0, Box1, ...). "--margin N" overrides the layout's margin
// where a command takes it; without either the margin is 8. Every command that takes regions declares them
// here.
#pragma once

#include "base/Geometry.h"
#include "regions/RegionShape.h"
#include "regions/RegionTable.h"
#include "regions/VisitRule.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace CLI
{
class App;
class Option;
} // namespace CLI

enum class RegionNaming
{
    Named,  // "L,T,R,B" or "L,T,R,B:NAME"
    Unnamed // "L,T,R,B" only
};

struct RegionArgument
{
    Rect rect;
    std::optional<std::string> name;
};

// One --circle or --polygon value: the shape's numbers (regions/RegionShape.h, ParseShapeText) and,
// where naming allows it, ":NAME" as for --region.
struct ShapeArgument
{
    RegionShape shape;
    std::optional<std::string> name;
};

// One --region value: four whole 32-bit numbers separated by commas and, where naming allows it,
// ":NAME" (not empty, no '/', as it becomes part of a file name). Nothing when malformed.
[[nodiscard]] std::optional<RegionArgument> ParseRegionArgument(std::string_view text, RegionNaming naming);

// One --circle (kind Circle) or --polygon (kind Polygon) value, or what is wrong with it: a phrase
// that follows the value ("is not a circle CX,CY,R", "is not a polygon ...: has edges that cross
// or touch: ...").
[[nodiscard]] std::variant<ShapeArgument, std::string>
ParseShapeArgument(std::string_view text, ShapeKind kind, RegionNaming naming);

class CRegionOptions
{
public:
    CRegionOptions() = default;
    // The declared options fill this object, so it stays where it was declared.
    CRegionOptions(const CRegionOptions&) = delete;
    CRegionOptions& operator=(const CRegionOptions&) = delete;

    // Declares --region, --circle and --polygon on command. Each value is checked and added to the
    // table while the command line is parsed, so a malformed region or a 51st is a usage error.
    void AddTo(CLI::App& command, RegionNaming naming);
    // Declares --layout LAYOUT on command; with --region as well it is a usage error. The file is
    // read by Load, when the command runs.
    void AddLayoutTo(CLI::App& command);
    // Declares --margin N (0 to 2147483647), which overrides the layout's margin.
    void AddMarginTo(CLI::App& command);
    // Makes giving no region (neither --layout nor --region) a usage error.
    void RequireRegions(CLI::App& command);

    // Reads the layout given with --layout into the table and the margin, when one was given. 0;
    // the layout's result otherwise (told once, naming the file and what is wrong).
    int Load();

    // The regions given, in order, with their names (after Load for a layout).
    [[nodiscard]] const CRegionTable& Table() const { return m_table; }
    [[nodiscard]] const Rect* Rects() const { return m_table.m_regionRects.data(); }
    // Parallel to Rects(): which regions are circles or polygons (regions/RegionTable.h).
    [[nodiscard]] const RegionShape* Shapes() const { return m_table.m_regionShapes.data(); }
    [[nodiscard]] std::int32_t Count() const { return m_table.m_nRegionCount; }
    // The layout file given with --layout; empty without one.
    [[nodiscard]] const std::string& LayoutPath() const { return m_strLayout; }
    // --margin when given, else the layout's, else 8.
    [[nodiscard]] std::int32_t Margin() const;

private:
    // Each of --layout and the region options excludes the other, whichever is declared second.
    void ExcludeEachOther();
    // Declares --circle or --polygon.
    CLI::Option* AddShapeOption(CLI::App& command, ShapeKind kind, RegionNaming naming);
    // Takes the next slot of the table for a region given on the command line; a 51st is a usage
    // error of option.
    std::int32_t NextSlot(const std::string& option);
    [[nodiscard]] bool RegionsGiven() const;

    CRegionTable m_table;
    std::string m_strLayout;
    std::int32_t m_nLayoutMargin = kDefaultRegionMargin;
    std::int32_t m_nMargin = kDefaultRegionMargin;
    CLI::Option* m_pRegionOption = nullptr;
    CLI::Option* m_pCircleOption = nullptr;
    CLI::Option* m_pPolygonOption = nullptr;
    CLI::Option* m_pLayoutOption = nullptr;
    CLI::Option* m_pMarginOption = nullptr;
};
