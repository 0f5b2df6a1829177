// `sched make` with the planner's methods (sparsamp_plan.h).
#ifndef PSENV_TOOL_SCHED_MAKE_PLANNED_H
#define PSENV_TOOL_SCHED_MAKE_PLANNED_H

#include <optional>
#include <string>

#include "core/command.h"
#include "sparsamp_plan.h"

namespace psenv::sched {

// `sched make` with a --method other than uniform, after the parameters and
// options are in the current tree: writes the schedule to `location` and
// prints the summary.  A grid of more than `max_points` points (when given)
// is refused.  Returns the exit status.
int make_planned(const Call &call, const std::string &method, const std::string &location,
                 std::optional<long long> max_points);

// Fills `options` (after csplan_options_init) from the command line's
// options of the planner's table (sparsamp_plan_options.h) for --method
// `method` on `grid`: kExitOk, or the usage error reported.
int planned_options(const Call &call, const std::string &method, const csplan_grid &grid,
                    csplan_options &options);

// "poisson-gap, quarter sine weighting, threads walk" and the like: what
// was made, for the summary.
std::string made_text(const csplan_options &options, const csplan_made &made,
                      const std::string &decay_text);

// The summary's lines about the forced points, the best of several seeds,
// the periodicity guard and a completed pass, when they apply.
void print_made(const csplan_options &options, const csplan_made &made);

}  // namespace psenv::sched

#endif
