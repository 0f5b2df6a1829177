// Shared parts of the `psenv sched` subcommands.
#ifndef PSENV_TOOL_CMD_SCHED_H
#define PSENV_TOOL_CMD_SCHED_H

#include <optional>
#include <string>
#include <vector>

#include "schedule_columns.h"

namespace psenv::sched {

int make(int argc, char **argv);
int show(int argc, char **argv);
int plot(int argc, char **argv);

// Reads `path` through the sampling module, finding its column count; prints
// the error and returns nothing when it cannot be read.
std::optional<Schedule> load_schedule(const std::string &path);

}  // namespace psenv::sched

#endif
