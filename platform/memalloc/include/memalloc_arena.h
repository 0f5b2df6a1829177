/*
 * memalloc_arena.h - arenas of the allocator stand-in.
 *
 * An arena hands out untagged blocks carved one after another from large
 * chunks, so that the blocks of one owner (a variable tree) sit together in
 * memory and can all be returned in one call.  Its blocks are ordinary
 * blocks for everyone else: release() takes them one by one (the space goes
 * to the arena's free lists and is reused by its next allocations of that
 * size), memalloc_fail_nth() counts their allocations and
 * memalloc_live_blocks(NULL) counts them among the untagged blocks.
 *
 * Not thread-safe, like the rest of the allocator.
 */
#ifndef PSENV_MEMALLOC_ARENA_H
#define PSENV_MEMALLOC_ARENA_H

#include <stddef.h>

#include "psenv_extern.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct MemArena MemArena;

/* A new, empty arena; NULL when memory runs out. */
PSENV_EXTERN(MemArena *) memarena_create(void);

/*
 * `size` bytes from `arena`, aligned for any type; NULL when memory runs out.
 * Release it with release() or with the whole arena.
 */
PSENV_EXTERN(void *) memarena_allocate(MemArena *arena, size_t size);

/*
 * As memarena_allocate(), but carved from a second run of the arena's
 * chunks: the blocks asked for this way sit next to one another instead of
 * between the arena's other blocks, so that a walk over them (the nodes of a
 * tree, say) reads memory in long runs.  A released block of either kind may
 * be reused by both.
 */
PSENV_EXTERN(void *) memarena_allocate_packed(MemArena *arena, size_t size);

/*
 * Release every block of `arena` still live and the arena itself.  Its
 * chunks are kept for later arenas, all but a few of them marked as free to
 * the system, which takes their pages back whenever it needs memory: the
 * memory held never exceeds the most ever in use at once.  NULL is accepted
 * and ignored.
 */
PSENV_EXTERN(void) memarena_drop(MemArena *arena);

/* The arena whose memory holds `address`, or NULL when no arena's does. */
PSENV_EXTERN(MemArena *) memarena_owning(const void *address);

/* Number of blocks of `arena` not released yet. */
PSENV_EXTERN(size_t) memarena_live_blocks(const MemArena *arena);

/* Bytes the arena holds from the system (its chunks and large blocks). */
PSENV_EXTERN(size_t) memarena_reserved_bytes(const MemArena *arena);

#ifdef __cplusplus
}
#endif

#endif
