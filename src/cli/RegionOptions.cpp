#include "cli/RegionOptions.h"

#include "base/ResultCodes.h"
#include "cli/CliChecks.h"
#include "regions/RegionLayout.h"

#include <array>
#include <initializer_list>

namespace
{
struct NamedValue
{
    std::string_view numbers;
    std::optional<std::string> name;
};

// "NUMBERS" or "NUMBERS:NAME"; nothing when a name is given where naming refuses one, or is empty
// or holds a '/'.
std::optional<NamedValue> SplitName(std::string_view text, RegionNaming naming)
{
    NamedValue value{text, std::nullopt};
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return value;
    const std::string_view name = text.substr(colon + 1);
    if (naming == RegionNaming::Unnamed || name.empty() || name.find('/') != std::string_view::npos)
        return std::nullopt;
    value.name = std::string(name);
    value.numbers = text.substr(0, colon);
    return value;
}

std::string FormOf(ShapeKind kind, RegionNaming naming)
{
    const std::string name = naming == RegionNaming::Named ? "[:NAME]" : "";
    switch (kind)
    {
    case ShapeKind::Circle:
        return "CX,CY,R" + name;
    case ShapeKind::Polygon:
        return "X1,Y1,X2,Y2,X3,Y3[,...]" + name;
    case ShapeKind::Rectangle:
        break;
    }
    return "L,T,R,B" + name;
}
} // namespace

std::optional<RegionArgument> ParseRegionArgument(std::string_view text, RegionNaming naming)
{
    const auto split = SplitName(text, naming);
    if (!split)
        return std::nullopt;
    RegionArgument region;
    region.name = split->name;
    text = split->numbers;
    std::array<std::int32_t, 4> values{};
    for (std::size_t k = 0; k < values.size(); ++k)
    {
        const std::size_t comma = text.find(',');
        const bool last = k + 1 == values.size();
        if (last != (comma == std::string_view::npos))
            return std::nullopt;
        const auto value =
            ParseWholeNumber(text.substr(0, comma), kLowestOf<std::int32_t>, kHighestOf<std::int32_t>);
        if (!value)
            return std::nullopt;
        values[k] = static_cast<std::int32_t>(*value);
        text = last ? std::string_view() : text.substr(comma + 1);
    }
    region.rect = Rect{values[0], values[1], values[2], values[3]};
    return region;
}

std::variant<ShapeArgument, std::string> ParseShapeArgument(std::string_view text, ShapeKind kind,
                                                            RegionNaming naming)
{
    const std::string notA = "is not a " + std::string(ShapeKindName(kind)) + " " + FormOf(kind, naming);
    const auto split = SplitName(text, naming);
    if (!split)
        return notA;
    auto parsed = ParseShapeText(kind, split->numbers);
    if (auto* problem = std::get_if<std::string>(&parsed))
        return notA + ": it " + *problem;
    return ShapeArgument{std::get<RegionShape>(std::move(parsed)), split->name};
}

std::int32_t CRegionOptions::NextSlot(const std::string& option)
{
    if (m_table.m_nRegionCount >= kMaxRegions)
        throw CLI::ValidationError(option, "at most " + std::to_string(kMaxRegions) + " regions");
    return m_table.m_nRegionCount++;
}

void CRegionOptions::AddTo(CLI::App& command, RegionNaming naming)
{
    const std::string form = FormOf(ShapeKind::Rectangle, naming);
    m_pRegionOption =
        command
            .add_option_function<std::vector<std::string>>(
                "--region",
                [this, naming, form](const std::vector<std::string>& texts)
                {
                    for (const std::string& text : texts)
                    {
                        const auto region = ParseRegionArgument(text, naming);
                        if (!region)
                            throw CLI::ValidationError("--region", "'" + text + "' is not a region " + form);
                        const auto slot = static_cast<std::size_t>(NextSlot("--region"));
                        m_table.m_regionRects[slot] = region->rect;
                        if (region->name)
                            m_table.m_regionNames[slot] = *region->name;
                    }
                },
                naming == RegionNaming::Named
                    ? "a region's rectangle in plot coordinates and its name (by default Box and its number)"
                    : "a region's rectangle in plot coordinates")
            ->type_name(form)
            ->allow_extra_args(false)
            ->trigger_on_parse(); // the regions of the three options take slots in the order given
    m_pCircleOption = AddShapeOption(command, ShapeKind::Circle, naming);
    m_pPolygonOption = AddShapeOption(command, ShapeKind::Polygon, naming);
    ExcludeEachOther();
}

