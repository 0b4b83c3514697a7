// A helper process for the bus tests (a viewer), started with its stdout on a pipe, waited for until
// it prints its ready line, and ended (SIGTERM, then SIGKILL) when the object goes.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class CChildProcess
{
public:
    explicit CChildProcess(const std::vector<std::string>& argv);
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // Reads stdout until a line starting with prefix arrives; false when the process ends or
    // timeoutMs passes first. The lines read so far are kept in Output().
    bool WaitForLine(const std::string& prefix, int timeoutMs = 10000);
    // Sends SIGTERM and waits (bounded) for the end; the exit status, or -1 when killed by a signal.
    int Stop();
    void Signal(int signal) const;
    [[nodiscard]] pid_t Pid() const { return m_pid; }
    [[nodiscard]] const std::string& Output() const { return m_strOutput; }

private:
    pid_t m_pid = -1;
    int m_nStdout = -1;
    std::string m_strOutput;
    int m_nExitStatus = -1;
};
