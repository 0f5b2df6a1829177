// The guarded edit of a parameter file behind P_editbegin ... P_editend
// (treekeep_files.h): the handle, and the look at the target that decides
// whether it may be replaced at all, taken before and again under the lock.
#ifndef PSENV_TREEKEEP_PARFILE_EDIT_H
#define PSENV_TREEKEEP_PARFILE_EDIT_H

#include <string>

#include "treekeep_files.h"

struct P_edit {
    std::string path;       // as the caller gave it: what messages name
    std::string file;       // the file it leads to: what is read and saved
    std::string temporary;  // what the save writes first: file and process id
    int lock = -1;          // the directory, flock()ed while the edit is open
    P_filecheck check{};
    std::string message;    // the last refusal, when `failed`
    bool failed = false;
    int error = 0;
    bool open = false;

    P_edit() = default;
    P_edit(const P_edit &) = delete;
    P_edit &operator=(const P_edit &) = delete;
    ~P_edit();

    // A refusal that left the file as it was: "PATH: WHY; it was left
    // unchanged".  Returns `code`.
    int refuse(int code, const std::string &why, int cause = 0);
    // A failure worded by the system alone: "PATH: WHY".  Returns `code`.
    int fail(int code, const std::string &why, int cause);
    void succeed();
    void unlock();
};

namespace treekeep {

// The directory part of `file` ("." for a bare name, "/" at the root).
std::string directoryOf(const std::string &file);

// 0 when `edit.file` may be replaced: an existing regular file whose name
// leaves room for the temporary name, with nothing at that name, and
// (unless `force`) one the caller may write, with one name.  Otherwise the
// refusal, worded into `edit`.  Looked at before the file is opened, so
// that a FIFO or a device is never read or written.
int checkTarget(P_edit &edit, bool force);

// 0 when nothing stands at the temporary name, which the save would take
// (it may well be a user's own numbered file); otherwise the refusal.
int checkTemporary(P_edit &edit);

}  // namespace treekeep

#endif
