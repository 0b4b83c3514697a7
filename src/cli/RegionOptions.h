// The regions options of a command: "--region L,T,R,B[:NAME]", once per region, in table order, up
// to 50. Commands whose outputs carry the region's name (the event files) take ":NAME"; commands
// that only draw regions refuse it. A region without a name takes its slot's (Box0, Box1, ...).
#pragma once

#include "base/Geometry.h"
#include "regions/RegionTable.h"

#include <optional>
#include <string>
#include <string_view>

namespace CLI
{
class App;
}

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

// One --region value: four whole 32-bit numbers separated by commas and, where naming allows it,
// ":NAME" (not empty, no '/', as it becomes part of a file name). Nothing when malformed.
[[nodiscard]] std::optional<RegionArgument> ParseRegionArgument(std::string_view text, RegionNaming naming);

class CRegionOptions
{
public:
    CRegionOptions() = default;
    // The declared option fills this object, so it stays where it was declared.
    CRegionOptions(const CRegionOptions&) = delete;
    CRegionOptions& operator=(const CRegionOptions&) = delete;

    // Declares --region on command. Each value is checked and added to the table while the command
    // line is parsed, so a malformed region or a 51st is a usage error.
    void AddTo(CLI::App& command, RegionNaming naming);

    // The regions given, in order, with their names.
    [[nodiscard]] const CRegionTable& Table() const { return m_table; }
    [[nodiscard]] const Rect* Rects() const { return m_table.m_regionRects.data(); }
    [[nodiscard]] std::int32_t Count() const { return m_table.m_nRegionCount; }

private:
    CRegionTable m_table;
};
