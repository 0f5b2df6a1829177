#include "par_edit.h"

#include <fcntl.h>
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

// What may be replaced: an existing regular file the caller may write,
// with one name.  Checked before the file is opened, so that a FIFO or a
// device is never read or written.
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
    if (force)
        return true;
    // Root may write anything: a file without any write bit is still
    // meant to stay as it is.
    if (geteuid() == 0 ? (info.st_mode & 0222) == 0
                       : faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        refuse(path, std::string(std::strerror(EACCES)) + " (mode " + mode +
                         "; --force replaces it anyway)");
        return false;
    }
    if (info.st_nlink > 1) {
        refuse(path, "it has " + std::to_string(info.st_nlink) +
                         " hard links, which replacing it would split (--force replaces it "
                         "anyway)");
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
