#include "analysis/TrackPass.h"

#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "trackfile/BlockReader.h"

#include <filesystem>
#include <system_error>

namespace
{
// Passes everything on to an output and remembers whether it put its files in place, so that a
// pass that fails elsewhere knows whose files to take away again.
class CCommitWatch final : public IRecordConsumer
{
public:
    explicit CCommitWatch(ITrackOutput& output) : m_output(output) {}

    int Begin(const TrackSourceInfo& source) override { return m_output.Begin(source); }
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override
    {
        return m_output.Consume(records, firstIndex);
    }
    int End() override
    {
        const int ended = m_output.End();
        m_bCommitted = ended == kOk;
        return ended;
    }
    void Abandon() override { m_output.Abandon(); }

    // Takes the output's files away again after it ended well.
    void Revoke() const
    {
        if (!m_bCommitted)
            return;
        for (const std::string& file : m_output.Files())
        {
            std::error_code error; // a file that is gone already is what was wanted
            std::filesystem::remove(file, error);
        }
    }

private:
    ITrackOutput& m_output;
    bool m_bCommitted = false;
};
} // namespace

int RunTrackPass(const std::string& path, std::span<ITrackOutput* const> outputs,
                 const StreamProgress& progress, TrackSourceInfo* source)
{
    CBlockReader reader;
    if (const int opened = reader.Open(path); opened != kOk)
        return opened; // the reader has said why
    if (source != nullptr)
        *source = reader.Info();
    if (reader.Info().records == 0)
    {
        ShowMessage(reader.Info().fileName + " has no records; no outputs were written.");
        return kErrNoInput;
    }

    std::vector<CCommitWatch> watches;
    watches.reserve(outputs.size());
    std::vector<IRecordConsumer*> consumers;
    for (ITrackOutput* output : outputs)
    {
        watches.emplace_back(*output);
        consumers.push_back(&watches.back());
    }
    const int result = reader.Run(consumers, progress);
    if (result != kOk)
        for (const CCommitWatch& watch : watches)
            watch.Revoke();
    return result;
}
