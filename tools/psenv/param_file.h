// Parameters for a command from the command line: a parameter file loaded
// into a tree, or single text parameters set directly.
#ifndef PSENV_TOOL_PARAM_FILE_H
#define PSENV_TOOL_PARAM_FILE_H

#include <string>

namespace psenv {

// The tree of the current experiment, where --params files go.
constexpr int kCurrentTree = 4;

// Loads the parameter file at `path` into `tree` with P_read, after the
// strict check of `psenv par check`.  A file that cannot be opened is
// reported with the system's reason, a damaged one with its problems as
// "psenv: <path>:<line>: record N: ...", one the store refuses in the store's
// wording, each loader message as "psenv: <path>: <message>"; false in all
// these cases, so that a command never goes on with part of a file.
bool load_parameter_file(const std::string &path, int tree = kCurrentTree);

// Makes the text parameter `name` of `tree` hold exactly `value` (created
// when missing).  On failure writes "psenv: ..." and returns false.
bool set_text_parameter(const char *name, const std::string &value, int tree = kCurrentTree);

}  // namespace psenv

#endif
