// Placeholder until the lock commands are built.
#include "cli.h"
#include "commands.h"

namespace psenv {

int cmd_lock(int, char **)
{
    error("'lock' is not available in this build");
    return kExitFailure;
}

}  // namespace psenv
