/*
 * dirsearch.h - application directory search, wildcard names, path copies,
 * link resolution and free-space tests.
 *
 * The environment looks for its files in an ordered list of application
 * directories ("/u/app;/opt/share;/inst"), earlier entries taking precedence.
 * This module keeps a reference to that list and finds files in it; beside
 * the search it matches names against wildcard patterns, follows chains of
 * symbolic links and tests file systems for free space.
 *
 * State: only the reference to the list, process-global and unsynchronised.
 * Everything else is reentrant.  No function allocates memory that the
 * caller must free.
 */
#ifndef PSENV_DIRSEARCH_H
#define PSENV_DIRSEARCH_H

#include "psenv_extern.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Longest candidate path a search builds and delivers, without its NUL. */
#define DIRSEARCH_MAX_CANDIDATE 255

/* Longest working path of follow_link, without its NUL. */
#define DIRSEARCH_MAX_LINK_PATH 4095

/* Number of symbolic links follow_link follows before it gives up. */
#define DIRSEARCH_MAX_LINKS 40

/*
 * Set the application directory list.
 *
 * @param list  directories separated by ";", in order of precedence.  Runs of
 *              separators count as one, leading and trailing ones are
 *              ignored, empty entries are neither tried nor numbered.  The
 *              text is NOT copied: the caller keeps it alive and unchanged
 *              while searches may run.  NULL unsets the list.
 * @return      `list` itself.
 */
PSENV_EXTERN(const char *) setAppdirValue(const char *list);

/* The list last given to setAppdirValue, or NULL when none was set. */
PSENV_EXTERN(const char *) getAppdirValue(void);

/*
 * Find "<entry>/<subdir>/<name>" in the first list entry that grants `mode`.
 *
 * For each entry in order the plain candidate is tried first, then (when
 * `suffix` is neither NULL nor empty) the candidate with `suffix` appended.
 * An empty `subdir` gives two slashes in a row, which the file system accepts.
 *
 * @param name    file name.
 * @param subdir  subdirectory of every entry.
 * @param result  receives the candidate found (at most
 *                DIRSEARCH_MAX_CANDIDATE characters plus NUL, so it needs 256
 *                bytes); NULL when only the entry number is wanted.  Left
 *                untouched when nothing is found.
 * @param suffix  optional suffix, or NULL.
 * @param mode    mode for access(2): 0 for existence, else a sum of 4 (read),
 *                2 (write) and 1 (execute or search).
 * @return        the 1-based number of the entry that held the file, 0 when
 *                none did, when no list is set, or when an argument is NULL
 *                (other than `result` and `suffix`).  A candidate longer than
 *                DIRSEARCH_MAX_CANDIDATE characters counts as absent.
 */
PSENV_EXTERN(int) appdirFind(const char *name, const char *subdir, char *result, const char *suffix, int mode);

/*
 * Find "<entry>/<name>" in the first list entry where it is readable,
 * writable and executable (or searchable) by the caller (access mode 7).
 *
 * @param name    file or directory name.
 * @param result  as for appdirFind (256 bytes), or NULL.
 * @return        the entry number, or 0.
 */
PSENV_EXTERN(int) appdirAccess(const char *name, char *result);

/*
 * Wildcard match.  In `pattern`, "*" is any run of characters (empty
 * included) and "%" exactly one character; in `name` both are ordinary.
 * Letters A-Z compare equal to a-z; all other bytes compare as they are.
 * Quirks kept on purpose: an empty name matches only "" and "*"; "a**" does
 * not match "a" (a "*" that is not last only tries non-empty rests) but
 * matches "ab".  Time grows with the product of the two lengths.
 *
 * @return 1 when `name` matches `pattern`, else 0 (also for NULL arguments).
 */
PSENV_EXTERN(int) nscmp(const char *pattern, const char *name);

/*
 * Copy a path between its two forms.  On this platform both copy unchanged,
 * exactly as strncpy does: at most `len` bytes; a shorter `src` is padded with
 * zero bytes up to `len`; a `src` of `len` or more characters leaves `dst`
 * WITHOUT a terminating zero.  A `len` of 0 or less, or a NULL argument,
 * copies nothing.
 *
 * @return `dst`.
 */
PSENV_EXTERN(char *) winPathToUnix(const char *src, char *dst, int len);
PSENV_EXTERN(char *) unixPathToWin(const char *src, char *dst, int len);

/*
 * Follow the chain of symbolic links that starts at `path` to its end.
 *
 * Absolute targets replace the working path; relative ones replace the part
 * after its last "/" (the whole path when it has no "/").  "." and ".." are
 * left as they are.  A path that does not exist, or a link to a missing
 * target, gives the path reached so far.
 *
 * @param path    start path, 1 to DIRSEARCH_MAX_LINK_PATH characters.
 * @param result  receives the final path and its NUL.
 * @param size    size of `result` in bytes.
 * @return        0 on success; -1 (result untouched) when the path is empty,
 *                too long or NULL, a splice would exceed
 *                DIRSEARCH_MAX_LINK_PATH characters, more than
 *                DIRSEARCH_MAX_LINKS links are met (a cycle), lstat fails
 *                other than with ENOENT, a link is unreadable or empty, or the
 *                final path does not fit in `size` bytes.  No message.
 */
PSENV_EXTERN(int) follow_link(const char *path, char *result, int size);

/*
 * Is the file system holding `path` full against a block count?
 *
 * @param path       any path on the file system.
 * @param threshold  blocks; 0 means 10.
 * @param full       receives 1 when the available blocks are at most the
 *                   threshold, else 0; written only when the result is 0.
 * @return           0, or -1 when `full` (or `path`) is NULL or statvfs fails;
 *                   the latter writes "Problem with <path>: <reason>" with
 *                   perror.
 */
PSENV_EXTERN(int) isDiskFullSize(const char *path, unsigned int threshold, int *full);

/*
 * Is the file system holding `path` too full to take a copy of `file`?
 *
 * The need is the file's allocated 512-byte blocks, or, when the file cannot
 * be examined, a thousandth of the file system's blocks (at least 10); it is
 * divided by the block size / 512 (at least 1) and compared with the
 * available blocks.
 *
 * @param path  any path on the file system.
 * @param file  the file whose size is needed (links followed).
 * @param full  receives 1 when full, else 0; written only when the result is 0.
 * @return      0, or -1 when `full` (or `path`) is NULL or statvfs fails; the
 *              latter writes "Cannot access <path>: <reason>" with perror.
 */
PSENV_EXTERN(int) isDiskFullFile(const char *path, const char *file, int *full);

#ifdef __cplusplus
}
#endif

#endif
