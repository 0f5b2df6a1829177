// Shared internals of the variable-tree stand-in: tree bookkeeping, shape
// operations and record disposal used across its source files.
#ifndef PSENV_VARTREE_INTERNAL_H
#define PSENV_VARTREE_INTERNAL_H

#include <cstddef>

#include "memalloc.h"
#include "memalloc_arena.h"
#include "vartree.h"

namespace vartree {

// Node counts of one tree.  Nodes carry no balance field, so the scapegoat
// rule works from these: `size` is the current count, `maxSize` the largest
// count since the tree was last rebuilt whole.
struct TreeStats {
    long size;
    long maxSize;
};

// Counts of the tree at `root`, made (zeroed) on first use.  An empty tree
// resets them, so a reused root link (a caller's local variable) starts
// afresh.  NULL only when memory runs out.
TreeStats *statsFor(SymbolNode **root);

// Counts of the tree at `root` when the component knows it, else NULL.
TreeStats *knownStats(SymbolNode **root);

// Drop the counts of a tree that became empty.
void forgetStats(SymbolNode **root);

// Every node of a tree, and every value of its records, comes from the
// tree's own arena; so a reset drops the arena instead of walking the tree.
// The arena of the tree at `root`, made on first use; NULL when memory runs
// out.
MemArena *arenaFor(SymbolNode **root);

// Take the arena of the tree at `root` away from it (NULL when it has none);
// the caller drops it.
MemArena *takeArena(SymbolNode **root);

// Drop the arena of an emptied tree when none of its blocks is live.
void dropArenaIfUnused(SymbolNode **root);

// A block for the lists of record `v`: from the arena of v's tree, or a
// plain block for a record that is not in any tree's arena.
inline void *blockFor(const varInfo *v, std::size_t size)
{
    if (MemArena *arena = memarena_owning(v))
        return memarena_allocate(arena, size);
    return allocate(size);
}

// Bumped on every change of any tree's shape; a remembered position in a
// tree is only trusted while this has not moved.
extern unsigned long shapeGeneration;

// strcmp() order.  Names are short, so a plain byte loop beats a call into
// the library routine on every level of a descent.
inline int compareNames(const char *a, const char *b)
{
    auto x = reinterpret_cast<const unsigned char *>(a);
    auto y = reinterpret_cast<const unsigned char *>(b);
    while (*x == *y && *x != 0) {
        ++x;
        ++y;
    }
    return static_cast<int>(*x) - static_cast<int>(*y);
}

// Number of nodes below `link` (inclusive); O(1) extra space.
long countNodes(SymbolNode *node);

// Rebuild the subtree at `link` with minimal height, in place, without
// recursion.  Returns its node count.  `expected`, when known, is the count
// it probably has, so that the scratch array is sized once.
long rebuildSubtree(SymbolNode **link, long expected = 0);

// After a fresh leaf went in too deep at the end of the path
// links[0..depth] (links[depth] holds the leaf): rebuild the lowest ancestor
// whose heavier side holds more than 2/3 of its nodes.  Returns that
// ancestor's index on the path and its node count in *size, or -1 when no
// ancestor is out of balance.
int rebuildScapegoat(SymbolNode **const *links, int depth, long *size);

// The same shape by rotations alone (no allocation); the fallback of
// rebuildSubtree(), kept callable so that both can be checked to agree.
long rebuildByVine(SymbolNode **link);

// Free a node's block together with its record's value lists.
void destroyNode(SymbolNode *node);

// Release both lists of `v` and leave them empty.
void emptyRecordLists(varInfo *v);

// Tail-cache maintenance for records and lists that go away.
void forgetRecord(const varInfo *v);
void forgetList(const ValueNode *head);
void forgetAllTails();

}  // namespace vartree

#endif
