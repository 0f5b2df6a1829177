/*
 * treekeep.h - the parameter store.
 *
 * Typed access to named, multi-valued parameters held in the trees of the
 * variable-tree component (vartree.h): values and enumeration entries by
 * 1-based index, descriptive fields, limits and protection.
 *
 * Conventions
 *   - Every operation (but P_getval) names its parameter by a tree index and
 *     a name, looks both up afresh and works on the record in place.
 *   - Results are 0 on success and one of the negative P_ codes below on
 *     failure, unless a function says otherwise.  Operations only return
 *     codes; callers word them with P_err().
 *   - Texts are NUL-terminated; a caller receiving a text supplies the buffer.
 *   - Nothing here is thread-safe; callers serialise their use of a tree.
 *
 * Compiles as C11 and as C++.
 */
#ifndef PSENV_TREEKEEP_H
#define PSENV_TREEKEEP_H

#include <stdint.h>
#include <stdio.h>

#include "vartree.h"

#include "psenv_extern.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- codes -------------------------------------------------------------- */

#define P_OK 0
#define P_NOTREE -1    /* "Tree doesn't exist" */
#define P_NOVAR -2     /* "Variable doesn't exist" */
#define P_UPPER -3     /* "Value exceeds upper limit" */
#define P_LOWER -4     /* "Value exceeds lower limit" */
#define P_STEP -5      /* "Value violates step size" */
#define P_ENUM -6      /* "Value violates enum type" */
#define P_PROT -7      /* "Variable is write protected" */
#define P_MALLOC -8    /* "Malloc error (couldn't get any memory) " */
#define P_INDEX -9     /* "Index out-of-bounds" */
#define P_TYPE -10     /* "Wrong type " */
#define P_STRLEN -11   /* "String larger than max length" */
#define P_ENUMADJ -12  /* "Real variable value adjusted to nearest enumeral" */
#define P_ENUMSTR -13  /* "String Enumeral value not matched" */
#define P_NOFILE -14   /* "No such file" */
#define P_EOF -15      /* "Premature EOF (ran out of file)" */
#define P_ERRNUM -16   /* "Error number out of range" */
#define P_GROUP -17    /* "Invalid group" */
#define P_BADNAME -18  /* "Bad filename " */
#define P_WRITE -19    /* "error writing file" */
#define P_NOVALUE -99  /* no value node at the index, or assignment refused */

/* Protection bits the store acts on; all others are stored unchanged. */
#define P_PROT_LIMITS_INDIRECT 0x2000 /* min/max are positions in parmin/parmax */
#define P_PROT_SELECTIVE 0x4000       /* taken by the selective transfer */
#define P_PROT_UNSHARED 0x8000        /* written by P_saveUnsharedGlobal */

/* Longest prefix and message P_err emits; longer ones are cut. */
#define P_ERR_PREFIX_MAX 127
#define P_ERR_MESSAGE_MAX 157

/*
 * Word `code` as one message and hand it to Werrprintf (errsink.h): the
 * prefix `first` immediately followed by `second` (NULL counts as ""), then
 * the code's text.  Codes -1..-19 have their own text; any other code gives
 * "<prefix>Udefined error number <code>".  The prefix is cut to 127 and the
 * message to 157 characters.  The message is emitted verbatim: a '%' in a
 * name is not expanded.
 */
PSENV_EXTERN(void) P_err(int code, const char *first, const char *second);

/* ---- the caller's copy of a record's description ------------------------ */

typedef struct vInfo {
    short active;
    short dgroup;
    short group;
    short type;       /* type of the value list (not enumType) */
    short size;
    short subtype;
    short enumCount;
    int prot;
    double min;
    double max;
    double step;
} vInfo;

/* ---- value access --------------------------------------------------------
 *
 * Common results: -1 the tree is missing, -2 the parameter is missing.
 * Indexed getters: -9 when `index` is below 1 or above the list's count
 * (output untouched); -99 when the list is shorter than its count (a real
 * getter stores 0.0, a string getter an empty text).  The real getters and
 * P_Egetstring give -5 on a list of the other kind, output untouched.
 */

