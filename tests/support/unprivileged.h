// Runs a check without root's privileges, where access() would grant
// everything.
#ifndef PSENV_TESTS_SUPPORT_UNPRIVILEGED_H
#define PSENV_TESTS_SUPPORT_UNPRIVILEGED_H

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

// Runs `check` in a forked child that has dropped to uid and gid 65534 (when
// the test runs as root) and returns the child's result, or -1 when the child
// could not run.
inline int run_unprivileged(const std::function<int()> &check)
{
    pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        _exit(check());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

#endif
