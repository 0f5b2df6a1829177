// psenv: command-line access to the support modules of the pulse-sequence
// environment.  The commands are those of the table in commands.cpp.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string_view>

#include "commands.h"
#include "core/dispatch.h"
#include "core/streams.h"

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
