#include "app/WindowPass.h"

#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "framework/ProgressDialog.h"
#include "outputs/OutputPass.h"

#include <vector>

namespace
{
void ShowAll(const std::vector<Problem>& problems)
{
    for (const Problem& problem : problems)
        ShowProblem(problem);
}
} // namespace

void ShowProblem(const Problem& problem)
{
    if (problem.text.empty())
        return;
    ShowMessage(problem.reason.empty() ? problem.text : problem.text + "\n" + problem.reason);
}

int RunWindowPass(const std::string& path, std::span<ITrackOutput* const> outputs, std::string_view title,
                  std::string_view text)
{
    COutputPass pass;
    if (const int opened = pass.Open(path); opened != kOk)
        return opened; // the reader has said why
    const int prepared = pass.Prepare(outputs);
    ShowAll(pass.TakeTold());
    if (prepared != kOk)
        return prepared;
    int result = kOk;
    {
        CProgressDialog progress(title, text);
        result = pass.Run(progress.Callback());
    }
    ShowAll(pass.TakeTold());
    return result;
}
