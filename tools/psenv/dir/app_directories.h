// What `find` and `access` share: the list of application directories and
// the answer they print.
#ifndef PSENV_TOOL_DIR_APP_DIRECTORIES_H
#define PSENV_TOOL_DIR_APP_DIRECTORIES_H

#include <string>

#include "core/command.h"

namespace psenv::dir {

constexpr Option kAppdirsOption{"appdirs", "LIST",
                                "directories separated by ';' (default: $PSENV_APPDIRS)"};

// Hands the search module the list of --appdirs or $PSENV_APPDIRS; a usage
// error when there is neither.
int use_appdirs(const Call &call);

// "PATH<tab>ENTRY" for a found name (entry 1 and up); entry 0 is "not
// found", reported, kExitFailure.
int report_found(int entry, const char *path, const std::string &name);

}  // namespace psenv::dir

#endif
