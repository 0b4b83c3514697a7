// Feeds arbitrary target words and distance bands to the center and direction calculators, and
// checks the center search against its plain reference on every input.
#include "recalc/CenterFinder.h"
#include "recalc/DirectionFinder.h"
#include "recalc/ReferenceCenterFinder.h"

#include <cstdlib>
#include <cstring>
#include <vector>

std::vector<std::uint8_t> FuzzSeedInput()
{
    // Band 10..100, then the worked triangle's three words.
    std::vector<std::uint8_t> bytes = {10, 0, 100, 0};
    for (TrackWord w : {MakeTrackWord(200, 100, kWordBitRR), MakeTrackWord(260, 135, kWordBitRB),
                        MakeTrackWord(200, 170, kWordBitRG)})
        for (int b = 0; b < 4; ++b)
            bytes.push_back(static_cast<std::uint8_t>(w >> (8 * b)));
    return bytes;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    const int min = static_cast<std::int16_t>(data[0] | (data[1] << 8)) % 300;
    const int max = static_cast<std::int16_t>(data[2] | (data[3] << 8)) % 3000;
    std::array<TrackWord, kMaxTargets> targets{};
    std::size_t n = 0;
    for (std::size_t at = 4; at + 4 <= size && n < kMaxTargets; at += 4)
        targets[n++] = static_cast<TrackWord>(data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) |
                                              (static_cast<TrackWord>(data[at + 3]) << 24));

    Point points[kMaxTargets];
    int count = 0;
    while (count < static_cast<int>(kMaxTargets) && targets[static_cast<std::size_t>(count)] != 0)
    {
        const TrackWord w = targets[static_cast<std::size_t>(count)];
        points[count++] =
            Point{static_cast<std::int32_t>(TrackWordX(w)), static_cast<std::int32_t>(TrackWordY(w))};
    }
    CCenterFinder finder;
    finder.SetDistanceLimits(min, max);
    Point production{-5, -5};
    Point expected{-5, -5};
    const int result = finder.FindCenter(points, count, production);
    if (result != reference::FindCenter(min, max, points, count, expected) || !(production == expected))
        std::abort();
    const double heading = CDirectionFinder::FindDirection(targets, production.x, production.y);
    if (!(heading >= 0.0 && heading <= 360.0))
        std::abort();
    return 0;
}
