// What a record drawing shows besides the position marker, and the colour switches that filter it.
// The seven colour-class switches of the "Colors to display:" check boxes, passed by value with
// every record drawing request. All on by default.
#pragma once

struct ColorFilter
{
    bool rr = true;  // "RR": bit 14 adds red
    bool pr = true;  // "PR": bit 30 adds red
    bool rg = true;  // "RG": bit 13 adds green
    bool pg = true;  // "PG": bit 29 adds green
    bool rb = true;  // "RB": bit 12 adds blue
    bool pb = true;  // "PB": bit 28 adds blue
    bool lum = true; // "Lum": bit 15 starts every channel at 159
    friend bool operator==(const ColorFilter&, const ColorFilter&) = default;
};

// The record drawing shows the light points as segments, or the targets as blocks.
enum class ViewMode
{
    Points,
    Targets,
};

// The window keeps its view as a flag (true: points), as its menu command toggles it.
[[nodiscard]] constexpr ViewMode ViewModeOf(bool viewPoints)
{
    return viewPoints ? ViewMode::Points : ViewMode::Targets;
}
