// Progress for long tracktool runs: a line rewritten in place on stderr while stderr is a
// terminal, nothing at all otherwise (so scripts and logs see only the messages).
#pragma once

#include <cstdint>
#include <string>

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