CLI::Option* CRegionOptions::AddShapeOption(CLI::App& command, ShapeKind kind, RegionNaming naming)
{
    const std::string option = "--" + std::string(ShapeKindName(kind));
    const std::string what = kind == ShapeKind::Circle ? "a circular region's centre and radius"
                                                       : "a polygonal region's corners (3 to 64) in order";
    return command
        .add_option_function<std::vector<std::string>>(
            option,
            [this, kind, naming, option](const std::vector<std::string>& texts)
            {
                for (const std::string& text : texts)
                {
                    auto parsed = ParseShapeArgument(text, kind, naming);
                    if (const auto* problem = std::get_if<std::string>(&parsed))
                        throw CLI::ValidationError(option, "'" + text + "' " + *problem);
                    const auto& shape = std::get<ShapeArgument>(parsed);
                    const std::int32_t slot = NextSlot(option);
                    m_table.SetShape(slot, shape.shape);
                    if (shape.name)
                        m_table.m_regionNames[static_cast<std::size_t>(slot)] = *shape.name;
                }
            },
            what + " in plot coordinates" + (naming == RegionNaming::Named ? ", and its name" : ""))
        ->type_name(FormOf(kind, naming))
        ->allow_extra_args(false)
        ->trigger_on_parse();
}

void CRegionOptions::AddLayoutTo(CLI::App& command)
{
    m_pLayoutOption =
        command
            .add_option("--layout", m_strLayout, "a region layout file (.json): its regions and its margin")
            ->type_name("LAYOUT")
            ->check(NonEmpty());
    ExcludeEachOther();
}

void CRegionOptions::AddMarginTo(CLI::App& command)
{
    m_pMarginOption = AddWholeNumber(command, "--margin", m_nMargin, "N",
                                     "how deep into a region a visit must reach, in pixels (default: the "
                                     "layout's, else 8)",
                                     0, kHighestOf<std::int32_t>);
}

void CRegionOptions::RequireRegions(CLI::App& command)
{
    command.callback(
        [this]
        {
            const bool layout = m_pLayoutOption != nullptr && m_pLayoutOption->count() > 0;
            if (!layout && !RegionsGiven())
                throw CLI::RequiredError(m_pLayoutOption != nullptr ? "--layout or --region" : "--region");
        });
}

bool CRegionOptions::RegionsGiven() const
{
    for (const CLI::Option* option : {m_pRegionOption, m_pCircleOption, m_pPolygonOption})
        if (option != nullptr && option->count() > 0)
            return true;
    return false;
}

void CRegionOptions::ExcludeEachOther()
{
    if (m_pLayoutOption == nullptr)
        return;
    for (CLI::Option* option : {m_pRegionOption, m_pCircleOption, m_pPolygonOption})
        if (option != nullptr)
        {
            m_pLayoutOption->excludes(option);
            option->excludes(m_pLayoutOption);
        }
}

int CRegionOptions::Load()
{
    if (m_pLayoutOption == nullptr || m_pLayoutOption->count() == 0)
        return kOk;
    return LoadRegionLayout(m_strLayout, m_table, m_nLayoutMargin);
}

std::int32_t CRegionOptions::Margin() const
{
    if (m_pMarginOption != nullptr && m_pMarginOption->count() > 0)
        return m_nMargin;
    return m_nLayoutMargin;
}
