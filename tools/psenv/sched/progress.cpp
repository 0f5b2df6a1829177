#include "sched/progress.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace psenv::sched {
namespace {

// Bytes the process has written so far: the module writes the file itself,
// so the kernel's count is the one measure the tool has.
std::uint64_t bytes_written()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value)
        if (key == "wchar:")
            return value;
    return 0;
}

}  // namespace

Progress::Progress(std::uint64_t expected_bytes) : expected_(expected_bytes)
{
    if (isatty(STDERR_FILENO) == 0)
        return;
    written_at_start_ = bytes_written();
    thread_ = std::thread([this] { run(); });
}

Progress::~Progress()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
    }
    wake_.notify_one();
    thread_.join();
    if (shown_)
        std::fputs("\r\033[K", stderr);
}

void Progress::run()
{
    using namespace std::chrono;
    const auto start = steady_clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    std::uint64_t own_bytes = 0;
    for (int seconds = 1;; ++seconds) {
        if (wake_.wait_until(lock, start + std::chrono::seconds(seconds), [this] { return done_; }))
            return;
        // The progress lines are writes of the process too.
        const std::uint64_t written = bytes_written() - written_at_start_ - own_bytes;
        char line[160];
        if (written == 0)
            std::snprintf(line, sizeof line, "\rpsenv: sched make: making the schedule, %d s\033[K",
                          seconds);
        else
            std::snprintf(line, sizeof line,
                          "\rpsenv: sched make: writing the schedule, %.0f of about %.0f MB, %d s\033[K",
                          written / 1e6, expected_ / 1e6, seconds);
        std::fputs(line, stderr);
        std::fflush(stderr);
        own_bytes += std::strlen(line);
        shown_ = true;
    }
}

}  // namespace psenv::sched
