#include "support/TrackFileBuilder.h"

#include "support/TempDir.h"
#include "trackfile/TrackFileHeader.h"

#include <cstring>
#include <stdexcept>

TrackRecord MakeRecord(std::int64_t timestamp, std::int32_t x, std::int32_t y, std::int32_t angle,
                       std::initializer_list<TrackWord> targets)
{
    TrackRecord record;
    std::memset(&record, 0, sizeof record);
    for (std::size_t i = 0; i < sizeof record.prefix; ++i)
        record.prefix[i] = static_cast<std::uint8_t>(0xA0 + i + timestamp);
    record.spare[0] = 0x5A;
    record.spare[1] = static_cast<std::uint8_t>(timestamp);
    record.timestamp = timestamp;
    record.x = x;
    record.y = y;
    record.angle = angle;
    for (std::size_t k = 0; k < 5; ++k)
        record.points[k] =
            MakeTrackWord(static_cast<std::uint32_t>(x + k), static_cast<std::uint32_t>(y), kWordBitRR);
    std::size_t k = 0;
    for (TrackWord w : targets)
        record.targets[k++] = w;
    return record;
}

void SetTargets(TrackRecord& record, const std::vector<TrackWord>& targets)
{
    if (targets.size() > kMaxTargets)
        throw std::invalid_argument("too many targets");
    for (std::size_t k = 0; k < kMaxTargets; ++k)
        record.targets[k] = k < targets.size() ? targets[k] : 0;
}

CTrackFileBuilder& CTrackFileBuilder::AddSequence(std::uint32_t n, std::int64_t first, std::int64_t step)
{
    for (std::uint32_t i = 0; i < n; ++i)
        m_records.push_back(MakeRecord(first + step * i, static_cast<std::int32_t>(i % 640),
                                       static_cast<std::int32_t>((i / 640) % 480),
                                       static_cast<std::int32_t>(i % 360)));
    return *this;
}

std::string MakeHeaderBytes()
{
    std::string header(kTrackHeaderSize, '\0');
    const std::string text = std::string(kTrackHeaderTag) + "\r\nTest header written by the test builder\r\n";
    header.replace(0, text.size(), text);
    return header;
}

std::string CTrackFileBuilder::Bytes() const
{
    std::string bytes = m_header ? MakeHeaderBytes() : std::string();
    for (const TrackRecord& record : m_records)
        bytes.append(reinterpret_cast<const char*>(&record), sizeof record);
    for (std::uint32_t i = 0; i < m_tailBytes; ++i)
        bytes.push_back(static_cast<char>(0x30 + i % 10));
    return bytes;
}

std::string CTrackFileBuilder::Write(const std::string& path) const
{
    if (!WriteWholeFile(path, Bytes()))
        throw std::runtime_error("cannot write " + path);
    return path;
}

TrackRecord RecordAt(const std::string& fileBytes, bool hasHeader, std::size_t index)
{
    TrackRecord record;
    const std::size_t offset = (hasHeader ? kTrackHeaderSize : 0) + index * kTrackRecordSize;
    if (offset + kTrackRecordSize > fileBytes.size())
        throw std::out_of_range("record beyond the end of the file");
    std::memcpy(&record, fileBytes.data() + offset, sizeof record);
    return record;
}
