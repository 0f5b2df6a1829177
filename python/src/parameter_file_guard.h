// The strict check of parameter files and their guarded save, as the
// parameter store offers them (treekeep_files.h): the one file of the
// Python module that knows where they live, so that following them
// elsewhere is a change of parameter_file_guard.cpp alone.
#ifndef PSENV_PYTHON_PARAMETER_FILE_GUARD_H
#define PSENV_PYTHON_PARAMETER_FILE_GUARD_H

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "errors.h"

namespace psenv::python {

// A parameter file read whole and checked strictly.
struct CheckedFile {
    std::string bytes;
    // Damage and repeated names in file order: (line, "record N: ...").
    std::vector<Problem> problems;
    bool damaged = false;            // a problem other than a repeat
    std::vector<std::string> names;  // the records' names in file order
};

// Reads `path` (a regular file; opened without blocking) and checks it.
// Throws FileFailure when it cannot be read.
CheckedFile check_parameter_file(const std::string &path);

// Seconds a save waits for another editor of the directory by default.
double default_edit_wait();

// The guarded edit of `path`, as `psenv par set` makes it: the lock of the
// file's directory (another editor waits at most `wait` seconds), the
// refusals of targets that are no regular file, read-only, hard-linked
// (both lifted by `force`), damaged or holding repeated names (`force`
// too), then `fill(tree)` puts the new content into an empty scratch tree,
// which is saved over the file (a new file renamed over it, owner and mode
// kept).  With `expected` the file must still hold those bytes.  A `path`
// that does not exist is made (empty, 0666 less the umask) first and
// removed again when the edit fails.  Throws SaveRefused for a refusal or
// failure (the file then stays as it was), FileFailure when the path
// cannot be made, and whatever `fill` throws.  No signal handler is armed
// around the write (that is the psenv program's policy, not a library's).
// Runs inside a ModuleLock.
void save_parameter_file(const std::string &path, bool force, double wait,
                         const std::optional<std::string> &expected,
                         const std::function<void(int tree)> &fill);

}  // namespace psenv::python

#endif
