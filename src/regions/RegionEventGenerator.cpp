#include "regions/RegionEventGenerator.h"

#include "base/File.h"
#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "regions/RegionPlot.h"

#include <array>
#include <cstring>
#include <optional>

namespace
{
constexpr std::uint32_t kProgressEvery = 65536;

bool IsIndex(std::int32_t j, std::size_t size)
{
    return static_cast<std::uint32_t>(j) < size;
}
} // namespace

int CRegionEventGenerator::Init(std::int32_t margin)
{
    m_nMargin = margin;
    m_bInitialised = true;
    return kOk;
}

int CRegionEventGenerator::SetSource(CTrackFile* reader, std::string fileName, std::uint32_t recordCount)
{
    if (reader == nullptr || recordCount < 1)
    {
        m_bSourceSet = false;
        return kErrNoInput;
    }
    m_pReader = reader;
    m_strBaseName = std::move(fileName);
    m_nRecords = recordCount;
    m_bSourceSet = true;
    return kOk;
}

int CRegionEventGenerator::SetRegions(const Rect* rects, const std::string* names, std::int32_t count)
{
    if (rects == nullptr || names == nullptr || count < 1 || count > kMaxRegions)
    {
        m_bRegionsSet = false;
        return kErrNoInput;
    }
    m_pRegionRects = rects;
    m_pRegionNames = names;
    m_nRegions = count;
    m_bRegionsSet = true;
    return kOk;
}

int CRegionEventGenerator::Prepare(CTrackFile& reader, const CRegionTable& table, std::int32_t margin)
{
    Init(margin);
    const int source = SetSource(&reader, reader.GetFileName(), reader.GetRecordCount());
    const int regions =
        SetRegions(table.m_regionRects.data(), table.m_regionNames.data(), table.m_nRegionCount);
    return source == kOk && regions == kOk ? kOk : kErrNoInput;
}

int CRegionEventGenerator::Run(const ProgressCallback& progress)
{
    if (!m_bInitialised || !m_bRegionsSet || !m_bSourceSet)
        return kErrNoInput;

    const auto regions = static_cast<std::size_t>(m_nRegions);
    m_bFileErrorReported = false;
    m_visitsWritten.assign(regions, 0);
    WriteHeaders();
    m_states.assign(regions, RegionVisitState{});
    m_buffers.assign(regions, RegionEventBuffer{});

    // Each record is fetched once and judged against every region in turn. The order of the
    // stored visits, and so every file, is the same as fetching it once per region.
    TrackRecord record;
    std::memset(&record, 0, sizeof record); // judged as all zero if the very first read fails
    for (std::uint32_t i = 0; i < m_nRecords; ++i)
    {
        m_pReader->GetRecord(record, i); // a failed read has told the user; the run goes on
        for (std::int32_t j = 0; j < m_nRegions; ++j)
        {
            RegionVisitState& state = m_states[static_cast<std::size_t>(j)];
            Step(record, m_pRegionRects[j], state);
            if (state.complete != 0)
            {
                StorePair(j);
                state = RegionVisitState{};
            }
        }
        if (progress && (i + 1) % kProgressEvery == 0)
            progress(i + 1);
    }
    for (std::int32_t j = 0; j < m_nRegions; ++j)
        Flush(j);
    if (progress)
        progress(m_nRecords);

    std::vector<RegionVisitState>().swap(m_states);
    std::vector<RegionEventBuffer>().swap(m_buffers);
    return m_bFileErrorReported ? kErrOpen : kOk;
}

std::string CRegionEventGenerator::EventFilePath(std::int32_t j, EventKind kind) const
{
    return MakeEventFilePath(m_strOutputDirectory, m_strBaseName, m_pRegionNames[j], kind);
}

void CRegionEventGenerator::ReportFileError(const std::string& text)
{
    if (m_bFileErrorReported)
        return;
    m_bFileErrorReported = true;
    ShowMessage(text);
}

int CRegionEventGenerator::WriteHeaders()
{
    m_regionWritable.assign(static_cast<std::size_t>(m_nRegions), false);
    if (!m_bRegionsSet)
        return kOk;
    for (std::int32_t j = 0; j < m_nRegions; ++j)
    {
        for (const EventKind kind : {EventKind::Enter, EventKind::Leave})
        {
            const std::string path = EventFilePath(j, kind);
            if (!CreateEventFile(path))
            {
                // Regions without fresh files write nothing this run, so no visit is ever
                // appended to a file left from an earlier run.
                ReportFileError("Cannot create the event file " + path +
                                "; no timestamp files are written for its region or the regions after it.");
                return kOk;
            }
        }
        m_regionWritable[static_cast<std::size_t>(j)] = true;
    }
    return kOk;
}

std::int32_t CRegionEventGenerator::Classify(const TrackRecord& record, const Rect& rect) const
{
    const Rect r = NormalizedRect(rect);
    const std::int64_t x = record.x;
    const std::int64_t y = record.y;
    if (!PtInRect(r, x, y))
        return kZoneOutside;
    // The core is the rectangle shrunk by the margin on every side, taken in 64 bits so that
    // rectangles near the ends of the 32-bit range do not overflow. A rectangle no wider or taller
    // than twice the margin has an empty core.
    const std::int64_t m = m_nMargin;
    const bool inCore = r.left + m <= x && x < r.right - m && r.top + m <= y && y < r.bottom - m;
    return inCore ? kZoneCore : kZoneBorder;
}

