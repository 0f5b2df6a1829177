// psenv: command-line access to the support modules of the pulse-sequence
// environment.  Each subcommand group lives in its own cmd_<group>.cpp.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "cli.h"
#include "commands.h"
#include "tool_streams.h"

namespace {

struct Group {
    std::string_view name;
    int (*run)(int, char **);
    std::string_view summary;
};

constexpr Group kGroups[] = {
    {"par", psenv::cmd_par, "show, query, edit, compare and merge parameter files"},
    {"sched", psenv::cmd_sched, "make, show and plot sparse sampling schedules"},
    {"find", psenv::cmd_find, "find a file across the application directories"},
    {"access", psenv::cmd_access, "find a fully accessible file or directory across the application directories"},
    {"match", psenv::cmd_match, "match names against a wildcard pattern"},
    {"link", psenv::cmd_link, "resolve a chain of symbolic links"},
    {"df", psenv::cmd_df, "test a file system for free space"},
    {"lock", psenv::cmd_lock, "convert lock frequencies and synthesizer words"},
    {"shims", psenv::cmd_shims, "list shim names and indices of a shim set"},
};

void print_help()
{
    std::puts("Usage: psenv <command> [arguments...]\n"
              "       psenv --help | --version\n\n"
              "Commands:");
    for (const auto &group : kGroups)
        std::printf("  %-8.*s %.*s\n", static_cast<int>(group.name.size()), group.name.data(),
                    static_cast<int>(group.summary.size()), group.summary.data());
    std::puts("\nRun 'psenv <command> --help' for the arguments of a command.\n\n"
              "Exit status: 0 success, 1 failure (or an answer such as \"not found\"),\n"
              "2 usage error; df and par diff: 0 same or enough space, 1 different or\n"
              "full, 2 trouble.  A failed write of the results is a failure.");
}

int run(int argc, char **argv)
{
    if (argc < 2)
        return psenv::usage_error("missing command", "");
    std::string_view word = argv[1];
    if (word == "--help" || word == "-h" || word == "help") {
        print_help();
        return psenv::kExitOk;
    }
    if (word == "--version") {
        std::puts("psenv " PSENV_VERSION);
        return psenv::kExitOk;
    }
    for (const auto &group : kGroups)
        if (group.name == word)
            return group.run(argc - 1, argv + 1);
    return psenv::usage_error("unknown command '" + std::string(word) + "'", "");
}

// Commands whose status 1 means an answer ("full", "different") report any
// trouble, a failed output too, as 2, the way cmp(1) and diff(1) do.
int trouble_status(int argc, char **argv)
{
    const bool answers_with_1 =
        argc > 1 && (std::strcmp(argv[1], "df") == 0 ||
                     (std::strcmp(argv[1], "par") == 0 && argc > 2 && std::strcmp(argv[2], "diff") == 0));
    return answers_with_1 ? psenv::kExitUsage : psenv::kExitFailure;
}

}  // namespace

int main(int argc, char **argv)
{
    // A file size limit makes writes fail with EFBIG, reported like any
    // other failure, instead of ending the process in the middle of a write.
    std::signal(SIGXFSZ, SIG_IGN);
    psenv::install_prefixed_sink();
    const int status = run(argc, argv);
    return psenv::finish_output(status, std::max(status, trouble_status(argc, argv)));
}
