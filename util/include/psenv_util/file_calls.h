// The file calls of a replacement, as a table the caller may swap: tests
// make a write, a flush, a sync, a close or a rename fail without a broken
// disk, and the parameter store routes its own fault-injection seam here.
#ifndef PSENV_UTIL_FILE_CALLS_H
#define PSENV_UTIL_FILE_CALLS_H

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdio>

namespace psenv::util {

struct FileCalls {
    // Creates `path` for writing, exclusively: never through a name that
    // exists (a symbolic link included), mode 0666 before the umask; EEXIST
    // when the name is taken.  One attempt, also when interrupted.
    std::FILE *(*create)(const char *path);
    // Opens an existing file that is no regular file (a FIFO, a device) for
    // writing without waiting for a reader: a FIFO nobody reads fails with
    // ENXIO.  The stream itself then blocks as usual.
    std::FILE *(*open_in_place)(const char *path);
    int (*flush)(std::FILE *stream);
    int (*sync)(std::FILE *stream);  // the stream's file committed to the device
    int (*close)(std::FILE *stream);
    int (*rename)(const char *from, const char *to);
    int (*unlink)(const char *path);
    int (*lstat)(const char *path, struct stat *info);  // links not followed
    // Gives the stream's file this owner and group; only what differs is
    // changed, so an unchanged owner needs no privilege.
    int (*chown)(std::FILE *stream, uid_t owner, gid_t group);
    int (*chmod)(std::FILE *stream, mode_t mode);  // permission bits
};

// The system's calls.  Failures set errno, as the system calls do.
const FileCalls &system_file_calls();

}  // namespace psenv::util

#endif
