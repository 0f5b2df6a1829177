// The guard around a command that rewrites a parameter file (`par set`,
// `par merge`): which targets may be replaced at all, the lock that makes
// one editor at a time read, change and save a file, the strict check of
// what is about to be rewritten, and the save's temporary file, which is
// neither allowed to take a user's file's name nor left behind by a signal.
#ifndef PSENV_TOOL_PAR_EDIT_H
#define PSENV_TOOL_PAR_EDIT_H

#include <functional>
#include <optional>
#include <string>

namespace psenv::par {

// Seconds a second editor waits for the first before it gives up.
constexpr double kDefaultLockWait = 10.0;

// An edit in progress: the file to read and save (symbolic links resolved)
// and the lock, held until the edit is destroyed.  The lock is a flock() of
// the file's directory: the save replaces the file's inode, the directory
// stays, and the kernel drops the lock when its holder dies.
class Edit {
public:
    Edit(std::string file, int lock) : file_(std::move(file)), lock_(lock) {}
    Edit(Edit &&other) noexcept;
    Edit &operator=(Edit &&) = delete;
    Edit(const Edit &) = delete;
    ~Edit();

    const std::string &file() const { return file_; }

private:
    std::string file_;
    int lock_;
};

// Opens an edit of the parameter file `path`: refuses (reported, nullopt) a
// target that does not exist or is not a regular file, one whose name or
// path leaves no room for the save's temporary name, one whose temporary
// name is taken, one the caller may not write or that has several hard
// links (unless `force`), waits at most `wait` seconds for another editor,
// and refuses a file that fails the strict check or (unless `force`) holds
// repeated records.
std::optional<Edit> begin_edit(const std::string &path, bool force, double wait);

// Runs `save`, which saves the edit's `file` through the parameter store,
// unless something stands at the name the store writes first (`file`
// followed by this process's id), which the store would remove: then that
// is reported under the name the user gave (`path`) and nothing is run.
// While `save` runs, SIGINT, SIGTERM and SIGHUP (those not ignored) remove
// the temporary file and then end the process as they would have.
bool guarded_save(const std::string &path, const std::string &file,
                  const std::function<void()> &save);

// The value of a --wait option: seconds from 0 to 3600.
std::optional<double> lock_wait(const std::optional<std::string> &text);

}  // namespace psenv::par

#endif
