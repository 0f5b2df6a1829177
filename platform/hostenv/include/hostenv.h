/*
 * hostenv.h - process globals and the abort handler of the environment
 * (stand-in).
 */
#ifndef PSENV_HOSTENV_H
#define PSENV_HOSTENV_H

#include "psenv_extern.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Non-zero while the environment runs in the background (debug output on). */
PSENV_EXTERN(int) bgflag;

/* The installation's system directory; empty at start. */
PSENV_EXTERN(char) systemdir[1024];

/*
 * Write the formatted message and a newline to standard error and end the
 * process with status 1.  With a hook installed the hook gets the message
 * instead and abort_message() returns to its caller.
 */
PSENV_EXTERN(void) abort_message(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

/* Receiver of abort messages; `text` has no trailing newline. */
typedef void (*abort_hook)(const char *text, void *context);

/* Install (or, with NULL, remove) the hook; returns the previous one. */
PSENV_EXTERN(abort_hook) abort_message_set_hook(abort_hook hook, void *context);

#ifdef __cplusplus
}

#include <string>

namespace hostenv {

// Catches the abort messages of the modules while it lives, so that a
// caller reports the first of them instead of ending the process.
class AbortCatcher {
public:
    AbortCatcher() { abort_message_set_hook(&AbortCatcher::keep, this); }
    ~AbortCatcher() { abort_message_set_hook(nullptr, nullptr); }
    AbortCatcher(const AbortCatcher &) = delete;
    AbortCatcher &operator=(const AbortCatcher &) = delete;

    // The first message caught; empty when none came.
    const std::string &message() const { return message_; }

private:
    static void keep(const char *text, void *context)
    {
        auto *catcher = static_cast<AbortCatcher *>(context);
        if (catcher->message_.empty())
            catcher->message_ = text;
    }
    std::string message_;
};

}  // namespace hostenv
#endif

#endif
