#include "outputs/OutputPass.h"

#include "base/MessageSink.h"
#include "base/ResultCodes.h"

#include <cassert>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

namespace
{
// Keeps what the layers below the outputs tell, in the pass's list, while the pass runs a step.
class CKeepingSink final : public IMessageSink
{
public:
    explicit CKeepingSink(std::vector<Problem>& told) : m_told(told) {}

    void ShowMessage(std::string_view text) override { m_told.push_back(Failure(kOk, std::string(text))); }
    void ShowMessageWithReason(std::string_view text, std::string_view reason) override
    {
        m_told.push_back(Failure(kOk, std::string(text), std::string(reason)));
    }
    bool AskYesNo(std::string_view text) override
    {
        ShowMessage(text);
        return true;
    }
    std::optional<std::string> AskFileName(const FileDialogRequest& /*request*/) override
    {
        return std::nullopt;
    }

private:
    std::vector<Problem>& m_told;
};

// Installs the keeping sink for one step when notices are kept.
class CNoticeScope
{
public:
    CNoticeScope(PassNotices notices, std::vector<Problem>& told)
    {
        if (notices == PassNotices::Keep)
        {
            m_sink = std::make_unique<CKeepingSink>(told);
            m_scope.emplace(*m_sink);
        }
    }

private:
    std::unique_ptr<CKeepingSink> m_sink;
    std::optional<CScopedMessageSink> m_scope;
};
} // namespace

// An output as the block reader's consumer: its problems go to the pass's list, and it remembers
// whether it put its files in place, so that a pass that fails elsewhere takes them away again.
class COutputPass::CConsumer final : public IRecordConsumer
{
public:
    CConsumer(ITrackOutput& output, COutputPass& pass) : m_output(output), m_pass(pass) {}

    int Begin(const TrackSourceInfo& source) override { return Note(m_output.Begin(source)); }
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override
    {
        return Note(m_output.Consume(records, firstIndex));
    }
    int End() override
    {
        const int ended = Note(m_output.End());
        m_bCommitted = ended == kOk;
        return ended;
    }
    void Abandon() override { m_output.Abandon(); }

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
    int Note(Problem problem)
    {
        const int code = problem.code;
        if (!problem.IsOk())
            m_pass.Keep(std::move(problem));
        return code;
    }

    ITrackOutput& m_output;
    COutputPass& m_pass;
    bool m_bCommitted = false;
};

void COutputPass::Keep(Problem problem)
{
    if (!problem.text.empty())
        m_told.push_back(std::move(problem));
}

std::vector<Problem> COutputPass::TakeTold()
{
    return std::exchange(m_told, {});
}

RecordNeeds COutputPass::NeedsOf(std::span<ITrackOutput* const> outputs)
{
    for (const ITrackOutput* output : outputs)
        if (output->Needs() == RecordNeeds::WholeRecords)
            return RecordNeeds::WholeRecords;
    return RecordNeeds::Positions;
}

int COutputPass::Open(const std::string& path)
{
    const CNoticeScope notices(m_notices, m_told);
    return m_reader.Open(path);
}

int COutputPass::Prepare(std::span<ITrackOutput* const> outputs)
{
    const CNoticeScope notices(m_notices, m_told);
    m_outputs.assign(outputs.begin(), outputs.end());
    int result = kOk;
    for (ITrackOutput* output : m_outputs)
    {
        Problem refused = output->Prepare(Source());
        if (refused.IsOk())
            continue;
        if (result == kOk)
            result = refused.code;
        Keep(std::move(refused));
    }
    if (result != kOk)
        for (ITrackOutput* output : m_outputs)
            output->Abandon();
    m_bPrepared = result == kOk;
    return result;
}

int COutputPass::Run(const StreamProgress& progress)
{
    assert(m_bPrepared && "a pass runs the outputs Prepare took, once");
    m_bPrepared = false;
    const CNoticeScope notices(m_notices, m_told);
    std::vector<std::unique_ptr<CConsumer>> consumers;
    std::vector<IRecordConsumer*> pointers;
    for (ITrackOutput* output : m_outputs)
    {
        consumers.push_back(std::make_unique<CConsumer>(*output, *this));
        pointers.push_back(consumers.back().get());
    }
    const int result = m_reader.Run(pointers, progress);
    if (result != kOk)
        for (const auto& consumer : consumers)
            consumer->Revoke();
    return result;
}
