#include "trackfile/TrackFile.h"

#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "trackfile/TrackFileHeader.h"

#include <cstring>
#include <limits>
#include <optional>
#include <system_error>

namespace
{
constexpr const char* kMsgNotOpen = "Please open a file before attempting this operation.";
constexpr const char* kMsgShortRead = "Insufficient read length.";
constexpr const char* kMsgInvalidIndex = "InvalidIndex.";
} // namespace

std::optional<TrackFileLayout> OpenTrackSource(CFile& file, const std::string& path)
{
    if (!file.Open(path, FileMode::Read, ShareMode::DenyNone))
    {
        ShowFileProblem(kMsgTrackOpenFailed, path, file.GetProblem());
        return std::nullopt;
    }
    // A file whose length or start cannot be read is not opened: its records could not be placed.
    std::optional<TrackFileLayout> layout = ExamineTrackFile(file);
    if (!layout)
    {
        ShowFileProblem(kMsgTrackOpenFailed, path, file.GetProblem());
        file.Close();
    }
    return layout;
}

CTrackFile::CTrackFile()
{
    std::memset(m_window, 0, sizeof m_window);
}

CTrackFile::~CTrackFile() = default; // m_file closes itself

int CTrackFile::Open(const std::string& path)
{
    if (m_isOpen)
        m_file.Close();
    m_isOpen = false;
    m_recordCount = 0;
    m_tailBytes = 0;
    m_recordsInFile = 0;

    const std::optional<TrackFileLayout> layout = OpenTrackSource(m_file, path);
    if (!layout)
        return kErrOpen;
    m_isOpen = true;
    m_hasHeader = layout->hasHeader;
    m_recordsInFile = layout->records;
    // Counts stay 32-bit; a file with more records than that serves the first 2^32 - 1 of them.
    m_recordCount = layout->records > std::numeric_limits<std::uint32_t>::max()
                        ? std::numeric_limits<std::uint32_t>::max()
                        : static_cast<std::uint32_t>(layout->records);
    m_tailBytes = layout->tailBytes;
    const bool incomplete = layout->IsIncomplete();
    if (incomplete)
        ShowMessage(kMsgTrackIncomplete);
    return ReadWindow(0);
}

int CTrackFile::ReadWindow(std::uint32_t first)
{
    if (!m_isOpen)
    {
        ShowMessage(kMsgNotOpen);
        return kErrNoRecord;
    }
    m_windowStart = first;
    const std::uint32_t available = first < m_recordCount ? m_recordCount - first : 0;
    const std::uint32_t n = available < kTrackWindowRecords ? available : kTrackWindowRecords;
    if (n == 0)
        return kOk;

    ++m_windowReads;
    const std::uint64_t offset =
        (m_hasHeader ? std::uint64_t{kTrackHeaderSize} : 0) + std::uint64_t{first} * kTrackRecordSize;
    const std::size_t wanted = std::size_t{n} * kTrackRecordSize;
    const bool sought = m_file.Seek(offset);
    const std::int64_t got = sought ? m_file.Read(m_window, wanted) : -1;
    if (got < 0)
    {
        ShowMessageWithReason(kMsgShortRead, std::generic_category().message(m_file.GetLastError()));
        return kErrNoRecord;
    }
    if (got != static_cast<std::int64_t>(wanted))
    {
        // The file ends before records it had when it was opened.
        ShowMessageWithReason(kMsgShortRead, m_file.GetFileName() + " is shorter than when it was opened.");
        return kErrNoRecord;
    }
    return kOk;
}

int CTrackFile::GetRecord(TrackRecord& dest, std::uint32_t index)
{
    if (m_recordCount == 0 || index >= m_recordCount)
        return kErrNoRecord;

    int result = kOk;
    // A miss restarts the window at the requested index, never before it. The sum is taken in 64
    // bits so that a window near the top of the index range does not wrap.
    if (std::uint64_t{index} >= std::uint64_t{m_windowStart} + kTrackWindowRecords)
        result = ReadWindow(index);
    if (index < m_windowStart)
        result = ReadWindow(index);

    const std::uint32_t slot = index - m_windowStart;
    if (slot >= kTrackWindowRecords)
    {
        ShowMessage(kMsgInvalidIndex);
        return kErrNoRecord;
    }
    std::memcpy(&dest, &m_window[slot], sizeof(TrackRecord));
    return result;
}

std::string CTrackFile::GetFileName() const
{
    return m_isOpen ? m_file.GetFileName() : std::string();
}
