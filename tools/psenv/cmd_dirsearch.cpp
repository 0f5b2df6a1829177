// Placeholder until the directory-search commands are built.
#include "cli.h"
#include "commands.h"

namespace psenv {

namespace {
int unavailable()
{
    error("directory search is not available in this build");
    return kExitFailure;
}
}  // namespace

int cmd_find(int, char **) { return unavailable(); }
int cmd_access(int, char **) { return unavailable(); }
int cmd_match(int, char **) { return unavailable(); }
int cmd_link(int, char **) { return unavailable(); }
int cmd_df(int, char **) { return unavailable(); }

}  // namespace psenv
