// Headers of the allocator stand-in's blocks.  Every block, whatever its
// origin, has its kind in the 8 bytes right before it, so that release() can
// tell a plain or tagged block from an arena block.
#ifndef PSENV_MEMALLOC_BLOCK_HEADER_H
#define PSENV_MEMALLOC_BLOCK_HEADER_H

#include <cstddef>
#include <cstdint>
#include <cstring>

struct MemArena;

namespace memalloc {

enum class Kind : std::uint32_t {
    Plain = 0x6d610001,  // untagged, from malloc
    Tagged,              // tagged, from malloc
    ArenaSmall,          // carved from an arena chunk
    ArenaLarge,          // an arena's block too large for its chunks, from malloc
};

struct BlockHeader;

// The blocks of one tag, or an arena's large blocks.
struct TagList {
    BlockHeader *first = nullptr;
    std::size_t live = 0;
    MemArena *arena = nullptr;  // set for an arena's list of large blocks
};

// Header of a malloc'd block: linked into its list when it has one.
struct alignas(std::max_align_t) BlockHeader {
    BlockHeader *prev;
    BlockHeader *next;
    TagList *owner;
    Kind kind;
    std::uint32_t unused;
};
static_assert(sizeof(BlockHeader) == 32);

inline Kind kindOf(const void *block)
{
    Kind kind;
    std::memcpy(&kind, static_cast<const char *>(block) - 8, sizeof kind);
    return kind;
}

// Untagged blocks live, arena blocks included.
extern std::size_t untaggedLive;

// Counts down the fail-nth switch; true when this allocation is to fail.
bool injectedFailure();

void linkInto(TagList &list, BlockHeader *h);
void unlinkFrom(TagList &list, BlockHeader *h);

// Arena side of release().
void releaseArenaSmall(void *block);
void releaseArenaLarge(BlockHeader *h);

}  // namespace memalloc

#endif
