// Converts a file built from the input (with the header, with a header cut short, or without one;
// any number of records, a partial record at the end, across the 20-record chunks) with any
// distance band, and checks the result against the source: its length, the header, every byte of
// a whole record other than x, y and angle, the partial tail, the new positions against the plain
// center search (a record without a usable triangle keeps the center held from earlier records),
// and the headings.
#include "base/ResultCodes.h"
#include "recalc/ReferenceCenterFinder.h"
#include "recalc/ReferenceDirectionFinder.h"
#include "recalc/TrackConverter.h"
#include "support/FuzzInput.h"
#include "support/FuzzScratch.h"
#include "support/GeneratedTrack.h"
#include "trackfile/TrackFileHeader.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace
{
constexpr std::size_t kChunkBytes = std::size_t{kConversionChunkRecords} * kTrackRecordSize;
// Sources stay within a few chunks, so a fuzz run stays fast.
constexpr std::size_t kMaxBodyBytes = 4 * kChunkBytes + kTrackRecordSize / 2;
constexpr std::size_t kRecomputedFirst = offsetof(TrackRecord, x);
constexpr std::size_t kRecomputedEnd = offsetof(TrackRecord, angle) + sizeof(std::int32_t);

constexpr std::uint8_t kWithHeader = 0x01;
constexpr std::uint8_t kHeaderCutShort = 0x02;

struct Expected
{
    std::size_t headerBytes = 0; // in the destination
    std::size_t bodyStart = 0;   // in the source
    std::size_t bodyBytes = 0;   // in the destination
    int result = kOk;
};

// What the run writes for a source of this size: the header padded to its full size when the source
// starts with the tag; then every chunk of 20 records, a trailing partial record included when its
// chunk also holds a whole record; a lone partial record after whole chunks is left out.
Expected ExpectedLayout(const std::vector<std::uint8_t>& source)
{
    Expected e;
    const bool header = source.size() >= kTrackHeaderTag.size() &&
                        std::equal(kTrackHeaderTag.begin(), kTrackHeaderTag.end(), source.begin());
    e.headerBytes = header ? kTrackHeaderSize : 0;
    e.bodyStart = header ? std::min<std::size_t>(kTrackHeaderSize, source.size()) : 0;
    const std::size_t body = source.size() - e.bodyStart;
    const std::size_t rest = body % kChunkBytes;
    if (rest == 0 || rest >= kTrackRecordSize)
        e.bodyBytes = body;
    else
    {
        e.bodyBytes = body - rest;
        e.result = kErrNoInput;
    }
    return e;
}

TrackRecord RecordAt(const std::uint8_t* bytes)
{
    TrackRecord record;
    std::memcpy(&record, bytes, sizeof record);
    return record;
}

void CheckRecords(const std::uint8_t* source, const std::uint8_t* converted, std::size_t bytes,
                  int minDistance, int maxDistance)
{
    Point held{0, 0};
    const std::size_t whole = bytes / kTrackRecordSize;
    for (std::size_t r = 0; r < whole; ++r)
    {
        const std::uint8_t* from = source + r * kTrackRecordSize;
        const std::uint8_t* to = converted + r * kTrackRecordSize;
        FuzzCheck(std::memcmp(from, to, kRecomputedFirst) == 0 &&
                      std::memcmp(from + kRecomputedEnd, to + kRecomputedEnd,
                                  kTrackRecordSize - kRecomputedEnd) == 0,
                  "a converted record keeps every byte but x, y and angle");
        const TrackRecord before = RecordAt(from);
        const TrackRecord after = RecordAt(to);

        const std::array<TrackWord, kMaxTargets> targets = CopyTargets(before);
        const std::size_t listed = CountListEntries(targets);
        Point expected{before.x, before.y};
        if (listed < kMaxTargets)
        {
            Point points[kMaxTargets];
            for (std::size_t k = 0; k < listed; ++k)
                points[k] = Point{static_cast<std::int32_t>(TrackWordX(targets[k])),
                                  static_cast<std::int32_t>(TrackWordY(targets[k]))};
            if (reference::FindCenter(minDistance, maxDistance, points, static_cast<int>(listed), held) != -1)
                expected = held;
        }
        FuzzCheck(after.x == expected.x && after.y == expected.y,
                  "a record's position is its targets' center, the held center, or as it was");
        FuzzCheck(after.angle >= 0 && after.angle <= 360, "a heading lies in 0 .. 360 degrees");
        FuzzCheck(after.angle ==
                      static_cast<std::int32_t>(reference::FindDirection(targets, after.x, after.y)),
                  "a record's heading is the plain reference's from its new position, truncated");
        FuzzCheck(listed >= 3 || after.angle == 0, "a record with fewer than three targets has heading 0");
    }
    const std::size_t tail = whole * kTrackRecordSize;
    FuzzCheck(std::equal(source + tail, source + bytes, converted + tail),
              "a partial record is copied unchanged");
}
} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeedInputs()
{
    // The band 10 .. 100 and a generated file: with the header and a few records, without the header,
    // a chunk and a bit with a partial record at the end.
    std::vector<std::vector<std::uint8_t>> seeds;
    for (const TrackGeneratorOptions& options :
         {TrackGeneratorOptions{3, 11, false, 0}, TrackGeneratorOptions{2, 12, true, 0},
          TrackGeneratorOptions{21, 13, true, 900}})
    {
        const std::vector<std::uint8_t> file = GeneratedTrackBytes(options);
        CFuzzInputBuilder input;
        input.I16(10).I16(100).U8(0).U8(0).Bytes(file.data(), file.size());
        seeds.push_back(input.Data());
    }
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const CFuzzScratchDir scratch;
    CFuzzInput input(data, size);
    const int minDistance = input.I16();
    const int maxDistance = input.I16();
    const std::uint8_t control = input.U8();
    const std::uint32_t repeats = 1 + input.U8() % 64;

    // The source: an optional header (the tag, then zeros up to its full size or fewer), then the
    // rest of the input as many times as asked.
    std::vector<std::uint8_t> source;
    if ((control & kWithHeader) != 0)
    {
        const std::size_t headerBytes = (control & kHeaderCutShort) != 0
                                            ? kTrackHeaderTag.size() + input.U16() % kTrackHeaderSize
                                            : kTrackHeaderSize;
        source.assign(headerBytes, 0);
        std::copy(kTrackHeaderTag.begin(), kTrackHeaderTag.end(), source.begin());
    }
    std::vector<std::uint8_t> body;
    while (input.Remaining() > 0)
        body.push_back(input.U8());
    for (std::uint32_t r = 0; r < repeats && source.size() + body.size() <= kTrackHeaderSize + kMaxBodyBytes;
         ++r)
        source.insert(source.end(), body.begin(), body.end());

    const std::string sourcePath = scratch.File("source.qtf");
    const std::string destinationPath = scratch.File("converted.qtf");
    FuzzCheck(WriteFileBytes(sourcePath, source.data(), source.size()), "the source can be written");

    CFuzzMessageSink sink;
    CScopedMessageSink scoped(sink);
    CTrackConverter converter;
    const int result = converter.ConvertFile(sourcePath, destinationPath, minDistance, maxDistance);

    const Expected expected = ExpectedLayout(source);
    FuzzCheck(result == expected.result, "the run fails exactly on a lone partial record");
    FuzzCheck(sink.m_messages.size() == 1, "the run ends with one message");
    FuzzCheck(scratch.List() == std::vector<std::string>{"converted.qtf", "source.qtf"},
              "the run leaves the source and the converted file alone");
    const std::optional<std::vector<std::uint8_t>> converted = ReadFileBytes(destinationPath);
    FuzzCheck(converted.has_value(), "the converted file can be read");
    FuzzCheck(converted->size() == expected.headerBytes + expected.bodyBytes,
              "the converted file has the header and the body the run writes");

    std::vector<std::uint8_t> header(expected.headerBytes, 0);
    std::copy_n(source.begin(), std::min(expected.bodyStart, header.size()), header.begin());
    FuzzCheck(std::equal(header.begin(), header.end(), converted->begin()),
              "the header is copied, padded with zeros");
    CheckRecords(source.data() + expected.bodyStart, converted->data() + expected.headerBytes,
                 expected.bodyBytes, minDistance, maxDistance);
    scratch.Clear();
    return 0;
}
