/*
 * shims.h - shim sets, shim names and shim indices.
 *
 * A spectrometer's shim coils come in numbered shim sets (1 to MAX_SHIMSET);
 * each set offers a subset of 48 shims, each with a fixed index (0 to 47)
 * and a short name such as "z1" or "x2y2".  This module holds the name
 * tables and the table of which shims each set has, keeps the current shim
 * set, and maps indices to names and back.  Set 12 uses a name table of its
 * own ("x4" and "y4" at indices 14 and 15 instead of 44 and 45).
 *
 * State: the current set and the name table in use, process-global and
 * unsynchronised.  Until an initialiser runs, set 1 with the standard table
 * serves.  A current set outside 1 to MAX_SHIMSET (possible through
 * init_shimnames_by_setnum, and -1 after a bad tree index) makes every index
 * count as present, shimCount 0 and isRRI 0.
 *
 * Messages go to standard error.  Nothing here allocates.
 *
 * Compiles as C11 and as C++.
 */
#ifndef PSENV_SHIMS_H
#define PSENV_SHIMS_H

#include "psenv_extern.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Highest shim set number. */
#define MAX_SHIMSET 20

/* Number of shim indices, 0 to SHIM_INDEX_COUNT - 1. */
#define SHIM_INDEX_COUNT 48

/*
 * Make the set named by the real parameter "shimset" (first value) of tree
 * `tree` current, with the standard name table unless the set is 12.
 *
 * The value is rounded as (int)(value + 0.5), truncating toward zero; a sum
 * beyond the int32 range is clamped to it and NaN counts as 0.  A result of
 * 0 or less writes "Illegal shimset number: %d\n" and selects set 1; one
 * above MAX_SHIMSET writes "shimset number > MAX_SHIMSET (%d>%d)\n" and
 * selects set MAX_SHIMSET.  An unreadable "shimset" selects set 1 quietly.
 *
 * @param tree  4 (current experiment) or 0 (system); any other index makes
 *              the current set -1.
 * @return      the set now current, or -1 for a bad tree index.
 */
PSENV_EXTERN(int) init_shimnames(int tree);

/*
 * Make set `setnum` current as it is, without range check or message; the
 * name table is the one of set 12 for 12, else the standard one.
 */
PSENV_EXTERN(void) init_shimnames_by_setnum(int setnum);

/* 1 when the current set is 5, 11 or 16, else 0. */
PSENV_EXTERN(int) isRRI(void);

/* Number of shims of the current set; 0 outside 1 to MAX_SHIMSET. */
PSENV_EXTERN(int) shimCount(void);

/*
 * Name of shim `index` in the current set: a text owned by the module, valid
 * for the life of the process.  NULL when index > 47 (a negative int32 passed
 * here is such an index) or the shim is not in the set.
 */
PSENV_EXTERN(const char *) get_shimname(unsigned int index);

/*
 * Index of the shim named `name` (byte-wise, case-sensitive) in the current
 * set: the lowest index whose name equals `name` and that the set has.
 * -1 when there is none or `name` is NULL.
 */
PSENV_EXTERN(int) get_shimindex(const char *name);

#ifdef __cplusplus
}
#endif

#endif
