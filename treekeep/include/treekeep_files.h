/*
 * treekeep_files.h - integrity of parameter files.
 *
 * The loaders of treekeep.h take a file cut short after a count or inside a
 * list of reals as ending there, without a word, and a save rewrites the
 * file from the tree: a damaged file loaded and saved loses what the damage
 * hid, for good.  This header holds what stands between a program and that:
 *
 *   - the strict check of a parameter file's bytes: every record whole (its
 *     name, the eleven header fields, each count followed by that many
 *     values, every string closed, the line break that ends the record), and
 *     within what the loaders read back; each problem with its line and
 *     record, and, where a record left the layout the writer produces before
 *     it went wrong, the line it left;
 *   - the guarded edit of a parameter file: one editor at a time per
 *     directory, no rewrite of a target that is not a single-named regular
 *     file the caller may write (unless forced), nor of one that fails the
 *     check, and a save that leaves either the old file or the new one.
 *
 * Conventions
 *   - Results are 0 on success, a positive P_CHECK_ answer of the check, or
 *     one of the negative codes below.  They lie outside the store's own
 *     codes (-1..-19, -99), which P_editsave passes on from P_save.
 *   - Lists and handles made here belong to the caller, who releases them
 *     with the function named where they are made.  Texts in them are
 *     NUL-terminated and valid until they are released.
 *   - Where the system refused something, the errno value is handed out
 *     beside the code.
 *   - Not thread-safe: one thread at a time works on a handle.
 *
 * Compiles as C11 and as C++.
 */
#ifndef PSENV_TREEKEEP_FILES_H
#define PSENV_TREEKEEP_FILES_H

#include <stddef.h>

#include "psenv_extern.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- limits of what the loaders read back whole -------------------------- */

#define P_LONGEST_NAME 255    /* bytes of a parameter name */
#define P_LONGEST_STRING 1022 /* characters of a quoted string, escapes resolved */
#define P_MOST_VALUES 32767   /* values or enumeration values of one record */

/* ---- codes --------------------------------------------------------------- */

/* Answers of the check (P_checkbytes, P_checkfile). */
#define P_CHECK_WHOLE 0    /* every record whole */
#define P_CHECK_REPEATED 1 /* whole, but a name repeats (only with P_CHECK_FIND_REPEATS) */
#define P_CHECK_DAMAGED 2  /* at least one problem other than a repeat */

/* Failures shared by the check and the edit. */
#define P_FILE_UNREADABLE -101 /* the file cannot be opened or read: errno says why */
#define P_FILE_NOTREGULAR -102 /* no regular file (directory: errno EISDIR; FIFO, device,
                                  socket: errno 0); it was not read */
#define P_FILE_NOMEM -103      /* memory ran out */
#define P_FILE_INVALID -104    /* a NULL argument, a wait that is no number of seconds, or
                                  a handle that is not open */
#define P_FILE_SYSTEM -105     /* a system call refused (resolving the path, looking at a
                                  name, locking the directory): errno says why */

/* Refusals of the edit. */
#define P_EDIT_NAMETOOLONG -111 /* no room for the save's temporary name */
#define P_EDIT_TEMPORARY -112   /* something stands at the save's temporary name */
#define P_EDIT_READONLY -113    /* the caller may not write the file (P_EDIT_FORCE lifts it) */
#define P_EDIT_HARDLINKED -114  /* the file has several names (P_EDIT_FORCE lifts it) */
#define P_EDIT_BUSY -115        /* another editor held the lock for the whole wait */
#define P_EDIT_DAMAGED -116     /* the file fails the strict check */
#define P_EDIT_REPEATED -117    /* records repeat a name (P_EDIT_FORCE lifts it) */

/* ---- the strict check ---------------------------------------------------- */

/* Flag of P_checkbytes and P_checkfile: look for repeated names too. */
#define P_CHECK_FIND_REPEATS 0x1

/*
 * One problem of a file.  A repeat is a record whose name an earlier record
 * has: the file reads, but a load keeps only the last of them and a save
 * writes only that one.
 */
typedef struct P_problem {
    long line;   /* 1-based line the problem is reported on */
    long record; /* 1-based number of the record it belongs to */
    int repeat;  /* nonzero for a repeat */
    char *text;  /* "'NAME': what is wrong", NAME escaped as P_printable does */
} P_problem;

