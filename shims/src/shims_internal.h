/*
 * shims_internal.h - operations of the shim module that only the module
 * itself (and its tests) calls.
 */
#ifndef PSENV_SHIMS_INTERNAL_H
#define PSENV_SHIMS_INTERNAL_H

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Nonzero when shim `index` is in the current set.  Outside sets 1 to
 * MAX_SHIMSET every index counts as present; inside, an index outside 0 to
 * 47 is absent.
 */
int isactive(int index);

#ifdef __cplusplus
}
#endif

#endif
