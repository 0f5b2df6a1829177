// The command table of psenv.
#ifndef PSENV_TOOL_COMMANDS_H
#define PSENV_TOOL_COMMANDS_H

#include "core/command.h"

namespace psenv {

// The program itself, its commands and groups below it.
extern const CommandNode kProgramNode;

}  // namespace psenv

#endif
