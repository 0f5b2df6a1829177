// The guarded edit of the parameter store (treekeep_files.h) around a
// command that rewrites a parameter file (`par set`, `par merge`): it says
// what the store refuses, and while the save runs it removes the save's
// temporary file when a signal ends the process, which is this program's
// policy, not the store's.
#ifndef PSENV_TOOL_PAR_GUARDED_EDIT_H
#define PSENV_TOOL_PAR_GUARDED_EDIT_H

#include <string>

#include "core/command.h"
#include "treekeep_files.h"

namespace psenv::par {

// An edit of one parameter file: the file to read and save (symbolic links
// resolved) and the lock of its directory, held until the edit is
// destroyed.
class Edit {
public:
    Edit() = default;
    Edit(const Edit &) = delete;
    Edit &operator=(const Edit &) = delete;
    ~Edit();

    // Opens the edit of the parameter file `path`, waiting at most `wait`
    // seconds for another editor.  A refusal is reported (with the problems
    // of the strict check, which are reported also when `force` lets the
    // edit go on): kExitFailure.  kExitOk when the edit is open.
    int begin(const std::string &path, bool force, double wait);

    std::string file() const { return P_editfile(edit_); }

    // Saves `tree` over the file: kExitOk, or kExitFailure when refused or
    // failed (reported under the name the user gave).  While the save runs,
    // SIGINT, SIGTERM and SIGHUP (those not ignored) remove the temporary
    // file and then end the process as they would have.
    int save(int tree);

private:
    P_edit *edit_ = nullptr;
    std::string path_;
};

// The value of the --wait option of `call` (seconds from 0 to 3600, 10
// when not given) in `seconds`; a usage error otherwise.
int lock_wait(const Call &call, double &seconds);

}  // namespace psenv::par

#endif