/* The index-th value of the value list into *value. */
PSENV_EXTERN(int) P_getreal(int tree, const char *name, double *value, int index);

/* The index-th entry of the enumeration list into *value. */
PSENV_EXTERN(int) P_Egetreal(int tree, const char *name, double *value, int index);

/*
 * The index-th text of a string parameter into `buf`, which must hold
 * `maxlen` bytes (a `maxlen` below 1 counts as 1).  At most maxlen-1
 * characters are delivered, the rest of the maxlen bytes zero-filled, and the
 * text is always terminated.  -5 when the parameter is not a string one.
 */
PSENV_EXTERN(int) P_getstring(int tree, const char *name, char *buf, int index, int maxlen);

/* The same on the enumeration list. */
PSENV_EXTERN(int) P_Egetstring(int tree, const char *name, char *buf, int index, int maxlen);

/*
 * First value of `name` from tree 1; only when the name is missing there,
 * from tree 0.  0.0 when neither call stored a value.
 */
PSENV_EXTERN(double) P_getval(const char *name);

/*
 * Number of values; also stored through `size` unless it is NULL.  Returns
 * the field itself, so a failure reads like a size of -1 or -2.
 */
PSENV_EXTERN(int) P_getsize(int tree, const char *name, int *size);

/* The `subtype` field, or -1/-2. */
PSENV_EXTERN(int) P_getsubtype(int tree, const char *name);

/* The `active` field, or -1/-2. */
PSENV_EXTERN(int) P_getactive(int tree, const char *name);

/* Field setters: store `value` (truncated to 16 bits except for prot). */
PSENV_EXTERN(int) P_setactive(int tree, const char *name, int value);
PSENV_EXTERN(int) P_setprot(int tree, const char *name, int value);
PSENV_EXTERN(int) P_setdgroup(int tree, const char *name, int value);
PSENV_EXTERN(int) P_setgroup(int tree, const char *name, int value);

/* Store the three limits unchecked.  Note the order: max, min, step. */
PSENV_EXTERN(int) P_setlimits(int tree, const char *name, double max, double min, double step);

/*
 * Assign a value (P_setreal, P_setstring) or an enumeration entry
 * (P_Esetreal, P_Esetstring) through the component's assignment: index 0
 * makes the list exactly this value, 1..count replaces, count+1 appends.
 * -99 when the assignment is refused.
 */
PSENV_EXTERN(int) P_setreal(int tree, const char *name, double value, int index);
PSENV_EXTERN(int) P_setstring(int tree, const char *name, const char *value, int index);
PSENV_EXTERN(int) P_Esetreal(int tree, const char *name, double value, int index);
PSENV_EXTERN(int) P_Esetstring(int tree, const char *name, const char *value, int index);

/* Clear *info, then copy the record's description into it. */
PSENV_EXTERN(int) P_getVarInfo(int tree, const char *name, vInfo *info);

/*
 * The lower (upper) limit.  With P_PROT_LIMITS_INDIRECT set, the record's
 * min (max) holds a position in "parmin" ("parmax") of tree 4: the value at
 * position trunc(min + 0.1) is delivered, or that lookup's code returned with
 * the output untouched.
 */
PSENV_EXTERN(int) P_getmin(int tree, const char *name, double *min);
PSENV_EXTERN(int) P_getmax(int tree, const char *name, double *max);

/*
 * First value into *value and, unless `active` is NULL, the record's active
 * flag into *active.  Returns 0, or 1 (not a code) when the value cannot be
 * read (nothing reported) or the description cannot (reported with P_err
 * and the prefix "info?" + name).
 */
PSENV_EXTERN(int) P_getparinfo(int tree, const char *name, double *value, int *active);

/* Address of the record as an integer; -1 when the tree or name is missing. */
PSENV_EXTERN(intptr_t) P_getVarInfoAddr(int tree, const char *name);

