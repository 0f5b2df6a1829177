// The strict check of parameter files (treekeep_files.h) as the `psenv par`
// commands report it: readers refuse to show a damaged file as data (unless
// asked to), and every problem is reported with its line.  Editors go
// through par_edit.h, whose guarded edit runs the check itself.
#ifndef PSENV_TOOL_PAR_STRICT_H
#define PSENV_TOOL_PAR_STRICT_H

#include <cstddef>
#include <string>
#include <vector>

#include "treekeep_files.h"

namespace psenv::par {

enum class Whole { kYes, kNo, kUnreadable };

// A record of a checked file: its name, the line of the name, and its
// protection (0 when that field is no number).
struct ParfileRecord {
    std::string name;
    long line;
    long protection;
};

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

// Prints the problems of `check` as check_reported does.
void print_problems(const std::string &path, const P_filecheck &check);

// Before a reader (show, get, names, diff) loads `path`.
enum class Reading {
    kWhole,    // go on
    kLenient,  // damaged, reported, and the caller asked to see what loads
    kStop,     // unreadable or damaged, reported
};
Reading check_before_reading(const std::string &path, bool lenient);

// After the loader reported trouble the check did not locate: where to look.
void suggest_check(const std::string &path);

}  // namespace psenv::par

#endif
