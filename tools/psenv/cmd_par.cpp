// Placeholder until the par commands are built.
#include "cli.h"
#include "commands.h"

namespace psenv {

int cmd_par(int, char **)
{
    error("'par' is not available in this build");
    return kExitFailure;
}

}  // namespace psenv
