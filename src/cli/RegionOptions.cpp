#include "cli/RegionOptions.h"

#include "base/ResultCodes.h"
#include "cli/CliChecks.h"
#include "regions/RegionLayout.h"

#include <array>

std::optional<RegionArgument> ParseRegionArgument(std::string_view text, RegionNaming naming)
{
    RegionArgument region;
    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos)
    {
        const std::string_view name = text.substr(colon + 1);
        if (naming == RegionNaming::Unnamed || name.empty() || name.find('/') != std::string_view::npos)
            return std::nullopt;
        region.name = std::string(name);
        text = text.substr(0, colon);
    }
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

void CRegionOptions::AddTo(CLI::App& command, RegionNaming naming)
{
    const std::string form = naming == RegionNaming::Named ? "L,T,R,B[:NAME]" : "L,T,R,B";
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
                        if (m_table.m_nRegionCount >= kMaxRegions)
                            throw CLI::ValidationError("--region",
                                                       "at most " + std::to_string(kMaxRegions) + " regions");
                        const auto slot = static_cast<std::size_t>(m_table.m_nRegionCount++);
                        m_table.m_regionRects[slot] = region->rect;
                        if (region->name)
                            m_table.m_regionNames[slot] = *region->name;
                    }
                },
                naming == RegionNaming::Named
                    ? "a region's rectangle in plot coordinates and its name (by default Box and its number)"
                    : "a region's rectangle in plot coordinates")
            ->type_name(form)
            ->allow_extra_args(false);
    ExcludeEachOther();
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
            const bool regions = m_pRegionOption != nullptr && m_pRegionOption->count() > 0;
            if (!layout && !regions)
                throw CLI::RequiredError(m_pLayoutOption != nullptr ? "--layout or --region" : "--region");
        });
}

void CRegionOptions::ExcludeEachOther()
{
    if (m_pRegionOption != nullptr && m_pLayoutOption != nullptr)
    {
        m_pLayoutOption->excludes(m_pRegionOption);
        m_pRegionOption->excludes(m_pLayoutOption);
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
