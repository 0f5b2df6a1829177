// Parameters for a command from the command line: a parameter file loaded
// into a tree, or single text parameters set directly.
#ifndef PSENV_TOOL_PARAM_FILE_H
#define PSENV_TOOL_PARAM_FILE_H

#include <string>

namespace psenv {

// The tree of the current experiment, where --params files go.
constexpr int kCurrentTree = 4;

// Loads the parameter file at `path` into `tree` with P_read.  On failure
// writes "psenv: <path>: <reason>" in the store's wording, as
// every command does, and returns false.  The
// loader's own messages about bad records go to standard error as they come.
bool load_parameter_file(const std::string &path, int tree = kCurrentTree);

// Makes the text parameter `name` of `tree` hold exactly `value` (created
// when missing).  On failure writes "psenv: ..." and returns false.
bool set_text_parameter(const char *name, const std::string &value, int tree = kCurrentTree);

}  // namespace psenv

#endif
