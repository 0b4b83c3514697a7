// The string table.
#include "resources/Resources.h"

namespace
{
struct StringEntry
{
    int id;
    std::string_view text;
};

constexpr StringEntry kStrings[] = {
    {kIdsAboutBox, "&About Quorvane..."},
};
} // namespace

std::string_view FindStringResource(int id)
{
    for (const StringEntry& entry : kStrings)
        if (entry.id == id)
            return entry.text;
    return {};
}
