#include "batch/BatchSignals.h"

namespace
{
// Where a stop request goes; a signal handler may only store into a lock-free atomic.
std::atomic<bool>* g_pStopRequest = nullptr;

void OnBatchStopSignal(int /*signal*/)
{
    if (g_pStopRequest != nullptr)
        g_pStopRequest->store(true);
}
} // namespace

CStopOnSignals::CStopOnSignals(std::atomic<bool>& stop)
{
    g_pStopRequest = &stop;
    struct sigaction action = {};
    action.sa_handler = &OnBatchStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_previousInt);
    sigaction(SIGTERM, &action, &m_previousTerm);
}

CStopOnSignals::~CStopOnSignals()
{
    sigaction(SIGINT, &m_previousInt, nullptr);
    sigaction(SIGTERM, &m_previousTerm, nullptr);
    g_pStopRequest = nullptr;
}
