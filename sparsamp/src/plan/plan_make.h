// csplan_make() inside: the options checked, the forced points, one
// schedule per candidate seed, the best of them by the far sidelobe, and the
// order of the rows.
#ifndef PSENV_PLAN_PLAN_MAKE_H
#define PSENV_PLAN_PLAN_MAKE_H

#include <cstdint>
#include <string>
#include <vector>

#include "plan_grid.h"
#include "sparsamp_plan.h"

namespace psenv::plan {

// CSPLAN_OK, or CSPLAN_EINVAL with one sentence in `detail` naming the
// option that is wrong.  Also resolves the default walk into `walk`.
int check_options(const Grid &grid, const csplan_options &options, int &walk,
                  std::string &detail);

// The points sampled in any case: the origin, the head block, the last
// point; sorted.  Call after check_options().
std::vector<std::int64_t> forced_points(const Grid &grid, const csplan_options &options);

// The schedule in the order asked for, and how it was reached.  Call after
// check_options(); returns CSPLAN_OK or the code of a failed transform
// (best_of > 1) with its reason.
int make_schedule(const Grid &grid, const csplan_options &options, int walk,
                  std::vector<std::int64_t> &indices, csplan_made &made, std::string &reason);

// The origin first, the other points in an order drawn from the seed.
void shuffle_after_origin(std::vector<std::int64_t> &indices, std::int32_t seed);

}  // namespace psenv::plan

#endif