/* A record as the check met it. */
typedef struct P_filerecord {
    long line;       /* line of the record's name */
    long protection; /* its protection field; 0 when that field is no number */
    char *name;      /* the name as it stands in the file (cut at a NUL byte) */
} P_filerecord;

/*
 * What the check found: the problems in file order (none for a whole file),
 * and every record begun, in file order.  Filled by P_checkbytes and
 * P_checkfile, released with P_freecheck.
 */
typedef struct P_filecheck {
    P_problem *problems;
    size_t problemCount;
    P_filerecord *records;
    size_t recordCount;
} P_filecheck;

/*
 * Check the `length` bytes at `bytes` as a parameter file (an empty file is
 * whole).  Checking goes on after a problem that leaves the layout readable
 * (a bad number, an overlong string) and stops at one that does not (the end
 * of the file, an unknown type, a count that is no count, a record that left
 * the writer's layout).  `flags`: 0 or P_CHECK_FIND_REPEATS.
 *
 * `check` may be NULL when only the answer is wanted; otherwise it receives
 * the lists, which the caller releases with P_freecheck (also after a
 * failure, when they are empty).  `bytes` may be NULL when `length` is 0.
 *
 * Result: P_CHECK_WHOLE, P_CHECK_REPEATED or P_CHECK_DAMAGED;
 * P_FILE_INVALID when `bytes` is NULL with a length; P_FILE_NOMEM.
 */
PSENV_EXTERN(int) P_checkbytes(const char *bytes, size_t length, int flags, P_filecheck *check);

/*
 * Read the file at `path` and check it as P_checkbytes does.  A path that is
 * not a regular file is not read (a FIFO would wait for a writer).
 * `check` as for P_checkbytes; `error` (may be NULL) receives the errno value
 * behind a failure, else 0.
 *
 * Result: as P_checkbytes; P_FILE_UNREADABLE when the file cannot be opened
 * or read; P_FILE_NOTREGULAR for a directory or any other file that is not a
 * regular one; P_FILE_INVALID when `path` is NULL.
 */
PSENV_EXTERN(int) P_checkfile(const char *path, int flags, P_filecheck *check, int *error);

/*
 * Release the lists of `check` and leave it empty.  NULL, and a check
 * already released or never filled but zeroed, are left alone.
 */
PSENV_EXTERN(void) P_freecheck(P_filecheck *check);

/*
 * Words for a failure of P_checkfile with the errno value it handed out:
 * the system's text for that errno value ("Is a directory" for a
 * directory), "not a regular file" for another file that is not a regular
 * one, "Cannot allocate memory" and "Invalid argument" for P_FILE_NOMEM and
 * P_FILE_INVALID.  NULL for any other code.  The text is static or the
 * system's, valid until the next call here or of strerror.
 */
PSENV_EXTERN(const char *) P_checkfailure(int code, int error);

/*
 * `length` bytes of `text` with backslashes and control characters escaped
 * (\\, \n, \t, \r, \xNN), so that a name from a file cannot drive the
 * terminal it is shown on.  At most `size` - 1 bytes and a terminator are
 * stored in `buffer` (nothing when `size` is 0; `buffer` may then be NULL).
 * Result: the length of the whole escaped text, so that a result of `size`
 * or more means it was cut.
 */
PSENV_EXTERN(size_t) P_printable(const char *text, size_t length, char *buffer, size_t size);

/* ---- the guarded edit ----------------------------------------------------
 *
 * An edit of one parameter file:
 *
 *     P_edit *edit = NULL;
 *     int code = P_editbegin(path, 0, 10.0, &edit);
 *     if (code == 0) {
 *         ... P_read(tree, P_editfile(edit)), change the tree ...
 *         code = P_editsave(edit, tree);
 *     }
 *     if (code != 0 && edit != NULL)
 *         fprintf(stderr, "%s\n", P_editmessage(edit));
 *     P_editend(edit);
 *
 * The lock is a flock() of the file's directory: the save replaces the
 * file's inode while the directory stays, and the kernel drops the lock when
 * its holder dies.  Two editors of files in one directory take turns.
 *
 * The save is P_save's: the new file is written first as the temporary name
 * "<file><process id>" beside it and renamed over it, with the old file's
 * owner, group and mode.  The edit refuses to start, and to save, while
 * anything stands at that name, which the save would take.
 */
typedef struct P_edit P_edit;

