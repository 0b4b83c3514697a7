// SIGINT and SIGTERM (what a scheduler sends at the time limit) stop a batch cleanly while an
// object of this class lives: the flag is set, running passes are abandoned and leave no output,
// and the status says which tracks were not done.
#pragma once

#include <atomic>
#include <csignal>

class CStopOnSignals
{
public:
    explicit CStopOnSignals(std::atomic<bool>& stop);
    ~CStopOnSignals();
    CStopOnSignals(const CStopOnSignals&) = delete;
    CStopOnSignals& operator=(const CStopOnSignals&) = delete;

private:
    struct sigaction m_previousInt = {};
    struct sigaction m_previousTerm = {};
};