/* ---- parameter files: loading --------------------------------------------
 *
 * A parameter file holds the records of one tree as text: per record a
 * header line (name, subtype, type, max, min, step, group, dgroup, prot,
 * active, trailer), the value count and values, the enumeration count and
 * entries.  Strings are quoted; a backslash escapes the next character.
 *
 * Loader messages go to Werrprintf (errsink.h) with the loader's own prefix.
 * Loading is not transactional: records read before an error stay.  Bad
 * input (a name longer than 255 bytes, a token that is not a number where a
 * count or a real belongs, an unknown type code, a file ending inside a
 * string list, a stream that cannot be read) stops the load with a message;
 * it never overflows a buffer.  A string of 1023 characters or more is cut
 * to 1023 with a message and reading goes on after its closing quote.
 */

/*
 * Full load of the file at `path` into tree `tree`: every record replaces or
 * creates the parameter of its name; the tree is rebalanced afterwards.
 * 0 when the file was opened and read (also when reading stopped on a
 * reported error); P_NOTREE; P_NOFILE when the file cannot be opened (an
 * interrupted open is retried).
 */
PSENV_EXTERN(int) P_read(int tree, const char *path);

/*
 * Selective transfer from `path` into `tree`.  A parameter whose own
 * protection carries P_PROT_SELECTIVE is never overwritten; otherwise a
 * record is loaded when its protection in the file carries that bit or when
 * `loadAll` is nonzero (creating the parameter if needed).  With `clearBit`
 * nonzero the bit is cleared in what is stored.  The tree is not rebalanced.
 * 0 when the file was read to its end and closed; P_NOTREE; P_NOFILE;
 * P_WRITE when a parameter could not be created, a record had an unknown
 * type, the file ended inside a string list or held a malformed number, or
 * closing the file failed.
 */
PSENV_EXTERN(int) P_rtx(int tree, const char *path, int loadAll, int clearBit);

/*
 * The names of the records of the file at `path`, in file order, separated
 * by single blanks, as one text stored through `names` (NULL for a file
 * without records or after a reported error).  The text comes from the tree
 * component's string helpers under VARTREE_NAME_TAG; the caller owns it.
 * 0, or P_NOFILE with `names` untouched.
 */
PSENV_EXTERN(int) P_readnames(const char *path, char **names);

/* 1 when tree `tree` holds no parameter, 0 when it holds one, P_NOTREE. */
PSENV_EXTERN(int) P_testread(int tree);

/*
 * The record readers behind the loaders, on a stream the caller opened and
 * closes: full load, values of existing parameters of the same type only,
 * and new parameters only.  -1 when the end of the file was reached, 0 when
 * reading stopped after a reported error.  None of them rebalances.
 */
PSENV_EXTERN(int) readfromdisk(SymbolNode **root, FILE *stream);
PSENV_EXTERN(int) readvaluesfromdisk(SymbolNode **root, FILE *stream);
PSENV_EXTERN(int) readNewVarsfromdisk(SymbolNode **root, FILE *stream);

/* ---- parameter files: saving ---------------------------------------------
 *
 * Saves write the tree in pre-order into "<path><pid>" (the path followed
 * by getpid() in decimal; paths have no length bound), flush and sync it,
 * and rename it over `path`, so the target is always either the old or the
 * complete new file, even when the process is killed mid-save.  The target
 * is never removed first.  Names beginning with '$' and names goodName()
 * refuses are never written.  Nothing is reported; callers word codes with
 * P_err.
 *
 * Backslashes and double quotes inside strings (values and enumeration
 * entries) are written escaped with a backslash.  A record whose enumeration
 * entries are of the other kind than its type's layout (texts in a real
 * record, reals in a string record) is written with an empty enumeration,
 * since the file has no form for it.
 */

/*
 * Save tree `tree` to `path`.  0; P_NOTREE (nothing touched); P_NOFILE when
 * `path` is NULL or empty or the temporary file cannot be created (target
 * unchanged); P_WRITE when writing, flushing, syncing, closing or renaming
 * failed (temporary removed, target unchanged).
 *
 * The temporary file is created exclusively (mode 0666 before the umask).
 * Caveat: the name "<path><pid>" belongs to the save.  Whatever stands
 * there when the save starts is removed (a file, or a symbolic link itself,
 * never what it points to) and the creation tried once more; a user's file
 * that happens to carry that name (a numbered "exp4321" beside "exp" when
 * the caller is process 4321) is lost.  Callers that save files they do
 * not own the naming of should look for that name first.  When the name
 * cannot be freed (a directory stands there) or the second creation fails,
 * the result is P_NOFILE, as it is when the file name of `path` is too
 * long for the file system once the process id is appended.
 *
 * A regular file at `path` hands its owner, group and permission bits to
 * the new file; when they cannot be kept the save fails with P_WRITE,
 * target unchanged.  A symbolic link at `path` is replaced by the new file
 * (the file it pointed to is not touched), which is made as where nothing
 * stood.  Anything else at `path` (a directory, a FIFO, a device) gives
 * P_WRITE with nothing touched.
 *
 * A process killed mid-save leaves its temporary file behind; the next
 * save by a process of the same id removes it.
 */
