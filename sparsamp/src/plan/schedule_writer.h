// The planner's rows (column-wise, as the module holds them) through the
// module's one schedule file writer (schedule_format.h).
#ifndef PSENV_PLAN_SCHEDULE_WRITER_H
#define PSENV_PLAN_SCHEDULE_WRITER_H

#include <string>

#include "plan_grid.h"

namespace psenv::plan {

// The file's text for `columns`.
std::string schedule_text(const Columns &columns);

// Replaces `path` with the schedule, whole or not at all (see
// csplan_write_schedule).  On failure nothing is left behind, `path` is
// unchanged and `reason` says what failed (with the system's wording).
bool write_schedule_file(const std::string &path, const Columns &columns, std::string &reason);

}  // namespace psenv::plan

#endif
