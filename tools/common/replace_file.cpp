#include "replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace psenv {
namespace {

int open_retrying(const char *path, int flags, mode_t mode = 0)
{
    int fd = -1;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int write_all(int fd, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t wrote = ::write(fd, content.data(), content.size());
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return wrote < 0 ? errno : EIO;
        content.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return 0;
}

int write_in_place(const std::string &target, std::string_view content)
{
    const int fd = open_retrying(target.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    int failure = write_all(fd, content);
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    return failure;
}

}  // namespace

int replace_file(const std::string &path, std::string_view content)
{
    std::string target = path;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) == nullptr)
            return errno;
        target = resolved;
    }
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT)
        return errno;
    if (exists && !S_ISREG(info.st_mode))
        return write_in_place(target, content);

    // A name that is taken (a planted link, a killed writer's leftover) is
    // never opened: another one is tried.
    std::string temporary;
    int fd = -1;
    const std::string base = target + ".tmp" + std::to_string(::getpid());
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = attempt == 0 ? base : base + "." + std::to_string(attempt);
        fd = open_retrying(temporary.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return errno;
    int failure = 0;
    if (exists && !(info.st_uid == ::geteuid() && info.st_gid == ::getegid()) &&
        ::fchown(fd, info.st_uid, info.st_gid) != 0)
        failure = errno;
    if (failure == 0 && exists && ::fchmod(fd, info.st_mode & 07777) != 0)
        failure = errno;
    if (failure == 0)
        failure = write_all(fd, content);
    if (failure == 0 && ::fsync(fd) != 0)
        failure = errno;
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure == 0 && ::rename(temporary.c_str(), target.c_str()) != 0)
        failure = errno;
    if (failure != 0)
        ::unlink(temporary.c_str());
    return failure;
}

}  // namespace psenv