/* Flag of P_editbegin: replace a read-only or hard-linked file, and one whose
   records repeat a name. */
#define P_EDIT_FORCE 0x1

/*
 * Begin an edit of the parameter file `path` (a symbolic link is followed;
 * the file it leads to is edited).  In order:
 *   1. the path is resolved; it must name a regular file;
 *   2. its name and path must leave room for the temporary name (up to ten
 *      digits of process id), and nothing may stand at the temporary name;
 *   3. unless P_EDIT_FORCE: the caller must be allowed to write it (root
 *      too: a file without any write bit is meant to stay), and it must have
 *      one name only;
 *   4. the directory is locked, waiting at most `waitSeconds` (0: one try;
 *      INFINITY: as long as it takes) for another editor; steps 1 to 3 are
 *      then taken again, since that editor may have changed the file;
 *   5. the file is checked with repeats (P_editcheck); a damaged file is
 *      refused, one that repeats a name unless P_EDIT_FORCE.
 *
 * `*edit` receives a handle whether the edit began or was refused (NULL only
 * with P_FILE_NOMEM, or P_FILE_INVALID for a NULL `path` or `edit`); the
 * caller releases it with P_editend.  After a refusal P_editmessage says why
 * in the words a user reads, and the lock is not held.
 *
 * Result: 0 the edit is open and the lock held; P_FILE_SYSTEM (resolving,
 * looking at the temporary name or locking failed), P_FILE_NOTREGULAR,
 * P_EDIT_NAMETOOLONG, P_EDIT_TEMPORARY, P_EDIT_READONLY, P_EDIT_HARDLINKED,
 * P_EDIT_BUSY, P_FILE_UNREADABLE (the check could not read the file),
 * P_EDIT_DAMAGED, P_EDIT_REPEATED; P_FILE_INVALID for a negative or NaN
 * wait; P_FILE_NOMEM.
 */
PSENV_EXTERN(int) P_editbegin(const char *path, int flags, double waitSeconds, P_edit **edit);

/* The file being edited (symbolic links resolved): what to load and what
   P_editsave writes.  Empty when the path could not be resolved. */
PSENV_EXTERN(const char *) P_editfile(const P_edit *edit);

/* The name P_editsave writes first ("<file><process id>"), for a caller
   that removes it when a signal ends the process in the middle of the save.
   Empty when the path could not be resolved. */
PSENV_EXTERN(const char *) P_edittemporary(const P_edit *edit);

/* The strict check of the file made by P_editbegin (with repeats), also
   when the edit went on despite repeats; empty lists when the file was not
   checked.  Owned by the handle. */
PSENV_EXTERN(const P_filecheck *) P_editcheck(const P_edit *edit);

/*
 * The last refusal or failure of P_editbegin, P_editready or P_editsave in
 * the words a user reads: the path as the caller gave it, what happened,
 * and, where the file stayed as it was, "; it was left unchanged".  NULL
 * when the last of them succeeded.  Owned by the handle, valid until its
 * next call.
 */
PSENV_EXTERN(const char *) P_editmessage(const P_edit *edit);

/* The errno value behind the last refusal or failure, or 0. */
PSENV_EXTERN(int) P_editerrno(const P_edit *edit);

/*
 * Whether the save may go ahead now: nothing stands at the temporary name.
 * P_editsave asks this itself; a caller that arms something around the save
 * (a signal handler that removes the temporary file) asks first, so that
 * nothing is armed to remove a file that is not the save's.
 * Result: 0; P_EDIT_TEMPORARY, P_FILE_SYSTEM; P_FILE_INVALID when `edit` is
 * NULL or not open.
 */
PSENV_EXTERN(int) P_editready(P_edit *edit);

/*
 * Save tree `tree` over the edited file with P_save (treekeep.h), after
 * P_editready.  The edit stays open.
 * Result: 0 saved; P_editready's refusals; otherwise P_save's code (P_NOTREE,
 * P_NOFILE, P_WRITE), with P_editerrno the errno value P_save left (0 when it
 * left none).  On any failure the file keeps its old content.
 */
PSENV_EXTERN(int) P_editsave(P_edit *edit, int tree);

/* End the edit: release the lock (if held) and the handle.  NULL is
   ignored. */
PSENV_EXTERN(void) P_editend(P_edit *edit);

#ifdef __cplusplus
}
#endif

#endif
