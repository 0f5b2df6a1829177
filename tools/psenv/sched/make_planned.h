// `sched make` with the planner's methods (sparsamp_plan.h).
#ifndef PSENV_TOOL_SCHED_MAKE_PLANNED_H
#define PSENV_TOOL_SCHED_MAKE_PLANNED_H

#include <optional>
#include <string>

#include "core/command.h"

namespace psenv::sched {

// `sched make` with a --method other than uniform, after the parameters and
// options are in the current tree: writes the schedule to `location` and
// prints the summary.  A grid of more than `max_points` points (when given)
// is refused.  Returns the exit status.
int make_planned(const Call &call, const std::string &method, const std::string &location,
                 std::optional<long long> max_points);

}  // namespace psenv::sched

#endif
