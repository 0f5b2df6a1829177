// The strict check of parameter files as the `psenv par` commands use it:
// readers refuse to show a damaged file as data (unless asked to), editors
// refuse to rewrite one, and every problem is reported with its line.
#ifndef PSENV_TOOL_PAR_STRICT_H
#define PSENV_TOOL_PAR_STRICT_H

#include <cstddef>
#include <string>
#include <vector>

#include "parfile_check.h"

namespace psenv::par {

enum class Whole { kYes, kNo, kUnreadable };

// Outcome of the strict check of one file.
struct Checked {
    Whole whole = Whole::kUnreadable;
    std::string failure;        // the system's words when the file cannot be read
    std::size_t repeats = 0;    // records whose name an earlier record has
    std::vector<ParfileRecord> records;
};

// Checks `file` (repeats included) and prints every problem as
// "psenv: PATH:LINE: record N: 'NAME': ..."; a failure to read is left to
// the caller, in `failure`.
Checked check_reported(const std::string &path, const std::string &file);

// Before a reader (show, get, names, diff) loads `path`.
enum class Reading {
    kWhole,    // go on
    kLenient,  // damaged, reported, and the caller asked to see what loads
    kStop,     // unreadable or damaged, reported
};
Reading check_before_reading(const std::string &path, bool lenient);

// Before `file` (named `path`) is rewritten: false, reported with "it was
// left unchanged", when it cannot be read, is damaged, or holds repeated
// records (a save would keep only the last of each) and `force` is not set.
bool check_before_editing(const std::string &path, const std::string &file, bool force);

// After the loader reported trouble the check did not locate: where to look.
void suggest_check(const std::string &path);

}  // namespace psenv::par

#endif
