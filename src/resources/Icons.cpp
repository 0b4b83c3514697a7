// Icon 130: our own drawing, generated at compile time — a black plot screen in a grey frame with
// a green track winding across it and a red position marker with a yellow heading line at its
// end, the picture the program itself shows.
#include "resources/Resources.h"

#include <array>

namespace
{
constexpr int kSize = 32;
constexpr std::size_t kIconBytes = std::size_t{kSize} * kSize * 4; // RGBA

struct Rgba
{
    std::uint8_t r, g, b, a;
};

constexpr void Put(std::array<std::uint8_t, kIconBytes>& px, int x, int y, Rgba c)
{
    if (x < 0 || y < 0 || x >= kSize || y >= kSize)
        return;
    const std::size_t i = (static_cast<std::size_t>(y) * kSize + static_cast<std::size_t>(x)) * 4;
    px[i] = c.r;
    px[i + 1] = c.g;
    px[i + 2] = c.b;
    px[i + 3] = c.a;
}

// The track: a gentle S from lower left to upper right, as (x, y) samples joined by steps.
constexpr int TrackY(int x)
{
    // A cubic through (4, 24) and (27, 9) with a bend in the middle, integer arithmetic only.
    const int t = x - 4; // 0..23
    return 24 - (t * 15) / 23 + ((t * (t - 11) * (t - 23)) / 180);
}

constexpr std::array<std::uint8_t, kIconBytes> MakeIcon()
{
    std::array<std::uint8_t, kIconBytes> px{};
    constexpr Rgba kFrame{150, 150, 160, 255};
    constexpr Rgba kShade{90, 90, 100, 255};
    constexpr Rgba kScreen{0, 0, 0, 255};
    constexpr Rgba kTrack{0, 220, 90, 255};
    constexpr Rgba kMarker{230, 30, 30, 255};
    constexpr Rgba kHeading{255, 230, 0, 255};
    for (int y = 1; y < kSize - 1; ++y)
        for (int x = 1; x < kSize - 1; ++x)
            Put(px, x, y, (x == kSize - 2 || y == kSize - 2) ? kShade : kFrame);
    for (int y = 3; y < kSize - 3; ++y)
        for (int x = 3; x < kSize - 3; ++x)
            Put(px, x, y, kScreen);
    int lastY = TrackY(4);
    for (int x = 4; x <= 24; ++x)
    {
        const int y = TrackY(x);
        for (int yy = (lastY < y ? lastY : y); yy <= (lastY < y ? y : lastY); ++yy)
            Put(px, x, yy, kTrack);
        lastY = y;
    }
    const int mx = 24;
    const int my = TrackY(24);
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (dx * dx + dy * dy <= 5)
                Put(px, mx + dx, my + dy, kMarker);
    for (int i = 3; i <= 5; ++i)
        Put(px, mx + i, my - i, kHeading);
    return px;
}

constexpr std::array<std::uint8_t, kIconBytes> kProgramIconPixels = MakeIcon();

constexpr IconImage kIcons[] = {
    {kIdiProgramIcon, kSize, kSize, kProgramIconPixels},
};
} // namespace

const IconImage* FindIconResource(int id)
{
    for (const IconImage& icon : kIcons)
        if (icon.id == id)
            return &icon;
    return nullptr;
}
