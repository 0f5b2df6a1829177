/*
 * memalloc_testing.h - test switches of the allocator stand-in.
 */
#ifndef PSENV_MEMALLOC_TESTING_H
#define PSENV_MEMALLOC_TESTING_H

#include <stddef.h>

#include "psenv_extern.h"

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Make the n-th allocation from now (1 = the next one) fail with NULL.
 * 0 switches failure injection off.  Counts allocate() and allocateWithId().
 */
PSENV_EXTERN(void) memalloc_fail_nth(long n);

/* Number of blocks currently live under `tag` (NULL: untagged blocks). */
PSENV_EXTERN(size_t) memalloc_live_blocks(const char *tag);

#ifdef __cplusplus
}
#endif

#endif
