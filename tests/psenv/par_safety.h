// The fixture of the tests of what psenv par set and merge refuse, keep and
// lock: a scratch directory others may enter, `psenv par` in short, a run as
// an unprivileged user, and the one record the tests edit.
#ifndef PSENV_TESTS_PSENV_PAR_SAFETY_H
#define PSENV_TESTS_PSENV_PAR_SAFETY_H

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "psenv_runner.h"

// The record the tests edit, before and after alpha is set to 7.
const char *const kAlpha = "alpha 0 1 100 0 0 1 1 0 1 64\n1 1 \n0 \n";
const char *const kAlphaSeven = "alpha 0 1 100 0 0 1 1 0 1 64\n1 7 \n0 \n";

class ParSafety : public PsenvRunner {
protected:
    ParSafety() : PsenvRunner("par-safety", 0755) {}

    static ToolResult par(std::vector<std::string> args)
    {
        args.insert(args.begin(), "par");
        return run_psenv(args);
    }

    // Runs `body` in a child as user and group 65534 (when root); the child's
    // exit status is 0 when every expectation in it held.
    static int as_nobody(const std::function<bool()> &body)
    {
        const pid_t child = fork();
        if (child == 0) {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                _exit(3);
            _exit(body() ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

#endif
