#include "outputs/OutputKinds.h"

#include <algorithm>
#include <cassert>

std::optional<std::size_t> FindOutputKind(std::string_view name)
{
    const auto* found = std::find_if(kOutputKinds.begin(), kOutputKinds.end(),
                                     [name](const OutputKind& kind) { return kind.name == name; });
    if (found == kOutputKinds.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - kOutputKinds.begin());
}

std::string OutputKindNames(std::string_view separator)
{
    std::string names;
    for (const OutputKind& kind : kOutputKinds)
        names += (names.empty() ? "" : std::string(separator)) + std::string(kind.name);
    return names;
}

void COutputSet::Add(std::size_t kind)
{
    assert(kind < kOutputKinds.size() && "a row of the table of outputs");
    m_kinds.set(kind);
}

bool COutputSet::Has(std::size_t kind) const
{
    assert(kind < kOutputKinds.size() && "a row of the table of outputs");
    return m_kinds.test(kind);
}

bool COutputSet::Has(std::string_view name) const
{
    const std::optional<std::size_t> kind = FindOutputKind(name);
    return kind && Has(*kind);
}

std::optional<COutputSet> ParseOutputList(std::string_view text)
{
    COutputSet set;
    std::size_t start = 0;
    while (start <= text.size())
    {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::optional<std::size_t> kind = FindOutputKind(text.substr(start, comma - start));
        if (!kind)
            return std::nullopt;
        set.Add(*kind);
        start = comma + 1;
    }
    return set;
}

std::vector<std::unique_ptr<ITrackOutput>>
MakeTrackOutputs(const COutputSet& set, const OutputSettings& settings, const TrackOutputPlace& place)
{
    std::vector<std::unique_ptr<ITrackOutput>> outputs;
    for (std::size_t kind = 0; kind < kOutputKinds.size(); ++kind)
        if (set.Has(kind))
            outputs.push_back(kOutputKinds[kind].make(settings, place));
    return outputs;
}
