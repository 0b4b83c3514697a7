#include "trackfile/BlockReader.h"

#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "trackfile/TrackFile.h"
#include "trackfile/TrackFileHeader.h"

#include <optional>
#include <string>
#include <system_error>

namespace
{
// Ends the pass early: every consumer drops what it prepared.
void AbandonAll(std::span<IRecordConsumer* const> consumers)
{
    for (IRecordConsumer* consumer : consumers)
        consumer->Abandon();
}
} // namespace

CBlockReader::CBlockReader(std::size_t blockRecords)
    : m_blockRecords(blockRecords == 0 ? 1 : blockRecords),
      m_block(std::make_unique<TrackRecord[]>(m_blockRecords))
{
}

int CBlockReader::Open(const std::string& path)
{
    m_isOpen = false;
    m_info = TrackSourceInfo{};
    m_info.path = path;
    m_info.fileName = FileNameOfPath(path);
    const std::optional<TrackFileLayout> layout = OpenTrackSource(m_file, path);
    if (!layout)
        return kErrOpen;
    m_info.hasHeader = layout->hasHeader;
    m_info.records = layout->records;
    m_info.tailBytes = layout->tailBytes;
    if (layout->IsIncomplete())
        ShowMessage(kMsgTrackIncomplete);
    m_isOpen = true;
    return kOk;
}

int CBlockReader::Run(std::span<IRecordConsumer* const> consumers, const StreamProgress& progress)
{
    if (!m_isOpen)
        return kErrNoInput;
    for (IRecordConsumer* consumer : consumers)
    {
        if (const int begun = consumer->Begin(m_info); begun != kOk)
        {
            AbandonAll(consumers);
            return begun;
        }
    }
    if (!m_file.Seek(m_info.hasHeader ? kTrackHeaderSize : 0))
    {
        ShowMessageWithReason("Error reading " + m_info.fileName + "; no results were written.",
                              std::generic_category().message(m_file.GetLastError()));
        AbandonAll(consumers);
        return kErrNoRecord;
    }

    std::uint64_t done = 0;
    while (done < m_info.records)
    {
        const std::uint64_t left = m_info.records - done;
        const std::size_t count = left < m_blockRecords ? static_cast<std::size_t>(left) : m_blockRecords;
        const std::size_t wanted = count * kTrackRecordSize;
        const std::int64_t got = m_file.Read(m_block.get(), wanted);
        if (got != static_cast<std::int64_t>(wanted))
        {
            // Counted at opening, so fewer bytes now means the file was cut short meanwhile.
            if (got < 0)
                ShowMessageWithReason("Error reading " + m_info.fileName + "; no results were written.",
                                      std::generic_category().message(m_file.GetLastError()));
            else
                ShowMessage(m_info.fileName + " got shorter while it was read (record " +
                            std::to_string(done + static_cast<std::uint64_t>(got) / kTrackRecordSize) +
                            " could not be read); no results were written.");
            AbandonAll(consumers);
            return kErrNoRecord;
        }
        const std::span<const TrackRecord> records(m_block.get(), count);
        for (IRecordConsumer* consumer : consumers)
        {
            if (const int consumed = consumer->Consume(records, done); consumed != kOk)
            {
                AbandonAll(consumers);
                return consumed;
            }
        }
        done += count;
        if (progress && !progress(done, m_info.records))
        {
            AbandonAll(consumers);
            return kErrCancelled;
        }
    }
    int result = kOk;
    for (IRecordConsumer* consumer : consumers)
    {
        const int ended = consumer->End();
        if (result == kOk)
            result = ended;
    }
    return result;
}
