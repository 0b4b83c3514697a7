#include "viewerlink/ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

CChildProcess::CChildProcess(const std::vector<std::string>& argv)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return;
    m_pid = fork();
    if (m_pid == 0)
    {
        dup2(fds[1], STDOUT_FILENO);
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(fds[1]);
    m_nStdout = fds[0];
}

CChildProcess::~CChildProcess()
{
    Stop();
    if (m_nStdout >= 0)
        close(m_nStdout);
}

bool CChildProcess::WaitForLine(const std::string& prefix, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t lineStart = 0;
    for (;;)
    {
        for (std::size_t end; (end = m_strOutput.find('\n', lineStart)) != std::string::npos;
             lineStart = end + 1)
        {
            if (m_strOutput.compare(lineStart, prefix.size(), prefix) == 0)
                return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (m_nStdout < 0 || left.count() <= 0)
            return false;
        pollfd fd{m_nStdout, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char buffer[512];
        const ssize_t got = read(m_nStdout, buffer, sizeof buffer);
        if (got <= 0)
            return false;
        m_strOutput.append(buffer, static_cast<std::size_t>(got));
    }
}

int CChildProcess::Stop()
{
    if (m_pid <= 0)
        return m_nExitStatus;
    kill(m_pid, SIGCONT); // in case a test left it stopped
    kill(m_pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 300; ++i)
    {
        if (waitpid(m_pid, &status, WNOHANG) == m_pid)
        {
            m_nExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            m_pid = -1;
            return m_nExitStatus;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(m_pid, SIGKILL);
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    m_nExitStatus = -1;
    return m_nExitStatus;
}

void CChildProcess::Signal(int signal) const
{
    if (m_pid > 0)
        kill(m_pid, signal);
}
