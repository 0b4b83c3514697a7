#include "regions/RegionEventGenerator.h"

#include "base/File.h"
#include "base/MessageSink.h"
#include "base/Regions.h"
#include "base/ResultCodes.h"
#include "regions/RegionPlot.h"

#include <array>
#include <cassert>
#include <cstring>
#include <optional>

namespace
{
constexpr std::uint32_t kProgressEvery = 65536;

// True when j names one of the per-region entries of v; -1 never does.
template <typename T> bool IsSlotOf(std::int32_t j, const std::vector<T>& v)
{
    return j >= 0 && static_cast<std::size_t>(j) < v.size();
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
    m_pRegionShapes = nullptr;
    m_nRegions = count;
    m_bRegionsSet = true;
    return kOk;
}

int CRegionEventGenerator::SetRegions(const CRegionTable& table)
{
    const int set = SetRegions(table.m_regionRects.data(), table.m_regionNames.data(), table.m_nRegionCount);
    if (set == kOk)
        m_pRegionShapes = table.m_regionShapes.data();
    return set;
}

int CRegionEventGenerator::Prepare(CTrackFile& reader, const CRegionTable& table, std::int32_t margin)
{
    Init(margin);
    const int source = SetSource(&reader, reader.GetFileName(), reader.GetRecordCount());
    const int regions = SetRegions(table);
    return source == kOk && regions == kOk ? kOk : kErrNoInput;
}

int CRegionEventGenerator::Run(const ProgressCallback& progress)
{
    if (!m_bInitialised || !m_bRegionsSet || !m_bSourceSet)
        return kErrNoInput;
    BeginPass();

    // Each record is fetched once and judged against every region in turn. The order of the
    // stored visits, and so every file, is the same as fetching it once per region.
    TrackRecord record;
    std::memset(&record, 0, sizeof record);
    for (std::uint32_t i = 0; i < m_nRecords && !m_bFailed; ++i)
    {
        // A record that cannot be read would be judged by the one before it: the run ends here.
        if (m_pReader->GetRecord(record, i) != kOk)
        {
            ShowMessage("Record " + std::to_string(i) + " of " + m_strBaseName +
                        " cannot be read; no timestamp files were written.");
            m_bFailed = true;
            break;
        }
        StepRecord(record, i);
        if (progress && (i + 1) % kProgressEvery == 0)
            progress(i + 1);
    }
    const int result = EndPass();
    if (progress && result == kOk)
        progress(m_nRecords);
    return result;
}

int CRegionEventGenerator::BeginPass()
{
    if (!m_bInitialised || !m_bRegionsSet)
        return kErrNoInput;
    const auto regions = static_cast<std::size_t>(m_nRegions);
    m_bFailed = false;
    m_bFileError = false;
    m_visitsWritten.assign(regions, 0);
    WriteHeaders();
    m_states.assign(regions, RegionVisitState{});
    m_buffers.assign(regions, RegionEventBuffer{});
    m_zones.clear();
    for (std::int32_t j = 0; j < m_nRegions; ++j)
    {
        const bool shaped = m_pRegionShapes != nullptr && m_pRegionShapes[j].kind != ShapeKind::Rectangle;
        m_zones.push_back(MakeRegionZones(
            shaped ? m_pRegionShapes[j] : RegionShape::Rectangle(m_pRegionRects[j]), m_nMargin));
    }
    return m_bFailed ? kErrOpen : kOk;
}

int CRegionEventGenerator::StepRecord(const TrackRecord& record, std::uint64_t index)
{
    for (std::int32_t j = 0; j < m_nRegions && !m_bFailed; ++j)
    {
        RegionVisitState& state = m_states[static_cast<std::size_t>(j)];
        StepVisit(state, ClassifyPosition(record.x, record.y, m_zones[static_cast<std::size_t>(j)]), index,
                  record.timestamp);
        if (state.complete != 0)
        {
            StorePair(j);
            state = RegionVisitState{};
        }
    }
    return m_bFailed ? kErrOpen : kOk;
}

int CRegionEventGenerator::EndPass()
{
    for (std::int32_t j = 0; j < m_nRegions && !m_bFailed; ++j)
        Flush(j);
    if (!m_bFailed)
        CommitFiles();
    ReleasePass();
    if (!m_bFailed)
        return kOk;
    m_visitsWritten.assign(m_visitsWritten.size(), 0);
    return m_bFileError ? kErrOpen : kErrNoRecord;
}

void CRegionEventGenerator::AbandonPass()
{
    ReleasePass();
    m_visitsWritten.assign(m_visitsWritten.size(), 0);
}

void CRegionEventGenerator::ReleasePass()
{
    std::vector<RegionVisitState>().swap(m_states);
    std::vector<RegionZones>().swap(m_zones);
    std::vector<RegionEventBuffer>().swap(m_buffers);
    m_regionFiles.clear();
    m_outputs.clear(); // removes the temporary files of a pass that did not end well
}

std::string CRegionEventGenerator::EventFilePath(std::int32_t j, EventKind kind) const
{
    return MakeEventFilePath(m_strOutputDirectory, m_strBaseName, m_pRegionNames[j], kind);
}

void CRegionEventGenerator::FailOnFile(const std::string& text, const COutputFile& file)
{
    m_bFailed = true;
    m_bFileError = true;
    ShowFileProblem(text, file.GetDestination(), file.GetProblem());
}

int CRegionEventGenerator::WriteHeaders()
{
    m_outputs.clear();
    m_regionFiles.assign(static_cast<std::size_t>(m_nRegions), {nullptr, nullptr});
    if (!m_bRegionsSet)
        return kOk;
    const auto& header = EventFileHeader();
    for (std::int32_t j = 0; j < m_nRegions; ++j)
    {
        for (const EventKind kind : {EventKind::Enter, EventKind::Leave})
        {
            const std::string path = EventFilePath(j, kind);
            // Regions of the same name share their pair of files: one header, then the entries of
            // both in the order they are flushed.
            COutputFile* file = nullptr;
            for (const auto& output : m_outputs)
                if (output->GetDestination() == path)
                    file = output.get();
            if (file == nullptr)
            {
                m_outputs.push_back(std::make_unique<COutputFile>());
                file = m_outputs.back().get();
                if (!file->Create(path))
                {
                    FailOnFile("Cannot create the event file " + path + "; no timestamp files were written.",
                               *file);
                    return kErrOpen;
                }
                if (!file->Write(header.data(), header.size()))
                {
                    FailOnFile("Cannot write to the event file " + path +
                                   "; no timestamp files were written.",
                               *file);
                    return kErrOpen;
                }
            }
            m_regionFiles[static_cast<std::size_t>(j)][kind == EventKind::Enter ? 0 : 1] = file;
        }
    }
    return kOk;
}

void CRegionEventGenerator::CommitFiles()
{
    std::vector<COutputFile*> files;
    for (const auto& output : m_outputs)
        files.push_back(output.get());
    std::size_t failed = 0;
    if (!CommitAll(files, failed))
        FailOnFile("Cannot write to the event file " + files[failed]->GetDestination() +
                       "; no timestamp files were written.",
                   *files[failed]);
}

std::int32_t CRegionEventGenerator::Classify(const TrackRecord& record, const Rect& rect) const
{
    return ClassifyPosition(record.x, record.y, rect, m_nMargin);
}

int CRegionEventGenerator::Step(const TrackRecord& record, std::uint64_t index, const Rect& rect,
                                RegionVisitState& state) const
{
    StepVisit(state, Classify(record, rect), index, record.timestamp);
    return kOk;
}

int CRegionEventGenerator::StorePair(std::int32_t j)
{
    if (!IsSlotOf(j, m_buffers) || !IsSlotOf(j, m_states))
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

int CRegionEventGenerator::Flush(std::int32_t j)
{
    if (!IsSlotOf(j, m_buffers))
        return kErrNoInput;
    RegionEventBuffer& buffer = m_buffers[static_cast<std::size_t>(j)];
    const auto count = static_cast<std::size_t>(buffer.count);
    // Emptied whatever happens, so the buffer never holds more than 500 visits.
    buffer.count = 0;
    if (count == 0)
        return kOk;
    if (m_bFailed || !IsSlotOf(j, m_regionFiles))
        return kErrNoInput;
    const auto region = static_cast<std::size_t>(j);
    std::array<std::uint8_t, kEventBufferVisits * kEventEntrySize> bytes;
    const std::array<const std::int64_t*, 2> times = {buffer.enterTimes, buffer.leaveTimes};
    for (std::size_t half = 0; half < 2; ++half)
    {
        assert(m_regionFiles[region][half] != nullptr && "WriteHeaders gives every region its files");
        COutputFile& file = *m_regionFiles[region][half];
        StoreEventTimes(times[half], count, bytes.data());
        if (!file.Write(bytes.data(), count * kEventEntrySize))
        {
            FailOnFile("Cannot write to the event file " + file.GetDestination() +
                           "; no timestamp files were written.",
                       file);
            return kErrNoInput;
        }
    }
    m_visitsWritten[region] += count;
    return kOk;
}

std::uint64_t CRegionEventGenerator::GetVisitsWritten(std::int32_t j) const
{
    return IsSlotOf(j, m_visitsWritten) ? m_visitsWritten[static_cast<std::size_t>(j)] : 0;
}
