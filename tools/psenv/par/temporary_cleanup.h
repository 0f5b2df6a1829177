// Removal of a save's temporary file when a signal ends the process in the
// middle of the save, so that no half-written file named like a parameter
// file stays beside the target.
#ifndef PSENV_TOOL_TEMPORARY_CLEANUP_H
#define PSENV_TOOL_TEMPORARY_CLEANUP_H

#include <signal.h>

#include <string>

namespace psenv {

// While an object lives, SIGINT, SIGTERM and SIGHUP remove the file
// `temporary` and then end the process by the same signal, with its default
// action (so the parent sees the signal, not an exit status).  A signal the
// process ignores (SIGHUP under nohup) stays ignored.  The previous actions
// come back when the object goes.  One object at a time; `temporary` must
// be shorter than PATH_MAX, else nothing is armed (armed() is false).
class TemporaryCleanup {
public:
    explicit TemporaryCleanup(const std::string &temporary);
    ~TemporaryCleanup();
    TemporaryCleanup(const TemporaryCleanup &) = delete;
    TemporaryCleanup &operator=(const TemporaryCleanup &) = delete;

    bool armed() const { return armed_; }

private:
    static constexpr int kSignals = 3;
    struct sigaction previous_[kSignals] {};
    bool installed_[kSignals] {};
    bool armed_ = false;
};

}  // namespace psenv

#endif
