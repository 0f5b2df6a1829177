// Arenas: blocks carved in order from 256 KiB chunks aligned to their size,
// so the chunk (and through it the arena) of any block is found by masking
// its address.  Released blocks go to per-size free lists of their arena;
// dropping the arena returns its chunks to the system at once.
#include "memalloc.h"
#include "memalloc_arena.h"

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <unordered_map>
#include <vector>

#include "block_header.h"

#if defined(__SANITIZE_ADDRESS__)
#define PSENV_ARENA_POISON 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PSENV_ARENA_POISON 1
#endif
#endif

#ifdef PSENV_ARENA_POISON
#include <sanitizer/asan_interface.h>
#define POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define POISON(address, size) ((void)(address), (void)(size))
#define UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace memalloc {
namespace {

constexpr std::size_t kChunkBytes = std::size_t{1} << 21;
constexpr std::size_t kGrain = 16;
// Blocks up to this size (header included) are carved from chunks; larger
// ones come from malloc and are listed in the arena.
constexpr std::size_t kLargestCarved = 2048;
constexpr std::size_t kClasses = kLargestCarved / kGrain + 1;
// Chunks of dropped arenas are kept for the next ones: a fresh mapping costs
// a page fault per page on first use, which would take a fifth of a large
// load.  Up to 32 MiB of them stay as they are; the system may take back the
// pages of the others whenever it needs them (MADV_FREE), and while it has
// not, reusing them costs nothing.  So the spare pool never exceeds the
// largest number of chunks in use at once.
constexpr std::size_t kWarmSpares = (std::size_t{32} << 20) / kChunkBytes;

// Header of a carved block; its kind sits right before the block like every
// other header's.
struct alignas(kGrain) SmallHeader {
    std::uint32_t sizeClass;
    std::uint32_t unused;
    Kind kind;
    std::uint32_t unused2;
};
static_assert(sizeof(SmallHeader) == 16);

struct FreeBlock {
    FreeBlock *next;
};

struct alignas(64) Chunk {
    MemArena *arena;
    Chunk *next;
};

}  // namespace
}  // namespace memalloc

// Where the next carved block of one lane comes from.
struct ArenaLane {
    char *cursor = nullptr;
    char *limit = nullptr;
};

struct MemArena {
    memalloc::Chunk *chunks = nullptr;
    ArenaLane lanes[2];  // ordinary blocks, packed blocks
    memalloc::FreeBlock *free[memalloc::kClasses] = {};
    memalloc::TagList large;
    std::size_t live = 0;
    std::size_t reserved = 0;
};

namespace memalloc {
namespace {

std::uintptr_t chunkBase(const void *address)
{
    return reinterpret_cast<std::uintptr_t>(address) & ~(kChunkBytes - 1);
}

// Chunks in use, by base address.  The last answer is kept: look-ups come in
// runs for the same chunk.
struct Registry {
    std::unordered_map<std::uintptr_t, MemArena *> owners;
    std::uintptr_t lastBase = 0;
    MemArena *lastArena = nullptr;
};

Registry &registry()
{
    static auto *instance = new Registry;
    return *instance;
}

std::vector<Chunk *> &spares()
{
    static auto *kept = new std::vector<Chunk *>;
    return *kept;
}

Chunk *mapChunk()
{
    // Twice the size, then the unaligned ends are given back.
    void *raw = mmap(nullptr, 2 * kChunkBytes, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kChunkBytes - 1) & ~(kChunkBytes - 1);
    if (aligned > start)
        munmap(raw, aligned - start);
    const std::uintptr_t end = start + 2 * kChunkBytes;
    if (end > aligned + kChunkBytes)
        munmap(reinterpret_cast<void *>(aligned + kChunkBytes), end - aligned - kChunkBytes);
    // One large page per chunk where the system offers them: a descent
    // through a big tree then misses the address cache far less often.
    madvise(reinterpret_cast<void *>(aligned), kChunkBytes, MADV_HUGEPAGE);
    return reinterpret_cast<Chunk *>(aligned);
}

bool addChunk(MemArena *arena, ArenaLane &lane)
{
    Chunk *chunk = nullptr;
    if (!spares().empty()) {
        chunk = spares().back();
        spares().pop_back();
    } else {
        chunk = mapChunk();
        if (chunk == nullptr)
            return false;
    }
    try {
        registry().owners[reinterpret_cast<std::uintptr_t>(chunk)] = arena;
    } catch (const std::bad_alloc &) {
        spares().push_back(chunk);  // capacity for it was there before
        return false;
    }
    UNPOISON(chunk, sizeof(Chunk));
    chunk->arena = arena;
    chunk->next = arena->chunks;
    arena->chunks = chunk;
    lane.cursor = reinterpret_cast<char *>(chunk + 1);
    lane.limit = reinterpret_cast<char *>(chunk) + kChunkBytes;
    arena->reserved += kChunkBytes;
    POISON(lane.cursor, static_cast<std::size_t>(lane.limit - lane.cursor));
    return true;
}

void returnChunk(Chunk *chunk)
{
    Registry &r = registry();
    const auto base = reinterpret_cast<std::uintptr_t>(chunk);
    r.owners.erase(base);
    if (r.lastBase == base) {
        r.lastBase = 0;
        r.lastArena = nullptr;
    }
    auto &kept = spares();
    try {
        kept.push_back(chunk);
    } catch (const std::bad_alloc &) {
        UNPOISON(chunk, kChunkBytes);
        munmap(chunk, kChunkBytes);
        return;
    }
    // A block used after its tree was reset is caught under the sanitizer.
    POISON(chunk, kChunkBytes);
    if (kept.size() > kWarmSpares)
        madvise(chunk, kChunkBytes, MADV_FREE);
}

void *allocateLarge(MemArena *arena, std::size_t size)
{
    if (size > SIZE_MAX - sizeof(BlockHeader))
        return nullptr;
    auto *h = static_cast<BlockHeader *>(std::malloc(sizeof(BlockHeader) + size));
    if (h == nullptr)
        return nullptr;
    h->owner = &arena->large;
    h->kind = Kind::ArenaLarge;
    h->unused = 0;
    linkInto(arena->large, h);
    arena->reserved += size;
    return h + 1;
}

}  // namespace

void releaseArenaSmall(void *block)
{
    auto *h = static_cast<SmallHeader *>(block) - 1;
    const std::uintptr_t base = chunkBase(h);
    MemArena *arena = reinterpret_cast<Chunk *>(base)->arena;
    const std::uint32_t sizeClass = h->sizeClass;
    POISON(block, sizeClass * kGrain - sizeof(SmallHeader));
    UNPOISON(block, sizeof(FreeBlock));
    auto *freed = static_cast<FreeBlock *>(block);
    freed->next = arena->free[sizeClass];
    arena->free[sizeClass] = freed;
    --arena->live;
    --untaggedLive;
}

void releaseArenaLarge(BlockHeader *h)
{
    MemArena *arena = h->owner->arena;
    unlinkFrom(*h->owner, h);
    --arena->live;
    --untaggedLive;
    std::free(h);
}

}  // namespace memalloc

