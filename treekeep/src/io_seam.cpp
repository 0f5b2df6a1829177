#include "io_seam.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {

// O_EXCL makes a name that exists (a link planted there included) an error
// instead of a file to write through; O_NOFOLLOW says the same for kernels
// that would look at a link before the exclusivity test.
FILE *system_open(const char *path, const char *mode)
{
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    FILE *stream = fdopen(fd, mode);
    if (stream == nullptr)
        ::close(fd);
    return stream;
}

int system_flush(FILE *stream) { return std::fflush(stream); }
int system_sync(FILE *stream) { return fsync(fileno(stream)); }
int system_close(FILE *stream) { return std::fclose(stream); }
int system_rename(const char *from, const char *to) { return std::rename(from, to); }
int system_unlink(const char *path) { return unlink(path); }
int system_lstat(const char *path, struct stat *info) { return lstat(path, info); }

int system_chown(FILE *stream, uid_t owner, gid_t group)
{
    const int fd = fileno(stream);
    struct stat now {};
    if (fd < 0 || fstat(fd, &now) != 0)
        return -1;
    const uid_t new_owner = now.st_uid == owner ? static_cast<uid_t>(-1) : owner;
    const gid_t new_group = now.st_gid == group ? static_cast<gid_t>(-1) : group;
    if (new_owner == static_cast<uid_t>(-1) && new_group == static_cast<gid_t>(-1))
        return 0;
    return fchown(fd, new_owner, new_group);
}

int system_chmod(FILE *stream, mode_t mode)
{
    const int fd = fileno(stream);
    return fd < 0 ? -1 : fchmod(fd, mode);
}

constexpr treekeep_io_calls kSystemCalls{system_open,   system_flush, system_sync,
                                         system_close,  system_rename, system_unlink,
                                         system_lstat,  system_chown, system_chmod};
treekeep_io_calls current_calls = kSystemCalls;

}  // namespace

extern "C" const treekeep_io_calls *treekeep_system_io(void) { return &kSystemCalls; }

extern "C" treekeep_io_calls treekeep_set_io_calls(const treekeep_io_calls *calls)
{
    treekeep_io_calls previous = current_calls;
    current_calls = calls != nullptr ? *calls : kSystemCalls;
    return previous;
}

extern "C" const treekeep_io_calls *treekeep_io(void) { return &current_calls; }
