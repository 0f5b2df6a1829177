// The command line of an experiment program.
#ifndef PSG_RUNNER_OPTIONS_H
#define PSG_RUNNER_OPTIONS_H

#include <cstdio>

namespace psg {

enum class Rendition { Run, Text, Timing };

struct RunnerOptions {
    Rendition rendition = Rendition::Run;
    const char *svg = nullptr;
    const char *global = nullptr;
    const char *parfile = nullptr;
    const char *expdir = nullptr; // nullptr: the folder that holds the parameter file
    int element = 0; // 0: every element (the diagram: element 1)
    int scan = 1;    // the scan traced in full and drawn
    bool dry_run = false;
    bool help = false;
    bool version = false;
};

// The most array elements a run takes; a larger experiment is refused before
// its first element.  A million elements already trace for minutes.
constexpr int kMostElements = 1000000;
// The most scans a run takes, steady-state scans included: each is one call
// of the sequence.
constexpr long long kMostScans = 10000000;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// 0 to go on, or the exit status after a usage error was reported.
int parse_runner_options(int argc, char **argv, RunnerOptions &options);

void print_runner_usage(FILE *stream);

// "<program>: <message><detail>" and the hint to --help; returns kExitUsage.
int runner_usage_error(const char *message, const char *detail = "");

} // namespace psg

#endif
