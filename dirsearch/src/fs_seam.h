// The file-system calls of the free-space tests, replaceable so that tests
// can give any figures without filling a disk.
#ifndef PSENV_DIRSEARCH_FS_SEAM_H
#define PSENV_DIRSEARCH_FS_SEAM_H

#include <sys/stat.h>
#include <sys/statvfs.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct dirsearch_fs_calls {
    int (*statvfs_call)(const char *path, struct statvfs *figures);
    int (*stat_call)(const char *path, struct stat *info);
} dirsearch_fs_calls;

/* Replace the calls (NULL restores the system's); returns the previous set. */
dirsearch_fs_calls dirsearch_set_fs_calls(const dirsearch_fs_calls *calls);

/* The calls in force. */
const dirsearch_fs_calls *dirsearch_fs(void);

#ifdef __cplusplus
}
#endif

#endif
