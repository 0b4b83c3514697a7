#include "cli/CliPass.h"

#include "base/Problem.h"
#include "base/ResultCodes.h"
#include "outputs/OutputFolder.h"

#include <cstdio>
#include <optional>

void CCliPass::TellWhatCameBack()
{
    for (const Problem& problem : m_pass.TakeTold())
        Tell(problem);
}

int CCliPass::Open(const std::string& path)
{
    const int opened = m_pass.Open(path);
    TellWhatCameBack();
    return opened;
}

int CCliPass::Run(std::span<ITrackOutput* const> outputs)
{
    const int prepared = m_pass.Prepare(outputs);
    TellWhatCameBack();
    if (prepared != kOk)
        return prepared;
    int result = kOk;
    {
        std::optional<CCliProgress> progress; // ends its line before anything else is told or printed
        result = m_pass.Run(
            [this, &progress](std::uint64_t done, std::uint64_t total)
            {
                if (!progress)
                    progress.emplace(m_strLabel, total);
                progress->Update(done);
                return true;
            });
    }
    TellWhatCameBack();
    return result;
}

void PrintLines(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        std::printf("%s\n", line.c_str());
}

int RunOutputIntoFolder(const std::string& label, const std::string& path, const std::string& folder,
                        const MakeFolderOutput& make)
{
    CCliPass pass(label);
    if (const int opened = pass.Open(path); opened != kOk)
        return opened; // the reader has said why
    if (const Problem made = MakeOutputFolder(folder); !made.IsOk())
    {
        Tell(made);
        return made.code;
    }
    const std::string& name = pass.Source().fileName;
    const std::unique_ptr<ITrackOutput> output = make(TrackOutputPlace{folder, name, name});
    ITrackOutput* outputs[] = {output.get()};
    if (const int ran = pass.Run(outputs); ran != kOk)
        return ran; // told
    PrintLines(output->SummaryLines());
    return kOk;
}
