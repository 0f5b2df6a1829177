// The file calls of the savers, replaceable so that tests can make a flush,
// a sync, a close or a rename fail without a broken disk.
#ifndef PSENV_TREEKEEP_IO_SEAM_H
#define PSENV_TREEKEEP_IO_SEAM_H

#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct treekeep_io_calls {
    FILE *(*open_call)(const char *path, const char *mode);
    int (*flush_call)(FILE *stream);
    int (*sync_call)(FILE *stream); /* commit the stream's file to the device */
    int (*close_call)(FILE *stream);
    int (*rename_call)(const char *from, const char *to);
    int (*unlink_call)(const char *path);
} treekeep_io_calls;

/* The system's calls (fopen, fflush, fsync of fileno, fclose, rename, unlink). */
const treekeep_io_calls *treekeep_system_io(void);

/* Replace the calls (NULL restores the system's); returns the previous set. */
treekeep_io_calls treekeep_set_io_calls(const treekeep_io_calls *calls);

/* The calls in force. */
const treekeep_io_calls *treekeep_io(void);

#ifdef __cplusplus
}
#endif

#endif
