// Placeholder until the sched commands are built.
#include "cli.h"
#include "commands.h"

namespace psenv {

int cmd_sched(int, char **)
{
    error("'sched' is not available in this build");
    return kExitFailure;
}

}  // namespace psenv
