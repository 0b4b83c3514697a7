#include "base/Problem.h"

#include "base/MessageSink.h"

void Tell(const Problem& problem)
{
    if (!problem.text.empty())
        ShowMessageWithReason(problem.text, problem.reason);
}
