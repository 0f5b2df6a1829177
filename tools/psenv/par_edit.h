// The guarded edit of the parameter store (treekeep_files.h) around a
// command that rewrites a parameter file (`par set`, `par merge`): it says
// what the store refuses, and while the save runs it removes the save's
// temporary file when a signal ends the process, which is this program's
// policy, not the store's.
#ifndef PSENV_TOOL_PAR_EDIT_H
#define PSENV_TOOL_PAR_EDIT_H

#include <optional>
#include <string>

#include "treekeep_files.h"

namespace psenv::par {

// Seconds a second editor waits for the first before it gives up.
constexpr double kDefaultLockWait = 10.0;

// An edit in progress: the file to read and save (symbolic links resolved)
// and the lock of its directory, held until the edit is destroyed.
class Edit {
public:
    Edit(P_edit *edit, std::string path) : edit_(edit), path_(std::move(path)) {}
    Edit(Edit &&other) noexcept;
    Edit &operator=(Edit &&) = delete;
    Edit(const Edit &) = delete;
    ~Edit();

    std::string file() const { return P_editfile(edit_); }

    // Saves `tree` over the file; false when refused or failed (reported
    // under the name the user gave).  While the save runs, SIGINT, SIGTERM
    // and SIGHUP (those not ignored) remove the temporary file and then end
    // the process as they would have.
    bool save(int tree);

private:
    P_edit *edit_;
    std::string path_;
};

// Opens an edit of the parameter file `path`, waiting at most `wait`
// seconds for another editor; a refusal is reported (with the problems of
// the strict check, which are reported also when `force` lets the edit go
// on) and gives nullopt.
std::optional<Edit> begin_edit(const std::string &path, bool force, double wait);

// The value of a --wait option: seconds from 0 to 3600.
std::optional<double> lock_wait(const std::optional<std::string> &text);

}  // namespace psenv::par

#endif
