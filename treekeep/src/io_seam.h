// The file calls of the savers, replaceable so that tests can make a flush,
// a sync, a close or a rename fail without a broken disk.  The savers hand
// them to util's file replacement, whose call table forwards to these.
#ifndef PSENV_TREEKEEP_IO_SEAM_H
#define PSENV_TREEKEEP_IO_SEAM_H

#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct treekeep_io_calls {
    /* Creates the temporary file; the system's call creates it exclusively
       (never through a name that exists, a symbolic link included) with mode
       0666 before the umask, and fails with EEXIST when the name is taken. */
    FILE *(*open_call)(const char *path, const char *mode);
    int (*flush_call)(FILE *stream);
    int (*sync_call)(FILE *stream); /* commit the stream's file to the device */
    int (*close_call)(FILE *stream);
    int (*rename_call)(const char *from, const char *to);
    int (*unlink_call)(const char *path);
    /* What the path itself is, symbolic links not followed. */
    int (*lstat_call)(const char *path, struct stat *info);
    /* Give the stream's file this owner and group (the system's call changes
       only what differs, so that an unchanged owner needs no privilege). */
    int (*chown_call)(FILE *stream, uid_t owner, gid_t group);
    /* Give the stream's file these permission bits. */
    int (*chmod_call)(FILE *stream, mode_t mode);
} treekeep_io_calls;

/* The system's calls (exclusive open, fflush, fsync, fclose, rename, unlink,
   lstat, fchown, fchmod). */
const treekeep_io_calls *treekeep_system_io(void);

/* Replace the calls (NULL restores the system's); returns the previous set. */
treekeep_io_calls treekeep_set_io_calls(const treekeep_io_calls *calls);

/* The calls in force. */
const treekeep_io_calls *treekeep_io(void);

#ifdef __cplusplus
}
#endif

#endif
