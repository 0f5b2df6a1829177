#include "rehearsal.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "experiment_run.h"
#include "psgparam.h"
#include "run_state.h"
#include "runner_options.h"

namespace psg {
namespace {

// What the child reports besides its exit status.
struct Report {
    int grid_timed;
    double grid_time;
    long long grid_scans;
};

// The child's messages are kept up to this size; they matter only when it
// refuses, and then the first of them says why.
constexpr size_t kMostMessageBytes = 1 << 20;

void write_all(int fd, const void *data, size_t size)
{
    const char *at = static_cast<const char *>(data);
    while (size > 0) {
        ssize_t written = ::write(fd, at, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        at += written;
        size -= static_cast<size_t>(written);
    }
}

[[noreturn]] void child(const ExperimentPlan &plan, int messages, int report)
{
    int quiet = ::open("/dev/null", O_WRONLY);
    if (quiet < 0 || ::dup2(quiet, STDOUT_FILENO) < 0 || ::dup2(messages, STDERR_FILENO) < 0)
        ::_exit(1);
    set_rehearsing(true);
    PassSettings settings;
    PassTotals totals;
    if (!run_pass(plan, plan.shape.elements, settings, totals))
        std::exit(1);
    Report result{0, 0.0, 0};
    const psgparam_walk &shape = plan.shape;
    if (shape.sparse && shape.grid_elements <= static_cast<double>(kMostScans)) {
        int elements = psgparam_walk_full_grid(1);
        settings.one_scan_each = true;
        if (elements > 0 && run_pass(plan, elements, settings, totals)) {
            result = {1, totals.experiment_time(), totals.scans};
        }
    }
    write_all(report, &result, sizeof result);
    std::fflush(nullptr);
    ::_exit(0);
}

std::string read_all(int fd)
{
    std::string text;
    char buffer[4096];
    while (true) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        if (text.size() < kMostMessageBytes)
            text.append(buffer, static_cast<size_t>(got));
    }
    return text;
}

} // namespace

Rehearsal rehearse(const ExperimentPlan &plan)
{
    Rehearsal outcome;
    int messages[2], report[2];
    if (::pipe(messages) != 0)
        return outcome;
    if (::pipe(report) != 0) {
        ::close(messages[0]);
        ::close(messages[1]);
        return outcome;
    }
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(messages[0]);
        ::close(report[0]);
        child(plan, messages[1], report[1]);
    }
    ::close(messages[1]);
    ::close(report[1]);
    if (pid < 0) {
        ::close(messages[0]);
        ::close(report[0]);
        return outcome;
    }
    const std::string said = read_all(messages[0]);
    ::close(messages[0]);
    Report result{0, 0.0, 0};
    const std::string reported = read_all(report[0]);
    ::close(report[0]);
    if (reported.size() == sizeof result)
        std::memcpy(&result, reported.data(), sizeof result);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == kExitRefused) {
        outcome.refused = true;
        std::fputs(said.c_str(), stderr);
        return outcome;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && result.grid_timed != 0) {
        outcome.grid_timed = true;
        outcome.grid_time = result.grid_time;
        outcome.grid_scans = result.grid_scans;
    }
    return outcome;
}

} // namespace psg
