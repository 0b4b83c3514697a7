// A seam in the file layer for tests: it counts the system calls the file layer makes, by kind,
// and can make one chosen call fail with an error number, or make one write short (part of the
// bytes reach the file, then the disk is full). It is always compiled in; until a test switches it
// on, each call costs one relaxed atomic load. Only tests switch it on.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The kinds of system call the file layer makes.
enum class FileOp
{
    Open,
    Read,
    Write,
    Seek,
    Close,
    Rename,
    Unlink,
    Stat, // stat, lstat, fstat and readlink: what a path or a descriptor is
    Truncate,
    Lock,
};
inline constexpr std::size_t kFileOpKinds = 10;

[[nodiscard]] std::string_view FileOpName(FileOp op);

enum class FileFaultKind
{
    Fail,       // the call fails with the given error number and does nothing
    ShortWrite, // a write: half of the bytes reach the file, then the next write fails with ENOSPC
};

// Switches counting on for its lifetime (counts start at zero, nothing armed) and off afterwards.
// One at a time; the counts cover every thread.
class CFileFaultScope
{
public:
    CFileFaultScope();
    ~CFileFaultScope();
    CFileFaultScope(const CFileFaultScope&) = delete;
    CFileFaultScope& operator=(const CFileFaultScope&) = delete;

    // Makes the nth call (counted from 1, from now on) of kind op fail; replaces an armed fault and
    // sets every count back to zero.
    void Arm(FileOp op, std::uint64_t nth, FileFaultKind kind, int error);
    // Counts back to zero, nothing armed.
    void Reset();
    [[nodiscard]] std::uint64_t GetCount(FileOp op) const;
    [[nodiscard]] std::array<std::uint64_t, kFileOpKinds> GetCounts() const;
    // Whether the armed fault has been applied.
    [[nodiscard]] bool HasFired() const;
};

namespace file_faults
{
// What the next call of kind op must do: 0 to go ahead, else fail with this error number. A write
// that is to be short gets kShortWrite.
inline constexpr int kShortWrite = -1;
int OnCall(FileOp op);
} // namespace file_faults
