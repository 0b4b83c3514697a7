#include "support/FileClock.h"

#include <ctime>
#include <sys/stat.h>
#include <thread>

void WaitForClockPast(const FileTime& time)
{
    for (;;)
    {
        struct timespec now = {};
        ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
        if (time < FileTime{now.tv_sec, static_cast<std::uint32_t>(now.tv_nsec)})
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void WaitUntilSettled(const std::string& path)
{
    struct stat st = {};
    if (::stat(path.c_str(), &st) == 0)
        WaitForClockPast(FileTime{st.st_ctim.tv_sec, static_cast<std::uint32_t>(st.st_ctim.tv_nsec)});
}
