// Runs the region event generator over a track and regions chosen by the input (rectangles
// reversed, narrow, overlapping or at the ends of the 32-bit range, any margin, names shared by two
// regions or naming a folder that does not exist, reads that fail) and compares every event file
// with what a plain model of the visit rule expects.
//
// The visit rule as the model states it: on the way in, the first record inside the rectangle is
// remembered; the visit begins (with that time) once a record reaches the core, the rectangle
// shrunk by the margin; it ends at the first record outside the rectangle. A rectangle is taken
// with its corners in order; left and top edges are inside, right and bottom edges are not.
#include "base/ResultCodes.h"
#include "regions/EventFile.h"
#include "regions/RegionEventGenerator.h"
#include "support/FuzzInput.h"
#include "support/FuzzScratch.h"
#include "support/GeneratedTrack.h"
#include "trackfile/TrackFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace
{
constexpr std::size_t kMaxRegionsHere = 6;
constexpr std::uint32_t kMaxRecords = 16384;
constexpr std::uint8_t kNameCount = 8;
// The last name lies in a folder that does not exist, so its files cannot be created.
const std::array<std::string, kNameCount> kNames = {"Box0", "Box1", "Box2", "Box3",
                                                    "Box4", "Box5", "Box6", "absent/Box7"};
constexpr std::uint8_t kUnwritableName = kNameCount - 1;
const std::string kTrackName = "fuzz.qtf";

// Each record of the input starts with a control byte: how x, y and the time are given, and
// whether the reader fails to deliver it.
enum class Coordinate : std::uint8_t
{
    Step = 0,     // the previous value plus a signed byte
    Absolute = 1, // a signed 16-bit value
    Any = 2,      // CFuzzInput::Int
    Same = 3,
};
enum class Time : std::uint8_t
{
    Step = 0,     // the previous time plus an unsigned byte
    Absolute = 1, // any signed 64-bit value
    Zero = 2,
    Same = 3,
};
constexpr std::uint8_t kReadFails = 0x40;

struct Position
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int64_t time = 0;
    bool readFails = false;
};

// A reader that serves positions and times from memory and fails where the input says so.
class CMemoryTrack final : public CTrackFile
{
public:
    explicit CMemoryTrack(const std::vector<Position>& positions) : m_positions(positions) {}
    int GetRecord(TrackRecord& dest, std::uint32_t index) override
    {
        if (index >= m_positions.size() || m_positions[index].readFails)
            return kErrNoRecord;
        dest.x = m_positions[index].x;
        dest.y = m_positions[index].y;
        dest.timestamp = m_positions[index].time;
        return kOk;
    }

private:
    const std::vector<Position>& m_positions;
};

