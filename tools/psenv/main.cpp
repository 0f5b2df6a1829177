// psenv: command-line access to the support modules of the pulse-sequence
// environment.  This file holds the command table: every command and group
// in the order the help lists them.  Each command is an entry
// (core/command.h) defined in its own file; tools/psenv/README.md says how
// to add one.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string_view>

#include "core/command.h"
#include "core/streams.h"

namespace psenv {

namespace par {
extern const Command kPar, kShow, kGet, kSet, kNames, kDiff, kMerge, kCheck;
}
namespace sched {
extern const Command kSched, kMake, kShow, kPlot, kPsf, kCompare, kCheck, kDelays;
}
namespace dir {
extern const Command kFind, kAccess, kMatch, kLink, kDf;
}
namespace lock {
extern const Command kLock, kOffset, kWord, kFreq, kDdsi;
}
namespace shims {
extern const Command kShims, kList, kCount, kName, kIndex;
}

namespace {

constexpr CommandNode kPar[] = {
    {&par::kShow}, {&par::kGet}, {&par::kSet}, {&par::kNames},
    {&par::kDiff}, {&par::kMerge}, {&par::kCheck},
};
constexpr CommandNode kSched[] = {
    {&sched::kMake}, {&sched::kShow}, {&sched::kPlot}, {&sched::kPsf},
    {&sched::kCompare}, {&sched::kCheck}, {&sched::kDelays},
};
constexpr CommandNode kLock[] = {
    {&lock::kOffset}, {&lock::kWord}, {&lock::kFreq}, {&lock::kDdsi},
};
constexpr CommandNode kShims[] = {
    {&shims::kList}, {&shims::kCount}, {&shims::kName}, {&shims::kIndex},
};

constexpr CommandNode kCommands[] = {
    {&par::kPar, kPar},
    {&sched::kSched, kSched},
    {&dir::kFind},
    {&dir::kAccess},
    {&dir::kMatch},
    {&dir::kLink},
    {&dir::kDf},
    {&lock::kLock, kLock},
    {&shims::kShims, kShims},
};

constinit const Command kProgram{
    .name = "psenv",
    .summary = "command-line access to the support modules of the pulse-sequence environment",
    .usage = "<command> [arguments...]\n"
             "--help | --version",
    .help = "Commands:\n"
            "{commands}\n"
            "\n"
            "Run 'psenv <command> --help' for the arguments of a command.\n"
            "\n"
            "Exit status: 0 success, 1 failure (or an answer such as \"not found\"),\n"
            "2 usage error; df and par diff: 0 same or enough space, 1 different or\n"
            "full, 2 trouble.  A failed write of the results is a failure.",
    .command_column = 11,
};

constexpr CommandNode kProgramNode{&kProgram, kCommands};

}  // namespace
}  // namespace psenv

int main(int argc, char **argv)
{
    // A file size limit makes writes fail with EFBIG, reported like any
    // other failure, instead of ending the process in the middle of a write.
    std::signal(SIGXFSZ, SIG_IGN);
    psenv::install_prefixed_sink();
    const psenv::Command *reached = nullptr;
    int status = psenv::kExitOk;
    if (argc > 1 && std::string_view(argv[1]) == "--version")
        std::puts("psenv " PSENV_VERSION);
    else
        status = psenv::dispatch(psenv::kProgramNode, argc, argv, reached);
    // Where status 1 is an answer ("full", "different"), any trouble, a
    // failed output too, is 2, the way cmp(1) and diff(1) have it.
    const int trouble = reached != nullptr && reached->answers_with_1 ? psenv::kExitUsage
                                                                       : psenv::kExitFailure;
    return psenv::finish_output(status, std::max(status, trouble));
}
