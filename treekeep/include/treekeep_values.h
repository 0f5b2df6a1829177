/*
 * treekeep_values.h - the rules of a parameter's new values.
 *
 * What a program does to a parameter of a tree before it saves the tree to
 * a file, so that every program applies the same rules in the same words:
 *
 *   - the strict reading of a value text as a real;
 *   - the check of new values against an existing parameter: its kind,
 *     limits, step, enumeration, the longest string a file reads back, and
 *     its write protection;
 *   - the creation of a new parameter with its attributes, its values
 *     checked against them;
 *   - the assignment of the values;
 *   - whether two parameters are the same in every field a file holds;
 *   - the names a save would drop, and the texts of a refusal.
 *
 * Conventions
 *   - Results are the store's codes (treekeep.h: P_OK, P_UPPER, ...) or the
 *     negative codes below, which lie outside them.
 *   - A refusal comes with a short detail text ("5 > 4", "\"x\" is not a
 *     number") written into a buffer the caller owns and describes in a
 *     P_verdict; a program shows it as P_refusaltext forms it.
 *   - Value lists are arrays of `count` NUL-terminated texts, as a command
 *     line hands them over.
 *   - Not thread-safe: the trees are the store's process-wide state.
 *
 * Compiles as C11 and as C++.
 */
#ifndef PSENV_TREEKEEP_VALUES_H
#define PSENV_TREEKEEP_VALUES_H

#include <stddef.h>

#include "psenv_extern.h"

/* The tree component's record of a parameter (vartree.h). */
struct varInfo;

