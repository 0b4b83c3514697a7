// CRegionEventGenerator: walks every record of a track once and writes, for each region, a file of
// the times the tracked position entered the region and a file of the times it left it.
//
// A visit counts only once the position has gone at least the margin deep into the rectangle (the
// core); it lasts until the position is outside the rectangle again. Its enter time is the first
// record inside the rectangle on the way in, its leave time the first record outside afterwards.
// Positions that stay in the border band never make a visit (regions/VisitRule.h has the rule). A
// visit still open when the records end is dropped. Visits are buffered per region (at most 500)
// and appended in blocks.
//
// A run's event files appear together or not at all: they are written to temporary files and put
// in place only when the whole run has succeeded. A file that cannot be created or written, or a
// record that cannot be read, ends the run at once with one message; the files of an earlier run
// then stay as they were.
//
// One generator serves one or more runs; the window makes one per command. The region table and
// the reader are borrowed, never released. A run reads the records through the reader itself (Run)
// or is handed them by one pass over the file (CRegionEventConsumer, regions/RegionEventConsumer.h);
// both write the same files.
#pragma once

#include "base/Geometry.h"
#include "base/OutputFile.h"
#include "regions/EventFile.h"
#include "regions/RegionTable.h"
#include "regions/VisitRule.h"
#include "trackfile/TrackFile.h"
#include "trackfile/TrackRecord.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

inline constexpr std::int32_t kEventBufferVisits = 500;

// Visits of one region waiting to be appended to its files; entry k of both arrays is one visit.
struct RegionEventBuffer
{
    std::int64_t enterTimes[kEventBufferVisits] = {};
    std::int64_t leaveTimes[kEventBufferVisits] = {};
    std::int32_t count = 0; // 0 .. 500
};

class CRegionEventGenerator
{
public:
    using ProgressCallback = std::function<void(std::uint32_t recordsDone)>;

    CRegionEventGenerator() = default;
    virtual ~CRegionEventGenerator() = default;
    CRegionEventGenerator(const CRegionEventGenerator&) = delete;
    CRegionEventGenerator& operator=(const CRegionEventGenerator&) = delete;

    int Init(std::int32_t margin); // 0
    // The track: the reader (borrowed, read through its virtual GetRecord), the track file's name
    // (without directory; it begins every event file name) and the number of records to walk.
    // -1 when the reader is missing or there are no records.
    int SetSource(CTrackFile* reader, std::string fileName, std::uint32_t recordCount);
    // The regions (borrowed): rects[0 .. count-1] as stored by the table (corners as dragged) and
    // their names. -1 when either is missing or count is not 1 .. 50.
    // Every region is judged as its rectangle.
    int SetRegions(const Rect* rects, const std::string* names, std::int32_t count);
    // The regions of a table (borrowed), each judged by its shape: rectangles as above, circles and
    // polygons by the shape itself, never by their box. -1 when the count is not 1 .. 50.
    int SetRegions(const CRegionTable& table);
    // The set-up the window's command and tracktool share: Init with the margin, SetSource with the
    // reader, its file name and its record count, SetRegions with the table's regions. -1 when
    // SetSource or SetRegions refuses (Run then refuses too), else 0.
    int Prepare(CTrackFile& reader, const CRegionTable& table, std::int32_t margin = kDefaultRegionMargin);
    // Where the event files go; "." (the current directory) unless set.
    void SetOutputDirectory(std::string dir) { m_strOutputDirectory = std::move(dir); }

    // The whole run. -1 (nothing done) unless Init, SetRegions and SetSource have succeeded; -601
    // when an event file could not be created or written, -603 when a record could not be read
    // (the user has been told once, and no event file was written); else 0. progress, when given,
    // is called with the number of records walked every 65,536 records.
    int Run(const ProgressCallback& progress = {});

    // The parts of a run, for a pass that hands the records over itself; Run is BeginPass, then
    // StepRecord for every record in order, then EndPass. BeginPass: -1 (nothing done) unless Init
    // and SetRegions have succeeded; -601 when an event file cannot be created (told once; the pass
    // has failed); else 0, with every region's files started under m_strBaseName.
    int BeginPass();
    // Judges the record with the given index against every region in order and stores the visits
    // it ends. 0; -601 once the pass has failed (an event file could not be written, told once).
    int StepRecord(const TrackRecord& record, std::uint64_t index);
    // Appends what is buffered and puts every event file in place, or none. 0; -601 when an event
    // file could not be written (told once); -603 when the pass had failed for want of a record.
    // The pass's state and temporary files are gone afterwards.
    int EndPass();
    // Ends the pass without putting any file in place; the files of an earlier run stay as they were.
    void AbandonPass();

    // Starts every region's two files (regions of the same name share one pair) with their header,
    // as temporary files. -601, after telling the user, when one cannot be created or written.
    int WriteHeaders();
    // Zone of the record's position against rect (normalised first, so a rectangle dragged from
    // right to left or bottom to top contains what it covers on the plot).
    [[nodiscard]] std::int32_t Classify(const TrackRecord& record, const Rect& rect) const;
    // Advances a region's visit by the record with the given index.
    int Step(const TrackRecord& record, std::uint64_t index, const Rect& rect,
             RegionVisitState& state) const; // 0
    // Buffers the completed visit of region j; a full buffer is flushed at once.
    int StorePair(std::int32_t j); // 0
    // Appends region j's buffered visits to its two files and empties the buffer. -1 when a file
    // cannot be written (the run then fails) or the run has already failed.
    int Flush(std::int32_t j);

    // After a run: the visits of region j in both its files (0 for every region of a failed run).
    [[nodiscard]] std::uint64_t GetVisitsWritten(std::int32_t j) const;
    // After a run: whether some event file could not be created or written.
    [[nodiscard]] bool HadFileError() const { return m_bFileError; }

    std::int32_t m_nMargin = 0;
    bool m_bInitialised = false;
    std::vector<RegionVisitState> m_states;       // one per region, during a run only
    std::vector<RegionZones> m_zones;             // one per region, during a run only
    std::vector<RegionEventBuffer> m_buffers;     // one per region, during a run only
    const Rect* m_pRegionRects = nullptr;         // borrowed
    const std::string* m_pRegionNames = nullptr;  // borrowed
    const RegionShape* m_pRegionShapes = nullptr; // borrowed; null: every region is its rectangle
    bool m_bRegionsSet = false;
    std::int32_t m_nRegions = 0;
    CTrackFile* m_pReader = nullptr; // borrowed
    std::string m_strBaseName;       // track file name with extension, without directory
    std::uint32_t m_nRecords = 0;
    bool m_bSourceSet = false;

private:
    [[nodiscard]] std::string EventFilePath(std::int32_t j, EventKind kind) const;
    // Ends the run as failed with a message about an event file.
    void FailOnFile(const std::string& text, const COutputFile& file);
    // Puts every event file of the run in place, or none.
    void CommitFiles();
    // Drops the pass's state and files; committed files stay, temporary ones go.
    void ReleasePass();

    std::string m_strOutputDirectory = ".";
    std::vector<std::unique_ptr<COutputFile>> m_outputs;    // the run's files, one per distinct name
    std::vector<std::array<COutputFile*, 2>> m_regionFiles; // region j's enter and leave file
    std::vector<std::uint64_t> m_visitsWritten;             // kept after the run for the caller
    bool m_bFailed = false;                                 // the run has failed and the user has been told
    bool m_bFileError = false;                              // ... because of an event file
};
