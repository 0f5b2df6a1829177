// Progress of a long `sched make` on a terminal.
#ifndef PSENV_TOOL_SCHED_PROGRESS_H
#define PSENV_TOOL_SCHED_PROGRESS_H

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace psenv::sched {

// While it lives, and only when standard error is a terminal, shows after
// the first second and then every second how long the work has taken and
// how much of the expected file the process has written.  The line is
// cleared when it ends.
class Progress {
public:
    explicit Progress(std::uint64_t expected_bytes);
    ~Progress();
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

private:
    void run();

    std::uint64_t expected_;
    std::uint64_t written_at_start_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    bool shown_ = false;
    std::thread thread_;
};

}  // namespace psenv::sched

#endif