#ifdef __cplusplus
extern "C" {
#endif

/* ---- codes --------------------------------------------------------------- */

/* Answers of P_valuereal. */
#define P_REAL_NUMBER 0   /* a finite number in range */
#define P_REAL_UNUSABLE 1 /* reads as a number, but not as a usable one: nan, inf, 1e999 */
#define P_REAL_NONUMBER 2 /* no number at all */

#define P_VALUE_INVALID -121 /* a NULL argument, or a type that is neither T_REAL nor T_STRING */
#define P_VALUE_STRINGLIMITS -122 /* a new string parameter was given a minimum, maximum or
                                     step; the detail is the first value quoted, followed by
                                     " ..." when there are more */

/* ---- reading a value ----------------------------------------------------- */

/*
 * Read the whole of `text` as a real: decimal or hexadecimal as strtod reads
 * it, with no blank before or after it (a quoting slip is no number).
 * `value` (may be NULL) receives the number when the answer is
 * P_REAL_NUMBER.
 * Result: P_REAL_NUMBER, P_REAL_UNUSABLE (nan, inf, beyond the range of a
 * real: 1e999, 1e-999), P_REAL_NONUMBER (also for a NULL `text`).
 */
PSENV_EXTERN(int) P_valuereal(const char *text, double *value);

/* ---- checking and assigning ---------------------------------------------- */

/*
 * Where a refusal's detail goes, and what else the check found.  The caller
 * sets `detail` and `size` (NULL and 0 when no detail is wanted); the rest is
 * filled by the check.
 */
typedef struct P_verdict {
    char *detail;        /* the caller's buffer; at most size - 1 bytes and a NUL */
    size_t size;         /* bytes at `detail` */
    size_t length;       /* the length of the whole detail ("" when there is none);
                            `size` or more means it was cut */
    int limitsUnchecked; /* nonzero: the limits are positions in parmin/parmax that the
                            tree does not hold in full, and were not checked */
} P_verdict;

/*
 * Check the `count` texts at `values` as new values of the parameter `name`
 * of `tree`, the first rule broken deciding:
 *   1. write protection (protection bit 0x0001): P_PROT, no detail;
 *   2. for each value in turn:
 *      - a string parameter: at most P_LONGEST_STRING characters (P_STRLEN,
 *        "N characters, 1022 at most"), one of its enumeration when it has
 *        one (P_ENUM, "\"x\" is not one of \"a\" \"b\"");
 *      - a real parameter: a number by P_valuereal (P_TYPE, "\"x\" is not a
 *        number" or "\"nan\" is not a finite number in range"); at most max
 *        and at least min when max > min (P_UPPER "5 > 4", P_LOWER
 *        "-1 < 0"); a whole multiple of step when step > 0 (P_STEP, "0.25 is
 *        no multiple of 0.1"); one of its enumeration when it has one (P_ENUM,
 *        "3 is not one of 1 2").  Reals are judged to the 12 digits a file
 *        keeps.
 * Limits held as positions in parmin/parmax (P_PROT_LIMITS_INDIRECT) are
 * resolved from the arrays of `tree` itself: they are copied into the system
 * tree (VARTREE_SYSTEM), which is emptied first.  When they cannot be
 * resolved the limits are not checked and `verdict->limitsUnchecked` says so.
 * Texts are quoted in details as P_quoted quotes them, reals written with 12
 * significant digits.  `verdict` may be NULL.
 *
 * Result: P_OK when every value passes; the refusal's code; P_NOTREE,
 * P_NOVAR when the tree or the parameter is missing; P_VALUE_INVALID for a
 * NULL `name`, or NULL `values` with a count.
 */
PSENV_EXTERN(int) P_checkvalues(int tree, const char *name, const char *const *values,
                                size_t count, P_verdict *verdict);

/* Flags of P_newparam.given: which attributes a new parameter is given. */
#define P_NEW_MIN 0x1
#define P_NEW_MAX 0x2
#define P_NEW_STEP 0x4
#define P_NEW_GROUP 0x8
#define P_NEW_PROT 0x10

/* A new parameter's kind and attributes; those not given stay 0. */
typedef struct P_newparam {
    int type;  /* T_REAL or T_STRING */
    int given; /* P_NEW_ flags */
    double min, max, step;
    int group; /* 0 to 7 */
    int prot;  /* protection bits */
} P_newparam;

/*
 * Create the parameter `name` of `tree` as `attributes` describe it and
 * check the `count` texts at `values` against it (as P_checkvalues, without
 * the write protection it may have been given).  Refused before anything is
 * created:
 *   - a name beginning with '$' (never saved): P_BADNAME, "names beginning
 *     with $ are never saved";
 *   - a string parameter: a value longer than P_LONGEST_STRING (P_STRLEN);
 *     a minimum, maximum or step (P_VALUE_STRINGLIMITS).
 * The values are not assigned (P_assignvalues does that).  After a refusal
 * of its values, or a failure while its attributes were set, the parameter
 * stays in the tree as far as it was made.  `verdict` may be NULL.
 *
 * Result: P_OK; the refusals above and those of P_checkvalues; the codes of
 * P_creatvar, P_setlimits, P_setgroup and P_setprot (no detail);
 * P_VALUE_INVALID for a NULL `name` or `attributes`, NULL `values` with a
 * count, or a type other than T_REAL and T_STRING.
 */
PSENV_EXTERN(int) P_createparam(int tree, const char *name, const char *const *values,
                                size_t count, const P_newparam *attributes, P_verdict *verdict);

/*
 * Make the `count` texts at `values` the values of the parameter `name` of
 * `tree`: the first at index 0 (the list becomes exactly that value), the
 * others appended after it.  A real parameter's texts are read by
 * P_valuereal.  Nothing is checked but the kind: check first.
 * Result: P_OK; P_TYPE when a text of a real parameter is no usable number
 * (the values before it are assigned); the codes of P_setreal and
 * P_setstring; P_VALUE_INVALID for a NULL `name`, or NULL `values` with a
 * count.
 */
PSENV_EXTERN(int) P_assignvalues(int tree, const char *name, const char *const *values,
                                 size_t count);

/*
 * Whether the parameter `nameA` of `treeA` and `nameB` of `treeB` are the
 * same in every field a file holds but the name: type, values, enumeration,
 * min, max, step (two NaN count as equal), group, dgroup, subtype, active and
 * protection.  Two empty lists are equal whatever their kind.
 * Result: 1 the same, 0 different; P_NOTREE, P_NOVAR when a tree or a
 * parameter is missing; P_VALUE_INVALID for a NULL name.
 */
PSENV_EXTERN(int) P_sameparam(int treeA, const char *nameA, int treeB, const char *nameB);

/*
 * Call `each` with every parameter of `tree` in name order (strcmp): its
 * name and its record (the tree component's varInfo, to be read only);
 * `context` is handed on.  The walk keeps a stack of its own, so it serves a
 * tree of any depth.  `each` must not add or remove parameters of `tree`.
 * Result: the number of parameters walked; P_NOTREE when the tree is
 * missing; P_VALUE_INVALID for a NULL `each`; P_MALLOC when the walk ran out
 * of memory (`each` may have been called for some parameters then).
 */
PSENV_EXTERN(int) P_eachparam(int tree,
                              void (*each)(const char *name, const struct varInfo *record,
                                           void *context),
                              void *context);

/*
 * Call `each` with every name of `tree` that a save never writes to a file
 * (it begins with '$', or the tree component refuses it as a name), in name
 * order (strcmp); `context` is handed on.  `each` may be NULL to count only.
 * Result: the number of such names (0: the save keeps every parameter);
 * P_NOTREE when the tree is missing; P_MALLOC when the walk ran out of
 * memory.
 */
PSENV_EXTERN(int) P_unsavable(int tree, void (*each)(const char *name, void *context),
                              void *context);

/* ---- texts --------------------------------------------------------------- */

/*
 * `length` bytes of `text` between double quotes, with backslash, double
 * quote and control characters escaped (\\, \", \n, \t, \r, \xNN), so that
 * a value stays on one line.  At most `size` - 1 bytes and a terminator are
 * stored in `buffer` (nothing when `size` is 0; `buffer` may then be NULL).
 * Result: the length of the whole quoted text; `size` or more means it was
 * cut.
 */
PSENV_EXTERN(size_t) P_quoted(const char *text, size_t length, char *buffer, size_t size);

/*
 * The text of a refusal: "NAME: <the store's words for code>", the name
 * escaped as P_printable (treekeep_files.h) escapes it, the words' trailing
 * blank dropped, and " (detail)" when `detail` is neither NULL nor empty:
 * "tpwr: Value exceeds upper limit (5 > 4)".  `name` NULL counts as empty.
 * Stored in `buffer` as P_quoted stores.
 * Result: the length of the whole text.
 */
PSENV_EXTERN(size_t) P_refusaltext(int code, const char *name, const char *detail, char *buffer,
                                   size_t size);

#ifdef __cplusplus
}
#endif

#endif
