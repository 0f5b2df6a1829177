// The grid of a schedule: the increments of each indirect dimension.
#ifndef PSENV_TOOL_SCHED_GRID_H
#define PSENV_TOOL_SCHED_GRID_H

#include <vector>

#include "core/command.h"

namespace psenv::sched {

// The grid from "ni" .. "ni10" of `tree` as the module accepts candidates
// (active, above 1, increments ni + 0.1 truncated), in order.
std::vector<int> grid_from_tree(int tree);

// The grid of --ni N[,N2...] or of the ni parameters of --params FILE in
// `ni` (empty when neither is given): kExitOk, else the usage error or
// failure reported.
int grid_option(const Call &call, std::vector<int> &ni);

}  // namespace psenv::sched

#endif
