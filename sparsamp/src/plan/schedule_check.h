// The strict reading of a schedule file: every row that only reads because
// the sampling module's reader is lenient (blank lines repeat the previous
// row, short rows keep the previous row's entries, text after the numbers is
// ignored), entries outside the grid, and repeated rows.
#ifndef PSENV_PLAN_SCHEDULE_CHECK_H
#define PSENV_PLAN_SCHEDULE_CHECK_H

#include <cstdio>
#include <string>
#include <vector>

namespace psenv::plan {

struct Finding {
    long line = 0;  // 1-based line of the file
    std::string text;
};

struct CheckReport {
    std::vector<Finding> findings;
    long rows = 0;     // rows as the module reads them
    int columns = 0;   // integers of the first row
    bool readable = false;  // the module would read the file (with some column count)
};

// Reads `file` from its current position the way the module does.  `ni`
// holds the increments per dimension when they are known, else is empty.
CheckReport check_schedule(std::FILE *file, const std::vector<int> &ni);

}  // namespace psenv::plan

#endif
