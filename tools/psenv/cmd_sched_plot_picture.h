// A schedule drawn as a self-contained SVG picture: `psenv sched plot` and
// psenv.sched.svg() of the Python module.
#ifndef PSENV_TOOL_CMD_SCHED_PLOT_PICTURE_H
#define PSENV_TOOL_CMD_SCHED_PLOT_PICTURE_H

#include <string>
#include <vector>

#include "cmd_sched.h"

namespace psenv::sched {

// One dimension: a strip of all increments with the sampled ones filled;
// two: the grid with the sampled cells filled; three or more: the
// projection on the dimensions a and b (0-based, different) with a darker
// cell for more points, and a histogram of points per increment for each
// dimension.  Axes run to ni - 1 where `ni` gives the dimension, else to the
// largest entry.  `file` names the schedule in the title (none when empty).
std::string schedule_picture(const Schedule &schedule, const std::string &file, int a, int b,
                             const std::vector<int> &ni);

}  // namespace psenv::sched

#endif
