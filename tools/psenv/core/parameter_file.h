// Parameters for a command from the command line: a parameter file loaded
// into a tree, or single text parameters set directly.
#ifndef PSENV_TOOL_CORE_PARAMETER_FILE_H
#define PSENV_TOOL_CORE_PARAMETER_FILE_H

#include <functional>
#include <string>

#include "vartree.h"

namespace psenv {

// Loads the parameter file at `path` into `tree` with P_read, after the
// strict check of `psenv par check`.  By default the file goes to the system
// tree, where the modules look for the console's own parameters ("Console",
// "shimset").  A file that cannot be opened is reported with the system's
// reason, a damaged one with its problems as "psenv: <path>:<line>: record
// N: ...", one the store refuses in the store's wording, each loader message
// as "psenv: <path>: <message>"; kExitFailure in all these cases, so that a
// command never goes on with part of a file.  kExitOk when loaded whole.
int load_parameters(const std::string &path, int tree = VARTREE_SYSTEM);

// Makes the text parameter `name` of `tree` hold exactly `value` (created
// when missing): kExitOk, or kExitFailure after "psenv: ...".
int set_text_parameter(const char *name, const std::string &value, int tree = VARTREE_SYSTEM);

// Runs `read` with the error sink captured; the messages a loader emits
// meanwhile are printed as "psenv: <path>: <message>" and their number
// returned.
int with_loader_messages(const std::string &path, const std::function<void()> &read);

}  // namespace psenv

#endif
