// The command table of psenv: every command and group, in the order the
// help lists them.  A command is an entry (core/command.h) defined in its
// own file; this table says where it stands.
#include "commands.h"

namespace psenv {

namespace par {
extern const Command kPar, kShow, kGet, kSet, kNames, kDiff, kMerge, kCheck;
}
namespace sched {
extern const Command kSched, kMake, kShow, kPlot, kPsf, kCompare, kCheck;
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

constexpr CommandNode kParCommands[] = {{&par::kShow},  {&par::kGet},   {&par::kSet},
                                        {&par::kNames}, {&par::kDiff},  {&par::kMerge},
                                        {&par::kCheck}};

constexpr CommandNode kSchedCommands[] = {{&sched::kMake}, {&sched::kShow},    {&sched::kPlot},
                                          {&sched::kPsf},  {&sched::kCompare}, {&sched::kCheck}};

constexpr CommandNode kLockOperations[] = {
    {&lock::kOffset}, {&lock::kWord}, {&lock::kFreq}, {&lock::kDdsi}};

constexpr CommandNode kShimsOperations[] = {
    {&shims::kList}, {&shims::kCount}, {&shims::kName}, {&shims::kIndex}};

constexpr CommandNode kCommands[] = {
    {&par::kPar, kParCommands},
    {&sched::kSched, kSchedCommands},
    {&dir::kFind},
    {&dir::kAccess},
    {&dir::kMatch},
    {&dir::kLink},
    {&dir::kDf},
    {&lock::kLock, kLockOperations},
    {&shims::kShims, kShimsOperations},
};

constexpr std::string_view kUsage[] = {"<command> [arguments...]", "--help | --version"};

constinit const Command kProgram{
    .name = "psenv",
    .summary = "command-line access to the support modules of the pulse-sequence environment",
    .usage = kUsage,
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

}  // namespace

constinit const CommandNode kProgramNode{&kProgram, kCommands};

}  // namespace psenv
