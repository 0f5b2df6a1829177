// The --params loader as the sched commands call it until they move to the
// command table.
#include "core/parameter_file.h"
#include "core/report.h"

namespace psenv {
inline bool load_parameter_file(const std::string &path, int tree)
{
    return load_parameters(path, tree) == kExitOk;
}
}  // namespace psenv
