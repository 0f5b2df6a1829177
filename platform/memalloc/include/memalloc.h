/*
 * memalloc.h - the environment's memory allocator (stand-in).
 *
 * Blocks are either untagged or carry a tag, a short text naming the owner
 * (for example "1_CS" or "rnfd").  All blocks of one tag can be released in
 * one call.  Blocks stay valid until they are released.
 *
 * Not thread-safe: callers serialise their use, as the rest of the
 * environment does.
 */
#ifndef PSENV_MEMALLOC_H
#define PSENV_MEMALLOC_H

#include <stddef.h>

#include "psenv_extern.h"

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Allocate `size` bytes under `tag`.
 *
 * @param size  bytes wanted; 0 gives a valid, unique block.
 * @param tag   owner tag; NULL or "" allocates untagged.  The text is
 *              copied, the caller keeps its own.
 * @return      the block, aligned for any type, or NULL when memory runs out.
 */
PSENV_EXTERN(void *) allocateWithId(size_t size, const char *tag);

/*
 * Release every block allocated under `tag` that has not been released yet.
 * A NULL or unknown tag releases nothing.
 */
PSENV_EXTERN(void) releaseAllWithId(const char *tag);

/* Allocate an untagged block of `size` bytes; NULL when memory runs out. */
PSENV_EXTERN(void *) allocate(size_t size);

/*
 * Release one block, tagged or not.  NULL is accepted and ignored.  The block
 * must come from this allocator and must not have been released already.
 */
PSENV_EXTERN(void) release(void *block);

#ifdef __cplusplus
}
#endif

#endif
