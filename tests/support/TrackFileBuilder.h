// Builds tracker files in code for tests: records with chosen fields, an optional header, and
// optional trailing bytes.
#pragma once

#include "trackfile/TrackRecord.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// A record with every byte zero but the given fields; prefix, points and spare get a recognisable
// pattern derived from the timestamp so that copies can be checked byte for byte.
TrackRecord MakeRecord(std::int64_t timestamp, std::int32_t x = 0, std::int32_t y = 0, std::int32_t angle = 0,
                       std::initializer_list<TrackWord> targets = {});

// Sets the targets list (the rest zero).
void SetTargets(TrackRecord& record, const std::vector<TrackWord>& targets);

class CTrackFileBuilder
{
public:
    CTrackFileBuilder& WithHeader(bool header = true)
    {
        m_header = header;
        return *this;
    }
    CTrackFileBuilder& Add(const TrackRecord& record)
    {
        m_records.push_back(record);
        return *this;
    }
    // n records with timestamps first, first + step, ..., positions along a line.
    CTrackFileBuilder& AddSequence(std::uint32_t n, std::int64_t first = 1000, std::int64_t step = 16667);
    CTrackFileBuilder& WithTail(std::uint32_t bytes)
    {
        m_tailBytes = bytes;
        return *this;
    }

    std::string Bytes() const;
    // Writes the file; returns the path.
    std::string Write(const std::string& path) const;

    const std::vector<TrackRecord>& Records() const { return m_records; }

private:
    bool m_header = true;
    std::vector<TrackRecord> m_records;
    std::uint32_t m_tailBytes = 0;
};

// The 16,384-byte header the builder writes: the tag, then a line of text, then zeros.
std::string MakeHeaderBytes();
// The record at index i of a file's bytes.
TrackRecord RecordAt(const std::string& fileBytes, bool hasHeader, std::size_t index);
