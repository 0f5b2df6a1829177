#include "psenv_util/file_calls.h"

#include <fcntl.h>
#include <unistd.h>

namespace psenv::util {
namespace {

std::FILE *stream_of(int fd)
{
    if (fd < 0)
        return nullptr;
    std::FILE *stream = ::fdopen(fd, "w");
    if (stream == nullptr)
        ::close(fd);
    return stream;
}

// O_EXCL makes a name that exists (a planted link included) an error instead
// of a file to write through; O_NOFOLLOW says the same for kernels that look
// at a link before the exclusivity test.
std::FILE *create(const char *path)
{
    return stream_of(::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
}

// Not blocking on a FIFO nobody reads: that is a failure, not a hang.  Once
// open, writes wait for the reader like any writer's.
std::FILE *open_in_place(const char *path)
{
    const int fd = ::open(path, O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return stream_of(fd);
}

int flush(std::FILE *stream) { return std::fflush(stream); }
int sync(std::FILE *stream) { return ::fsync(::fileno(stream)); }
int close(std::FILE *stream) { return std::fclose(stream); }
int rename(const char *from, const char *to) { return std::rename(from, to); }
int unlink(const char *path) { return ::unlink(path); }
int lstat(const char *path, struct stat *info) { return ::lstat(path, info); }

int chown(std::FILE *stream, uid_t owner, gid_t group)
{
    const int fd = ::fileno(stream);
    struct stat now {};
    if (fd < 0 || ::fstat(fd, &now) != 0)
        return -1;
    const uid_t new_owner = now.st_uid == owner ? static_cast<uid_t>(-1) : owner;
    const gid_t new_group = now.st_gid == group ? static_cast<gid_t>(-1) : group;
    if (new_owner == static_cast<uid_t>(-1) && new_group == static_cast<gid_t>(-1))
        return 0;
    return ::fchown(fd, new_owner, new_group);
}

int chmod(std::FILE *stream, mode_t mode)
{
    const int fd = ::fileno(stream);
    return fd < 0 ? -1 : ::fchmod(fd, mode);
}

}  // namespace

const FileCalls &system_file_calls()
{
    static constexpr FileCalls calls{create, open_in_place, flush, sync,  close,
                                     rename, unlink,        lstat, chown, chmod};
    return calls;
}

}  // namespace psenv::util
