// Writes rows in the sampling module's schedule file format ("%-4d " per
// entry, one line per row) through a temporary file beside the target.
#ifndef PSENV_PLAN_SCHEDULE_WRITER_H
#define PSENV_PLAN_SCHEDULE_WRITER_H

#include <string>

#include "plan_grid.h"

namespace psenv::plan {

// The file's text for `columns`.
std::string schedule_text(const Columns &columns);

// Replaces `path` with the schedule: an exclusively created temporary file in
// the same directory, written, flushed and synced, given the owner and mode
// of the file it replaces (new files get 0666 less the umask), then renamed
// over `path`.  On failure nothing is left behind, `path` is unchanged and
// `reason` says what failed (with the system's wording).
bool write_schedule_file(const std::string &path, const Columns &columns, std::string &reason);

// The same safe replacement for any text (pictures).
bool replace_file(const std::string &path, const std::string &text, std::string &reason);

}  // namespace psenv::plan

#endif