int CRegionEventGenerator::Step(const TrackRecord& record, const Rect& rect, RegionVisitState& state) const
{
    const std::int64_t t = record.timestamp;
    const std::int32_t z = Classify(record, rect);
    const std::int32_t p = state.zone;
    if (z == kZoneOutside)
    {
        if (p == kZoneCore || (p == kZoneBorder && state.entered))
        {
            state.leaveTime = t;
            state.complete = 1;
        }
        else if (p == kZoneBorder)
            state.firstInsideTime = 0; // the approach is given up
    }
    else if (z == kZoneBorder)
    {
        if (p == kZoneOutside)
            state.firstInsideTime = t;
    }
    else // core
    {
        if (p == kZoneOutside)
        {
            state.enterTime = t;
            state.firstInsideTime = t;
            state.entered = true;
        }
        else if (p == kZoneBorder && !state.entered)
        {
            state.enterTime = state.firstInsideTime;
            state.entered = true;
        }
    }
    state.zone = z;
    return kOk;
}

int CRegionEventGenerator::StorePair(std::int32_t j)
{
    if (!IsIndex(j, m_buffers.size()) || !IsIndex(j, m_states.size()))
        return kErrNoInput;
    RegionEventBuffer& buffer = m_buffers[static_cast<std::size_t>(j)];
    const RegionVisitState& state = m_states[static_cast<std::size_t>(j)];
    buffer.enterTimes[buffer.count] = state.enterTime;
    buffer.leaveTimes[buffer.count] = state.leaveTime;
    ++buffer.count;
    if (buffer.count == kEventBufferVisits)
        Flush(j);
    return kOk;
}

bool CRegionEventGenerator::AppendBuffer(std::int32_t j)
{
    const RegionEventBuffer& buffer = m_buffers[static_cast<std::size_t>(j)];
    const std::string enterPath = EventFilePath(j, EventKind::Enter);
    const std::string leavePath = EventFilePath(j, EventKind::Leave);

    const auto Fail = [this](const std::string& path)
    {
        ReportFileError("Cannot write to the event file " + path +
                        "; the timestamp files of its region are incomplete.");
        return false;
    };

    // Both files are opened before either is written, so that a file that cannot be opened
    // leaves its partner untouched.
    CFile enterFile;
    CFile leaveFile;
    const bool enterOpen = enterFile.Open(enterPath, FileMode::WriteExisting, ShareMode::DenyNone);
    const bool leaveOpen =
        enterOpen && leaveFile.Open(leavePath, FileMode::WriteExisting, ShareMode::DenyNone);
    if (!enterOpen || !leaveOpen)
        return Fail(enterOpen ? leavePath : enterPath);

    const auto count = static_cast<std::size_t>(buffer.count);
    std::array<std::uint8_t, kEventBufferVisits * kEventEntrySize> bytes;
    struct Half
    {
        CFile& file;
        const std::int64_t* times;
        const std::string& path;
        std::optional<std::uint64_t> lengthBefore;
    };
    std::array<Half, 2> halves = {Half{enterFile, buffer.enterTimes, enterPath, enterFile.GetLength()},
                                  Half{leaveFile, buffer.leaveTimes, leavePath, leaveFile.GetLength()}};
    for (Half& half : halves)
    {
        StoreEventTimes(half.times, count, bytes.data());
        if (half.lengthBefore && half.file.SeekToEnd() &&
            half.file.Write(bytes.data(), count * kEventEntrySize))
            continue;
        // A block that reached one file but not the other is taken back out of both (as far as
        // the files let us), so the entries that stay still pair up.
        for (Half& written : halves)
            if (written.lengthBefore)
                (void)written.file.SetLength(*written.lengthBefore);
        enterFile.Close();
        leaveFile.Close();
        return Fail(half.path);
    }
    for (const Half& half : halves)
        if (!half.file.Close())
            return Fail(half.path);
    return true;
}

int CRegionEventGenerator::Flush(std::int32_t j)
{
    if (!IsIndex(j, m_buffers.size()))
        return kErrNoInput;
    RegionEventBuffer& buffer = m_buffers[static_cast<std::size_t>(j)];
    if (buffer.count == 0)
        return kOk;
    const auto region = static_cast<std::size_t>(j);
    const bool written = m_regionWritable[region] && AppendBuffer(j);
    if (written)
        m_visitsWritten[region] += static_cast<std::uint64_t>(buffer.count);
    else
        m_regionWritable[region] = false; // nothing more is appended this run; the visits are dropped
    // Emptied either way, so the buffer never holds more than 500 visits.
    buffer.count = 0;
    return written ? kOk : kErrNoInput;
}

std::uint64_t CRegionEventGenerator::GetVisitsWritten(std::int32_t j) const
{
    return IsIndex(j, m_visitsWritten.size()) ? m_visitsWritten[static_cast<std::size_t>(j)] : 0;
}
