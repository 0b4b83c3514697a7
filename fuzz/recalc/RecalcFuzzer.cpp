// Feeds arbitrary target words and distance bands to the center and direction calculators, and
// checks the center search and the heading against their plain references on every input.
#include "recalc/CenterFinder.h"
#include "recalc/DirectionFinder.h"
#include "recalc/ReferenceCenterFinder.h"
#include "recalc/ReferenceDirectionFinder.h"
#include "support/FuzzInput.h"
#include "support/GeneratedTrack.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <vector>

std::vector<std::vector<std::uint8_t>> FuzzSeedInputs()
{
    // Band 10..100, then target words: the worked triangle's three, then those of generated records.
    std::vector<std::vector<TrackWord>> targetLists = {{MakeTrackWord(200, 100, kWordBitRR),
                                                        MakeTrackWord(260, 135, kWordBitRB),
                                                        MakeTrackWord(200, 170, kWordBitRG)}};
    for (const TrackRecord& record : GeneratedRecords(3, 7))
    {
        const std::array<TrackWord, kMaxTargets> words = CopyTargets(record);
        targetLists.emplace_back(words.begin(),
                                 words.begin() + static_cast<std::ptrdiff_t>(CountListEntries(words)));
    }
    std::vector<std::vector<std::uint8_t>> seeds;
    for (const std::vector<TrackWord>& targets : targetLists)
    {
        CFuzzInputBuilder input;
        input.I16(10).I16(100);
        for (const TrackWord w : targets)
            input.U32(w);
        seeds.push_back(input.Data());
    }
    return seeds;
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
    FuzzCheck(result == reference::FindCenter(min, max, points, count, expected) && production == expected,
              "the center search agrees with the plain reference");
    const double heading = CDirectionFinder::FindDirection(targets, production.x, production.y);
    FuzzCheck(heading >= 0.0 && heading <= 360.0, "the heading lies in 0 .. 360 degrees");
    const double plain = reference::FindDirection(targets, production.x, production.y);
    FuzzCheck(std::memcmp(&heading, &plain, sizeof heading) == 0,
              "the heading is the plain reference's to the bit");
    FuzzCheck(CDirectionFinder::FindWholeDirection(
                  std::span<const TrackWord>(targets.data(), CountListEntries(targets)), production.x,
                  production.y) == static_cast<std::int32_t>(plain),
              "the whole-degree heading is the plain reference's, truncated");
    return 0;
}
