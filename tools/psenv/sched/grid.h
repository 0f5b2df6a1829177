// The grid of a schedule and the spectral widths of its dimensions, from
// the command line or from the parameters of --params.
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
// failure reported.  With `widths`, the sw1 .. sw10 parameters of --params
// go there too (0 where missing), see spectral_widths().
int grid_option(const Call &call, std::vector<int> &ni, std::vector<double> *widths = nullptr);

// The spectral widths sw1 .. sw10 of `tree` in Hz (0 where missing or not
// above 0).
std::vector<double> widths_from_tree(int tree);

// The spectral width of each of `dimensions` dimensions in Hz in `widths`,
// 0 where it is unknown: --swJ, else the parameters of --params
// (`from_params`, from grid_option()).  kExitOk, or a usage error.
int spectral_widths(const Call &call, int dimensions, const std::vector<double> &from_params,
                    std::vector<double> &widths);

}  // namespace psenv::sched

#endif
