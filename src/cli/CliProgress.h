// Progress for long tracktool runs: a line rewritten in place on stderr while stderr is a
// terminal, nothing at all otherwise (so scripts and logs see only the messages).
#pragma once

#include "trackfile/RecordStream.h"

#include <cstdint>
#include <span>
#include <string>

class CBlockReader;

class CCliProgress
{
public:
    CCliProgress(std::string label, std::uint64_t total);
    ~CCliProgress(); // ends the line if anything was shown
    void Update(std::uint64_t done);

private:
    std::string m_label;
    std::uint64_t m_total;
    bool m_enabled;
    bool m_shown = false;
    int m_lastPercent = -1;
};

// One pass of an open reader over consumers, with label's progress line; the line is ended before
// the pass's result comes back, so that what the command prints next starts a line of its own.
[[nodiscard]] int RunWithProgress(CBlockReader& reader, std::span<IRecordConsumer* const> consumers,
                                  std::string label);
