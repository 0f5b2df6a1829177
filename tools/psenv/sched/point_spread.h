// What `sched psf` and `sched compare` share: the grid they need, the
// figures of a schedule and their texts.
#ifndef PSENV_TOOL_SCHED_POINT_SPREAD_H
#define PSENV_TOOL_SCHED_POINT_SPREAD_H

#include <string>
#include <vector>

#include "core/command.h"
#include "sparsamp_plan.h"

namespace psenv::sched {

// The grid of --ni or --params, which the transform needs: kExitOk, else a
// usage error (no grid given, or no transform in this build: exit status
// 2) or failure (a grid beyond the transform's size) reported.
int psf_grid(const Call &call, csplan_grid &grid);

// Loads, masks and transforms one schedule: kExitOk, or kExitFailure after
// saying why not.  Rows that read only because the reader is lenient are
// warned about first, as `sched show` does: the figures are those of what
// the module reads.  With `magnitude`, |F| of every grid point goes there.
int figures_of(const std::string &path, const csplan_grid &grid, csplan_psf_figures &figures,
               std::vector<float> *magnitude);

// The figures as the commands print them.
std::string sidelobe_text(double x);
std::string psr_text(double x);
std::string share_text(const csplan_psf_figures &f);
std::string frequency_text(const csplan_grid &grid, const csplan_psf_figures &f);

}  // namespace psenv::sched

#endif
