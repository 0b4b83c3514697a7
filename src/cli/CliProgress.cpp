#include "cli/CliProgress.h"

#include <cstdio>
#include <unistd.h>

CCliProgress::CCliProgress(std::string label, std::uint64_t total)
    : m_label(std::move(label)), m_total(total), m_enabled(::isatty(STDERR_FILENO) == 1)
{
}

CCliProgress::~CCliProgress()
{
    if (m_shown)
        std::fputs("\n", stderr);
}

void CCliProgress::Update(std::uint64_t done)
{
    if (!m_enabled || m_total == 0)
        return;
    const int percent = static_cast<int>(done * 100 / m_total);
    if (percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    m_shown = true;
    std::fprintf(stderr, "\r%s: %d%% (%llu of %llu)", m_label.c_str(), percent,
                 static_cast<unsigned long long>(done), static_cast<unsigned long long>(m_total));
    std::fflush(stderr);
}
