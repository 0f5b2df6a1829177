// Running a command line against the command table.
#ifndef PSENV_TOOL_CORE_DISPATCH_H
#define PSENV_TOOL_CORE_DISPATCH_H

#include "core/command.h"

namespace psenv {

// Runs argv[1..argc) against `root` (argv[0] is the program): finds the
// command its words name, parses that command's options, answers --help
// and runs it.  A missing or unknown command is a usage error.  `reached`
// is the last command named, for the reading of the exit status.
int dispatch(const CommandNode &root, int argc, char **argv, const Command *&reached);

}  // namespace psenv

#endif
