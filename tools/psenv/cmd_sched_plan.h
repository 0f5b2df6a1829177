// The planning side of `psenv sched`: generators beside the module's own,
// point-spread functions, comparisons and strict checks, all through the
// planner of the sampling module (sparsamp_plan.h).
#ifndef PSENV_TOOL_CMD_SCHED_PLAN_H
#define PSENV_TOOL_CMD_SCHED_PLAN_H

#include <optional>
#include <string>
#include <vector>

#include "cli.h"
#include "sparsamp_plan.h"

namespace psenv::sched {

int psf(int argc, char **argv);
int compare(int argc, char **argv);
int check(int argc, char **argv);
int delays(int argc, char **argv);

// `sched make` with a --method other than uniform, after the parameters and
// options are in tree 1; a grid of more than `max_points` points (when
// given) is refused.  Returns the exit status.
int make_planned(const Args &args, const std::string &method, const std::string &location,
                 std::optional<long long> max_points);

// Options `sched make` takes for the planned methods, and those of them
// that --method uniform refuses.
const std::vector<OptionSpec> &planned_make_options();
const std::vector<std::string> &planned_only_options();

// Fills `options` (after csplan_options_init) from the command line for
// --method `method` on `grid`.  Returns the exit status of a usage error it
// printed, or -1 when everything was understood.
int planned_options(const Args &args, const std::string &method, const csplan_grid &grid,
                    csplan_options &options);

// "poisson-gap, quarter sine weighting, threads walk" and the like: what
// was made, for the summary.
std::string made_text(const csplan_options &options, const csplan_made &made,
                      const std::string &decay_text);

// The summary's lines about the forced points, the best of several seeds,
// the periodicity guard and a completed pass, when they apply.
void print_made(const csplan_options &options, const csplan_made &made);

// The grid from "ni" .. "ni10" of `tree` as the module accepts candidates
// (active, above 1, increments ni + 0.1 truncated), in order.
std::vector<int> grid_from_tree(int tree);

// --ni N[,N2...] or the ni parameters of --params FILE.  Prints a usage
// error or failure and returns nothing when neither gives a grid;
// `status` then holds the exit status.
// With `widths`, the sw1 .. sw10 parameters of --params go there too
// (0 where missing), see spectral_widths().
std::optional<std::vector<int>> grid_option(const Args &args, const char *command, int &status,
                                            std::vector<double> *widths = nullptr);

// The spectral widths sw1 .. sw10 of `tree` in Hz (0 where missing or not
// above 0).
std::vector<double> widths_from_tree(int tree);

// Options --sw1 .. --sw10: the spectral width of each dimension in Hz.
const std::vector<OptionSpec> &width_options();

// The spectral width of each of `dimensions` dimensions in Hz, 0 where it is
// unknown: --swJ, else the parameters of --params (`from_params`, from
// grid_option()).  A usage error (printed, `status` set) gives nothing.
std::optional<std::vector<double>> spectral_widths(const Args &args, int dimensions,
                                                   const std::vector<double> &from_params,
                                                   const char *command, int &status);

// Writes the strict reading's findings for `path` as "psenv: PATH:LINE: ..."
// on standard error; returns how many there were.
int warn_about_schedule(const std::string &path, const std::vector<int> &ni);

}  // namespace psenv::sched

#endif