using namespace memalloc;

extern "C" MemArena *memarena_create(void)
{
    auto *arena = new (std::nothrow) MemArena;
    if (arena != nullptr)
        arena->large.arena = arena;
    return arena;
}

namespace {

void *allocateIn(MemArena *arena, std::size_t size, ArenaLane &lane)
{
    if (injectedFailure())
        return nullptr;
    void *block = nullptr;
    if (size > kLargestCarved - sizeof(SmallHeader)) {
        block = allocateLarge(arena, size);
    } else {
        // At least room for the free-list link.
        const std::size_t body = size < sizeof(FreeBlock) ? sizeof(FreeBlock) : size;
        const std::size_t sizeClass = (sizeof(SmallHeader) + body + kGrain - 1) / kGrain;
        SmallHeader *h = nullptr;
        if (FreeBlock *reused = arena->free[sizeClass]) {
            arena->free[sizeClass] = reused->next;
            h = reinterpret_cast<SmallHeader *>(reused) - 1;
        } else {
            const std::size_t bytes = sizeClass * kGrain;
            if (static_cast<std::size_t>(lane.limit - lane.cursor) < bytes &&
                !addChunk(arena, lane))
                return nullptr;
            h = reinterpret_cast<SmallHeader *>(lane.cursor);
            lane.cursor += bytes;
            UNPOISON(h, sizeof(SmallHeader));
            h->sizeClass = static_cast<std::uint32_t>(sizeClass);
            h->kind = Kind::ArenaSmall;
            h->unused = h->unused2 = 0;
        }
        block = h + 1;
        UNPOISON(block, size);
    }
    if (block != nullptr) {
        ++arena->live;
        ++untaggedLive;
    }
    return block;
}

}  // namespace

extern "C" void *memarena_allocate(MemArena *arena, size_t size)
{
    return arena == nullptr ? nullptr : allocateIn(arena, size, arena->lanes[0]);
}

extern "C" void *memarena_allocate_packed(MemArena *arena, size_t size)
{
    return arena == nullptr ? nullptr : allocateIn(arena, size, arena->lanes[1]);
}

extern "C" void memarena_drop(MemArena *arena)
{
    if (arena == nullptr)
        return;
    for (BlockHeader *h = arena->large.first; h != nullptr;) {
        BlockHeader *next = h->next;
        std::free(h);
        h = next;
    }
    for (Chunk *chunk = arena->chunks; chunk != nullptr;) {
        Chunk *next = chunk->next;
        returnChunk(chunk);
        chunk = next;
    }
    untaggedLive -= arena->live;
    delete arena;
}

extern "C" MemArena *memarena_owning(const void *address)
{
    if (address == nullptr)
        return nullptr;
    Registry &r = registry();
    const std::uintptr_t base = chunkBase(address);
    if (base == r.lastBase)
        return r.lastArena;
    auto found = r.owners.find(base);
    if (found == r.owners.end())
        return nullptr;
    r.lastBase = base;
    r.lastArena = found->second;
    return found->second;
}

extern "C" size_t memarena_live_blocks(const MemArena *arena)
{
    return arena == nullptr ? 0 : arena->live;
}

extern "C" size_t memarena_reserved_bytes(const MemArena *arena)
{
    return arena == nullptr ? 0 : arena->reserved;
}