std::int32_t Saturate(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::int32_t NextCoordinate(CFuzzInput& input, std::uint8_t mode, std::int32_t previous)
{
    switch (static_cast<Coordinate>(mode & 3))
    {
    case Coordinate::Step:
        return Saturate(std::int64_t{previous} + input.I8());
    case Coordinate::Absolute:
        return input.I16();
    case Coordinate::Any:
        return input.Int();
    default:
        return previous;
    }
}

std::int64_t NextTime(CFuzzInput& input, std::uint8_t mode, std::int64_t previous)
{
    switch (static_cast<Time>(mode & 3))
    {
    case Time::Step:
        return static_cast<std::int64_t>(static_cast<std::uint64_t>(previous) + input.U8());
    case Time::Absolute:
        return input.I64();
    case Time::Zero:
        return 0;
    default:
        return previous;
    }
}

Rect ReadRect(CFuzzInput& input)
{
    Rect r;
    r.left = input.Int();
    r.top = input.Int();
    if (input.Bit())
    {
        // Narrow or reversed: the other corner a signed byte away.
        r.right = Saturate(std::int64_t{r.left} + input.I8());
        r.bottom = Saturate(std::int64_t{r.top} + input.I8());
    }
    else
    {
        r.right = input.Int();
        r.bottom = input.Int();
    }
    return r;
}

struct Visit
{
    std::int64_t enter = 0;
    std::int64_t leave = 0;
    std::uint32_t endedAt = 0; // index of the record that ended it
};

enum class Zone
{
    Outside,
    Border,
    Core,
};

Zone ZoneOf(std::int64_t x, std::int64_t y, const Rect& rect, std::int64_t margin)
{
    const std::int64_t left = std::min(rect.left, rect.right);
    const std::int64_t right = std::max(rect.left, rect.right);
    const std::int64_t top = std::min(rect.top, rect.bottom);
    const std::int64_t bottom = std::max(rect.top, rect.bottom);
    if (!(left <= x && x < right && top <= y && y < bottom))
        return Zone::Outside;
    const bool core = left + margin <= x && x < right - margin && top + margin <= y && y < bottom - margin;
    return core ? Zone::Core : Zone::Border;
}

std::vector<Visit> ModelVisits(const std::vector<Position>& judged, const Rect& rect, std::int32_t margin)
{
    std::vector<Visit> visits;
    std::optional<std::int64_t> wayIn; // time of the first record inside on the current way in
    std::optional<std::int64_t> enteredAt;
    for (std::uint32_t i = 0; i < judged.size(); ++i)
    {
        const Position& p = judged[i];
        const Zone zone = ZoneOf(p.x, p.y, rect, margin);
        if (zone == Zone::Outside)
        {
            if (enteredAt)
                visits.push_back({*enteredAt, p.time, i});
            wayIn.reset();
            enteredAt.reset();
            continue;
        }
        if (!wayIn)
            wayIn = p.time;
        if (zone == Zone::Core && !enteredAt)
            enteredAt = wayIn;
    }
    return visits;
}

// One block of visits appended to a region's files: when, and which visits.
struct Block
{
    std::uint32_t at = 0; // record index at which the block is written; the record count for the end
    std::size_t region = 0;
    std::size_t first = 0;
    std::size_t end = 0;
};

std::vector<std::uint8_t> ExpectedEntries(const std::vector<std::vector<Visit>>& visits,
                                          const std::vector<Block>& blocks, const std::string& name,
                                          const std::vector<std::string>& names, EventKind kind)
{
    std::vector<std::uint8_t> bytes;
    for (const Block& block : blocks)
    {
        if (names[block.region] != name)
            continue;
        for (std::size_t k = block.first; k < block.end; ++k)
        {
            const Visit& v = visits[block.region][k];
            const auto value = static_cast<std::uint64_t>(kind == EventKind::Enter ? v.enter : v.leave);
            for (int b = 0; b < 8; ++b)
                bytes.push_back(static_cast<std::uint8_t>(value >> (8 * b)));
        }
    }
    return bytes;
}

void CheckEventFile(const std::string& path, const std::vector<std::uint8_t>& entries)
{
    const std::optional<std::vector<std::uint8_t>> bytes = ReadFileBytes(path);
    FuzzCheck(bytes.has_value(), "every expected event file exists");
    FuzzCheck(bytes->size() == kTrackHeaderSize + entries.size(), "an event file holds every visit once");
    FuzzCheck(std::equal(kTrackHeaderTag.begin(), kTrackHeaderTag.end(), bytes->begin()) &&
                  (*bytes)[kTrackHeaderTag.size()] == 0,
              "an event file starts with the tag and a zero byte");
    FuzzCheck(std::equal(entries.begin(), entries.end(), bytes->begin() + kTrackHeaderSize),
              "an event file holds the model's times in the model's order");
}
} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeedInputs()
{
    const auto AddRegion = [](CFuzzInputBuilder& input, std::uint8_t name, Rect r)
    { input.U8(name).Int(r.left).Int(r.top).U8(0).Int(r.right).Int(r.bottom); };
    const auto AddRecord = [](CFuzzInputBuilder& input, std::int32_t x, std::int32_t y, std::int64_t t)
    {
        constexpr auto kControl = static_cast<std::uint8_t>(static_cast<std::uint8_t>(Coordinate::Any) |
                                                            static_cast<std::uint8_t>(Coordinate::Any) << 2 |
                                                            static_cast<std::uint8_t>(Time::Absolute) << 4);
        input.U8(kControl).Int(x).Int(y).I64(t);
    };

    std::vector<std::vector<std::uint8_t>> seeds;
    // A generated track against the default rectangle, one dragged backwards, a narrow one and
    // one overlapping the others.
    {
        CFuzzInputBuilder input;
        input.Int(kDefaultRegionMargin).U8(4);
        AddRegion(input, 0, kNewRegionRect);
        AddRegion(input, 1, Rect{400, 300, 200, 120});
        AddRegion(input, 2, Rect{300, 0, 312, 480});
        AddRegion(input, 3, Rect{100, 100, 500, 400});
        const std::vector<TrackRecord> records = GeneratedRecords(250, 1);
        input.U8(static_cast<std::uint8_t>(records.size())).U8(0);
        for (const TrackRecord& record : records)
            AddRecord(input, record.x, record.y, record.timestamp);
        seeds.push_back(input.Data());
    }
    // In and out of the core hundreds of times: the first region's visits fill a block before the
    // end, and the second region, sharing its name, appends its own after them.
    {
        CFuzzInputBuilder input;
        input.Int(kDefaultRegionMargin).U8(2);
        AddRegion(input, 0, kNewRegionRect);
        AddRegion(input, 0, Rect{0, 0, 150, 480});
        input.U8(4).U8(255);
        AddRecord(input, 100, 100, 1000);
        AddRecord(input, 600, 100, 2000);
        AddRecord(input, 160, 100, 3000);
        AddRecord(input, 600, 100, 4000);
        seeds.push_back(input.Data());
    }
    // A region whose files cannot be created, between two that can.
    {
        CFuzzInputBuilder input;
        input.Int(kDefaultRegionMargin).U8(3);
        AddRegion(input, 1, kNewRegionRect);
        AddRegion(input, kUnwritableName, kNewRegionRect);
        AddRegion(input, 2, kNewRegionRect);
        const std::vector<TrackRecord> records = GeneratedRecords(60, 2);
        input.U8(static_cast<std::uint8_t>(records.size())).U8(0);
        for (const TrackRecord& record : records)
            AddRecord(input, record.x, record.y, record.timestamp);
        seeds.push_back(input.Data());
    }
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const CFuzzScratchDir scratch;
    CFuzzInput input(data, size);

    const std::int32_t margin = input.Int();
    const std::size_t regionCount = input.U8() % (kMaxRegionsHere + 1);
    std::vector<Rect> rects(regionCount);
    std::vector<std::string> names(regionCount);
    std::size_t firstUnwritable = regionCount;
    for (std::size_t j = 0; j < regionCount; ++j)
    {
        const std::uint8_t name = input.U8() % kNameCount;
        names[j] = kNames[name];
        if (name == kUnwritableName)
            firstUnwritable = std::min(firstUnwritable, j);
        rects[j] = ReadRect(input);
    }

    // The records given, then the whole list again as many times as the input asks.
    const std::uint32_t given = input.U8();
    const std::uint32_t repeats = 1 + input.U8();
    std::vector<Position> positions;
    Position last;
    for (std::uint32_t i = 0; i < given; ++i)
    {
        const std::uint8_t control = input.U8();
        last.x = NextCoordinate(input, control, last.x);
        last.y = NextCoordinate(input, static_cast<std::uint8_t>(control >> 2), last.y);
        last.time = NextTime(input, static_cast<std::uint8_t>(control >> 4), last.time);
        last.readFails = (control & kReadFails) != 0;
        positions.push_back(last);
    }
    const std::vector<Position> pattern = positions;
    for (std::uint32_t r = 1; r < repeats && positions.size() + pattern.size() <= kMaxRecords; ++r)
        positions.insert(positions.end(), pattern.begin(), pattern.end());
    const auto recordCount = static_cast<std::uint32_t>(positions.size());

    CFuzzMessageSink sink;
    CScopedMessageSink scoped(sink);
    CMemoryTrack reader(positions);
    CRegionEventGenerator generator;
    generator.SetOutputDirectory(scratch.Path());
    generator.Init(margin);
    generator.SetSource(&reader, kTrackName, recordCount);
    generator.SetRegions(rects.data(), names.data(), static_cast<std::int32_t>(regionCount));
    const int result = generator.Run();

    if (regionCount == 0 || recordCount == 0)
    {
        FuzzCheck(result == kErrNoInput, "a run without regions or records is refused");
        FuzzCheck(scratch.List().empty() && sink.m_messages.empty(), "a refused run writes and says nothing");
        return 0;
    }
    // A run is all or nothing: a file that cannot be made, or a record that cannot be read, ends it
    // with one message and no event file at all.
    const bool unwritable = firstUnwritable < regionCount;
    const bool unreadable =
        std::any_of(positions.begin(), positions.end(), [](const Position& p) { return p.readFails; });
    const int expected = unwritable ? kErrOpen : unreadable ? kErrNoRecord : kOk;
    FuzzCheck(result == expected, "the run's result tells whether a file or a record failed");
    FuzzCheck(sink.m_messages.size() == (expected == kOk ? 0u : 1u), "a failed run is told once");
    if (expected != kOk)
    {
        FuzzCheck(scratch.List().empty(), "a failed run leaves no event file");
        scratch.Clear();
        return 0;
    }
    const std::vector<Position>& judged = positions;

    // Every region gets its files; each appends its visits in blocks of 500 as they fill, and the
    // rest at the end, regions in order.
    std::vector<std::vector<Visit>> visits(regionCount);
    std::vector<Block> blocks;
    std::set<std::string> expectedFiles;
    for (std::size_t j = 0; j < regionCount; ++j)
    {
        visits[j] = ModelVisits(judged, rects[j], margin);
        const std::size_t n = visits[j].size();
        for (std::size_t first = 0; first < n; first += kEventBufferVisits)
        {
            const std::size_t end = std::min<std::size_t>(first + kEventBufferVisits, n);
            const std::uint32_t at =
                end - first == kEventBufferVisits ? visits[j][end - 1].endedAt : recordCount;
            blocks.push_back({at, j, first, end});
        }
        expectedFiles.insert(kTrackName + "_" + names[j] + "_Enter.qsf");
        expectedFiles.insert(kTrackName + "_" + names[j] + "_Leave.qsf");
    }
    std::stable_sort(blocks.begin(), blocks.end(),
                     [](const Block& a, const Block& b) { return a.at < b.at; });

    const std::vector<std::string> present = scratch.List();
    FuzzCheck(std::set<std::string>(present.begin(), present.end()) == expectedFiles,
              "the event files are exactly those of the regions");
    for (std::size_t j = 0; j < regionCount; ++j)
    {
        const std::size_t shared =
            static_cast<std::size_t>(std::find(names.begin(), names.end(), names[j]) - names.begin());
        if (shared != j)
            continue; // the files of a shared name are checked once, with every region's entries
        for (const EventKind kind : {EventKind::Enter, EventKind::Leave})
            CheckEventFile(MakeEventFilePath(scratch.Path(), kTrackName, names[j], kind),
                           ExpectedEntries(visits, blocks, names[j], names, kind));
    }
    scratch.Clear();
    return 0;
}
