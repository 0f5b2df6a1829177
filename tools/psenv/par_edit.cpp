#include "par_edit.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "cli.h"
#include "par_strict.h"
#include "temporary_cleanup.h"

namespace psenv::par {

Edit::Edit(Edit &&other) noexcept : file_(std::move(other.file_)), lock_(other.lock_)
{
    other.lock_ = -1;
}

Edit::~Edit()
{
    if (lock_ >= 0)
        ::close(lock_);  // releases the flock
}

namespace {

void refuse(const std::string &path, const std::string &why)
{
    error(path + ": " + why + "; it was left unchanged");
}

std::string directory_of(const std::string &file)
{
    const auto slash = file.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : file.substr(0, slash);
}

// The lock of the file's directory, or -1 (reported).
int lock_directory(const std::string &path, const std::string &file, double wait)
{
    const std::string dir = directory_of(file);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        refuse(path, "cannot lock its directory " + dir + ": " + std::strerror(errno));
        return -1;
    }
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double>(wait));
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            return fd;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK) {
            refuse(path, "cannot lock its directory " + dir + ": " + std::strerror(errno));
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%g", wait);
            refuse(path, std::string("another editor of a file in its directory still holds "
                                     "the lock after ") +
                             seconds + " s");
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::close(fd);
    return -1;
}

// The store's save writes "<file><pid>" first; a process id has at most
// ten digits.  Names are measured against the longest, so that whether a
// file can be edited does not depend on the editor's process id.
constexpr std::size_t kTemporarySuffix = 10;

std::string temporary_name(const std::string &file) { return file + std::to_string(getpid()); }

std::string name_of(const std::string &file) { return file.substr(file.rfind('/') + 1); }

// Refused (reported) when the save's temporary name would be too long for
// the file system, which the save would only find out at its end.
bool leaves_room_for_temporary(const std::string &path, const std::string &file)
{
    long name_max = pathconf(directory_of(file).c_str(), _PC_NAME_MAX);
    if (name_max <= 0)
        name_max = NAME_MAX;
    const std::size_t longest = static_cast<std::size_t>(name_max) > kTemporarySuffix
                                    ? static_cast<std::size_t>(name_max) - kTemporarySuffix
                                    : 0;
    const std::size_t length = name_of(file).size();
    if (length > longest) {
        refuse(path, "its file name is " + std::to_string(length) +
                         " bytes long; a save writes the new file first under that name "
                         "followed by up to " +
                         std::to_string(kTemporarySuffix) + " digits, so at most " +
                         std::to_string(longest) +
                         " bytes can be saved here; rename it to a shorter name");
        return false;
    }
    constexpr std::size_t kLongestPath = PATH_MAX - 1 - kTemporarySuffix;
    if (file.size() > kLongestPath) {
        refuse(path, "its path " + file + " is " + std::to_string(file.size()) +
                         " bytes long; a save writes the new file first under that path "
                         "followed by up to " +
                         std::to_string(kTemporarySuffix) + " digits, so at most " +
                         std::to_string(kLongestPath) +
                         " bytes can be saved; move it to a shorter path");
        return false;
    }
    return true;
}

const char *kind_of(mode_t mode)
{
    if (S_ISREG(mode))
        return "a file";
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISLNK(mode))
        return "a symbolic link";
    return "a special file";
}

// Refused (reported) when something stands at the save's temporary name:
// the store would remove it, and it may well be a user's own numbered file.
bool temporary_name_free(const std::string &path, const std::string &file)
{
    const std::string temporary = temporary_name(file);
    struct stat info {};
    if (lstat(temporary.c_str(), &info) == 0) {
        refuse(path, "a save writes the new file first as " + temporary + ", where " +
                         kind_of(info.st_mode) + " already stands; rename or remove " +
                         temporary + ", then try again");
        return false;
    }
    if (errno != ENOENT) {
        refuse(path, "cannot look at " + temporary + ", the name a save writes first: " +
                         std::strerror(errno));
        return false;
    }
    return true;
}

bool in_group(gid_t group)
{
    if (getegid() == group)
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = getgroups(count, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[static_cast<std::size_t>(i)] == group)
            return true;
    return false;
}

// Why --force could not get this file replaced, or empty when it could: the
// save makes a new file in the directory and gives it the old one's owner
// and group, which only root, or the owner who is in the file's group, may.
std::string force_cannot_help(const std::string &file, const struct stat &info)
{
    if (geteuid() == 0)
        return {};
    if (info.st_uid != geteuid())
        return "only its owner or root may replace it";
    const std::string dir = directory_of(file);
    if (faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return "its directory " + dir + " is not writable either";
    if (!in_group(info.st_gid))
        return "its group is not one of yours, so a new file could not keep it";
    return {};
}

// The advice after a refusal that --force lifts, where it can.
std::string force_advice(const std::string &file, const struct stat &info)
{
    const std::string obstacle = force_cannot_help(file, info);
    return obstacle.empty() ? "--force replaces it anyway" : obstacle;
}

// What may be replaced: an existing regular file the caller may write,
// with one name, and a name the save can work with.  Checked before the
// file is opened, so that a FIFO or a device is never read or written.
bool replaceable(const std::string &path, const std::string &file, bool force)
{
    struct stat info {};
    if (stat(file.c_str(), &info) != 0) {
        error(path + ": " + std::strerror(errno));
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error(path + ": " + std::strerror(EISDIR));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        refuse(path, "not a regular file");
        return false;
    }
    if (!leaves_room_for_temporary(path, file) || !temporary_name_free(path, file))
        return false;
    if (force)
        return true;
    // Root may write anything: a file without any write bit is still
    // meant to stay as it is.
    if (geteuid() == 0 ? (info.st_mode & 0222) == 0
                       : faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        refuse(path, std::string(std::strerror(EACCES)) + " (mode " + mode + "; " +
                         force_advice(file, info) + ")");
        return false;
    }
    if (info.st_nlink > 1) {
        refuse(path, "it has " + std::to_string(info.st_nlink) +
                         " hard links, which replacing it would split (" +
                         force_advice(file, info) + ")");
        return false;
    }
    return true;
}

}  // namespace

std::optional<Edit> begin_edit(const std::string &path, bool force, double wait)
{
    char *resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        error(path + ": " + std::strerror(errno));
        return std::nullopt;
    }
    std::string file = resolved;
    std::free(resolved);
    if (!replaceable(path, file, force))
        return std::nullopt;
    const int lock = lock_directory(path, file, wait);
    if (lock < 0)
        return std::nullopt;
    Edit edit(file, lock);
    // Looked at again under the lock: the previous editor may have changed
    // what the name holds.
    if (!replaceable(path, file, force))
        return std::nullopt;
    if (!check_before_editing(path, file, force))
        return std::nullopt;
    return edit;
}

bool guarded_save(const std::string &path, const std::string &file,
                  const std::function<void()> &save)
{
    // Looked at once more: time has passed since the edit began.
    if (!temporary_name_free(path, file))
        return false;
    const TemporaryCleanup cleanup(temporary_name(file));
    if (!cleanup.armed()) {
        refuse(path, "its path is too long to be saved");
        return false;
    }
    save();
    return true;
}

std::optional<double> lock_wait(const std::optional<std::string> &text)
{
    if (!text)
        return kDefaultLockWait;
    const auto value = parse_real(*text);
    if (!value || !std::isfinite(*value) || *value < 0 || *value > 3600 || text->empty() ||
        std::isspace(static_cast<unsigned char>(text->front())))
        return std::nullopt;
    return value;
}

}  // namespace psenv::par
