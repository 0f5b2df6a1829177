// The one writer of the schedule file format, used by CSwriteSched and by
// the planner: every entry as "%-4d " (left-aligned in four characters, then
// a blank), a line end after each row, nothing else.
#ifndef PSENV_SPARSAMP_SCHEDULE_FORMAT_H
#define PSENV_SPARSAMP_SCHEDULE_FORMAT_H

#include <cstdint>
#include <string>
#include <vector>

namespace sparsamp {

// A schedule as the file lists it, wherever its entries are kept: entry k of
// row i is columns[k][i * step].  The module's columns have step 1; rows kept
// one after another (row-major, `width` entries each) are the columns
// rows + k with step `width`.
struct ScheduleEntries {
    std::vector<const int *> columns;
    std::int64_t rows = 0;
    std::int64_t step = 1;

    int entry(std::int64_t i, std::size_t k) const { return columns[k][i * step]; }
};

// Appends the file's text of rows [first, last) to `text`.
void append_schedule_rows(std::string &text, const ScheduleEntries &entries, std::int64_t first,
                          std::int64_t last);

// Replaces `path` with the schedule file of `entries` through a
// FileReplacement (whole or not at all).  0, or the errno value of the
// first failure.
int write_schedule_file(const std::string &path, const ScheduleEntries &entries);

}  // namespace sparsamp

#endif
