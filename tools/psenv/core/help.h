// The --help texts, made from the command table.
#ifndef PSENV_TOOL_CORE_HELP_H
#define PSENV_TOOL_CORE_HELP_H

#include <string>
#include <string_view>

#include "core/command.h"

namespace psenv {

// The --help of `node`, whose words after "psenv" are `path` ("" for the
// program itself): "Usage:" with its usage forms (a group's: those of its
// subcommands), a blank line and its help text with the lists filled in.
std::string help_text(const CommandNode &node, std::string_view path);

}  // namespace psenv

#endif
