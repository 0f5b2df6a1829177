#include "par/temporary_cleanup.h"

#include <limits.h>
#include <unistd.h>

#include <cstring>

namespace psenv {
namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Filled before the handler is installed and read only by it: a handler may
// not allocate, so the name waits here.
char pending_temporary[PATH_MAX];
volatile sig_atomic_t temporary_pending = 0;

extern "C" void remove_temporary_and_end(int signal_number)
{
    if (temporary_pending != 0)
        unlink(pending_temporary);
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal_number, &fallback, nullptr);
    // Raised while blocked by this handler, the signal waits for the unblock
    // below and then ends the process with its default action.
    raise(signal_number);
    sigset_t own;
    sigemptyset(&own);
    sigaddset(&own, signal_number);
    sigprocmask(SIG_UNBLOCK, &own, nullptr);
}

}  // namespace

TemporaryCleanup::TemporaryCleanup(const std::string &temporary)
{
    if (temporary.size() >= sizeof pending_temporary)
        return;
    std::memcpy(pending_temporary, temporary.c_str(), temporary.size() + 1);
    temporary_pending = 1;
    struct sigaction action {};
    action.sa_handler = remove_temporary_and_end;
    // A second ending signal waits until the first has done its work.
    sigemptyset(&action.sa_mask);
    for (int signal_number : kEndingSignals)
        sigaddset(&action.sa_mask, signal_number);
    for (int i = 0; i < kSignals; ++i) {
        if (sigaction(kEndingSignals[i], nullptr, &previous_[i]) != 0 ||
            previous_[i].sa_handler == SIG_IGN)
            continue;
        installed_[i] = sigaction(kEndingSignals[i], &action, nullptr) == 0;
    }
    armed_ = true;
}

TemporaryCleanup::~TemporaryCleanup()
{
    for (int i = 0; i < kSignals; ++i)
        if (installed_[i])
            sigaction(kEndingSignals[i], &previous_[i], nullptr);
    temporary_pending = 0;
}

}  // namespace psenv
