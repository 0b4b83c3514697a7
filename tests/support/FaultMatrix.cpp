#include "support/FaultMatrix.h"

#include "base/FileFaults.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace
{
struct Fault
{
    const char* name;
    FileFaultKind kind;
    int error;
};

constexpr Fault kFaults[] = {
    {"EIO", FileFaultKind::Fail, EIO},
    {"ENOSPC", FileFaultKind::Fail, ENOSPC},
    {"short write", FileFaultKind::ShortWrite, 0},
};

bool IsCompletion(const std::string& message)
{
    return message.find("Completed") != std::string::npos;
}
} // namespace

std::size_t ExpectEveryFaultFailsCleanly(const WriterUnderTest& writer)
{
    std::array<std::uint64_t, kFileOpKinds> counts{};
    std::map<std::string, std::string> cleanOutputs;
    {
        CTempDir dir;
        writer.prepare(dir);
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CFileFaultScope faults;
        EXPECT_EQ(writer.run(dir), 0) << writer.name << ": the run without faults";
        counts = faults.GetCounts();
        cleanOutputs = SnapshotFolder(dir.Path());
    }
    EXPECT_GT(counts[static_cast<std::size_t>(FileOp::Write)], 0u) << writer.name;

    std::size_t runs = 0;
    for (std::size_t op = 0; op < kFileOpKinds; ++op)
    {
        const auto fileOp = static_cast<FileOp>(op);
        for (const Fault& fault : kFaults)
        {
            if (fault.kind == FileFaultKind::ShortWrite && fileOp != FileOp::Write)
                continue;
            const std::uint64_t last =
                fileOp == FileOp::Close ? counts[op] - writer.inputClosesAtTheEnd : counts[op];
            for (std::uint64_t k = 1; k <= last; ++k)
            {
                SCOPED_TRACE(writer.name + ": " + std::string(FileOpName(fileOp)) + " call " +
                             std::to_string(k) + " of " + std::to_string(counts[op]) + ", " + fault.name);
                CTempDir dir;
                writer.prepare(dir);
                const auto before = SnapshotFolder(dir.Path());
                const std::size_t descriptors = CountOpenDescriptors();
                CRecordingMessageSink sink;
                int result = 0;
                bool fired = false;
                {
                    CScopedMessageSink scoped(sink);
                    CFileFaultScope faults;
                    faults.Arm(fileOp, k, fault.kind, fault.error);
                    result = writer.run(dir);
                    fired = faults.HasFired();
                }
                ++runs;
                EXPECT_TRUE(fired);
                EXPECT_EQ(CountOpenDescriptors(), descriptors);
                const auto after = SnapshotFolder(dir.Path());
                if (result == 0 && writer.cleanupMayFail && fileOp == FileOp::Unlink)
                {
                    EXPECT_EQ(VisibleEntries(after), VisibleEntries(cleanOutputs));
                    continue;
                }
                EXPECT_NE(result, 0);
                EXPECT_FALSE(sink.messages.empty());
                for (const std::string& message : sink.messages)
                    EXPECT_FALSE(IsCompletion(message)) << message;
                EXPECT_EQ(after, before);
            }
        }
    }
    return runs;
}