PSENV_EXTERN(int) P_save(int tree, const char *path);

/* The same for the parameters of tree "global" with P_PROT_UNSHARED set. */
PSENV_EXTERN(int) P_saveUnsharedGlobal(const char *path);

/* Write every savable record below `root` in pre-order to an open stream;
 * 0 (also for a NULL or empty root) or P_WRITE at the first failing write. */
PSENV_EXTERN(int) copytodisk(SymbolNode **root, FILE *stream);

/* ---- tree management ------------------------------------------------------
 *
 * Two-tree operations look the source tree up first.  Copying a parameter
 * onto itself changes nothing and gives 0.  A copy keeps each list's own
 * kind (values by `type`, enumeration entries by `enumType`) and the
 * source's type codes.  Nothing is reported.  The walks keep their own
 * stack, so any tree depth is safe.
 */

/* Remove every parameter of `tree`.  0 or P_NOTREE. */
PSENV_EXTERN(int) P_treereset(int tree);

/* Create (or empty and retype) `name` in `tree`.  0, P_NOTREE, P_BADNAME
 * when goodName() refuses the name, P_MALLOC when the record cannot be made. */
PSENV_EXTERN(int) P_creatvar(int tree, const char *name, int type);

/* Copy `fromName` of `fromTree` as `toName` into `toTree`: fields, values
 * and enumeration.  0, P_NOTREE, P_NOVAR, P_BADNAME (goodName() refuses
 * `toName`) / P_MALLOC when the destination record cannot be made (nothing
 * changes); P_MALLOC also when a value could not be stored. */
PSENV_EXTERN(int) P_copyvar(int fromTree, int toTree, const char *fromName, const char *toName);

/* Copy every parameter of group `group` (not validated).  0 at once when the
 * tree indices are equal (no lookup); P_NOTREE; P_MALLOC when memory ran
 * out (the other parameters are still copied). */
PSENV_EXTERN(int) P_copygroup(int fromTree, int toTree, int group);

/* Copy every parameter of `fromTree` into `toTree`.  0, P_NOTREE, or
 * P_MALLOC as for P_copygroup. */
PSENV_EXTERN(int) P_copy(int fromTree, int toTree);

/* Remove value `index` (1..size) of `name`.  0, P_NOTREE, P_NOVAR, P_INDEX
 * when the index is out of range or its node is missing (nothing changes). */
PSENV_EXTERN(int) P_deleteVarIndex(int tree, const char *name, int index);

/* Remove `name` from `tree`.  0, P_NOTREE, P_NOVAR. */
PSENV_EXTERN(int) P_deleteVar(int tree, const char *name);

/* Remove every parameter of group `group`, then rebalance.  0, P_NOTREE,
 * P_GROUP when goodGroupIndex() refuses the group. */
PSENV_EXTERN(int) P_deleteGroupVar(int tree, int group);

/* Remove from `tree` every parameter that `refTree` lacks, then rebalance.
 * 0 or P_NOTREE. */
PSENV_EXTERN(int) P_pruneTree(int tree, int refTree);

/*
 * The names of `tree` in pre-order, each preceded by one blank, into `buf`
 * ("" for an empty tree).  The output is not bounded: `buf` must hold one
 * blank plus the name for every named node, and the terminator.  0 or
 * P_NOTREE; a NULL `buf` receives nothing.
 */
PSENV_EXTERN(int) P_listnames(int tree, char *buf);

#ifdef __cplusplus
}
#endif

#endif
