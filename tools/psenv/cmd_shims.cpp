// Placeholder until the shims commands are built.
#include "cli.h"
#include "commands.h"

namespace psenv {

int cmd_shims(int, char **)
{
    error("'shims' is not available in this build");
    return kExitFailure;
}

}  // namespace psenv
