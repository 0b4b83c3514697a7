#include "base/FileFaults.h"

#include <atomic>
#include <cassert>
#include <cerrno>
#include <mutex>

namespace
{
struct FaultState
{
    std::array<std::uint64_t, kFileOpKinds> counts{};
    bool armed = false;
    bool fired = false;
    bool diskFull = false; // a short write has happened: the next write finds the disk full
    FileOp op = FileOp::Open;
    std::uint64_t nth = 0;
    FileFaultKind kind = FileFaultKind::Fail;
    int error = 0;
};

std::atomic<bool> g_bActive{false};
std::mutex g_mutex;
FaultState g_state;

std::size_t IndexOf(FileOp op)
{
    return static_cast<std::size_t>(op);
}
} // namespace

std::string_view FileOpName(FileOp op)
{
    static constexpr std::array<std::string_view, kFileOpKinds> kNames = {
        "open", "read", "write", "seek", "close", "rename", "unlink", "stat", "truncate", "lock"};
    return kNames[IndexOf(op)];
}

CFileFaultScope::CFileFaultScope()
{
    assert(!g_bActive.load() && "only one CFileFaultScope at a time");
    Reset();
    g_bActive.store(true);
}

CFileFaultScope::~CFileFaultScope()
{
    g_bActive.store(false);
    Reset();
}

void CFileFaultScope::Arm(FileOp op, std::uint64_t nth, FileFaultKind kind, int error)
{
    const std::lock_guard lock(g_mutex);
    g_state = FaultState{};
    g_state.armed = true;
    g_state.op = op;
    g_state.nth = nth;
    g_state.kind = kind;
    g_state.error = error;
}

void CFileFaultScope::Reset()
{
    const std::lock_guard lock(g_mutex);
    g_state = FaultState{};
}

std::uint64_t CFileFaultScope::GetCount(FileOp op) const
{
    const std::lock_guard lock(g_mutex);
    return g_state.counts[IndexOf(op)];
}

std::array<std::uint64_t, kFileOpKinds> CFileFaultScope::GetCounts() const
{
    const std::lock_guard lock(g_mutex);
    return g_state.counts;
}

bool CFileFaultScope::HasFired() const
{
    const std::lock_guard lock(g_mutex);
    return g_state.fired;
}

int file_faults::OnCall(FileOp op)
{
    if (!g_bActive.load(std::memory_order_relaxed))
        return 0;
    const std::lock_guard lock(g_mutex);
    const std::uint64_t n = ++g_state.counts[IndexOf(op)];
    if (op == FileOp::Write && g_state.diskFull)
        return ENOSPC;
    if (!g_state.armed || g_state.fired || op != g_state.op || n != g_state.nth)
        return 0;
    g_state.fired = true;
    if (g_state.kind == FileFaultKind::ShortWrite && op == FileOp::Write)
    {
        g_state.diskFull = true;
        return file_faults::kShortWrite;
    }
    return g_state.error;
}
