// The guard around a command that rewrites a parameter file (`par set`,
// `par merge`): which targets may be replaced at all, the lock that makes
// one editor at a time read, change and save a file, and the strict check
// of what is about to be rewritten.
#ifndef PSENV_TOOL_PAR_EDIT_H
#define PSENV_TOOL_PAR_EDIT_H

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
// target that does not exist or is not a regular file, one the caller may
// not write or that has several hard links (unless `force`), waits at most
// `wait` seconds for another editor, and refuses a file that fails the
// strict check or (unless `force`) holds repeated records.
std::optional<Edit> begin_edit(const std::string &path, bool force, double wait);

// The value of a --wait option: seconds from 0 to 3600.
std::optional<double> lock_wait(const std::optional<std::string> &text);

}  // namespace psenv::par

#endif
