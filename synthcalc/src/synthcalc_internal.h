/*
 * synthcalc_internal.h - operations of the lock-frequency module that only
 * the module itself (and its tests) calls.  C linkage like the rest.
 */
#ifndef PSENV_SYNTHCALC_INTERNAL_H
#define PSENV_SYNTHCALC_INTERNAL_H

#ifdef __cplusplus
extern "C" {
#endif

/* Size of the console text buffer getconsoletype allocates. */
#define SYNTHCALC_CONSOLE_SIZE 256

/*
 * The console type: a buffer of SYNTHCALC_CONSOLE_SIZE bytes from allocate()
 * (memalloc.h) holding the first value of "Console" (at most 254 characters)
 * from tree 4 or, when that read fails, from tree 0.  The caller releases it
 * with release().  NULL when the allocation fails or neither tree yields the
 * text (nothing is left allocated then).
 */
char *getconsoletype(void);


#ifdef __cplusplus
}

#include <optional>
#include <string>

namespace synthcalc {

// systemdir + LOCKFREQTAB_SUFFIX, or nothing when systemdir is longer than
// LOCKFREQTAB_SYSTEMDIR_MAX (the table path would not fit its 256 bytes).
std::optional<std::string> table_path();

}  // namespace synthcalc
#endif

#endif
