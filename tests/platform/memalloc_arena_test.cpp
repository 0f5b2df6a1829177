// Arenas of the allocator: blocks released one by one are reused, a dropped
// arena takes every block with it, and the tree component keeps each tree's
// nodes and values in the tree's own arena.
#include "memalloc.h"
#include "memalloc_arena.h"
#include "memalloc_testing.h"
#include "vartree.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(MemArena, BlocksAreAlignedDistinctAndCountedAsUntagged)
{
    const size_t before = memalloc_live_blocks(nullptr);
    MemArena *arena = memarena_create();
    ASSERT_NE(arena, nullptr);
    std::vector<char *> blocks;
    // Sizes across the carved classes, the largest carved and a large one,
    // over more than one chunk.
    for (size_t size : {size_t{0}, size_t{1}, size_t{15}, size_t{16}, size_t{100}, size_t{2032},
                        size_t{2033}, size_t{100000}}) {
        for (int i = 0; i < 200; ++i) {
            auto *block = static_cast<char *>(memarena_allocate(arena, size));
            ASSERT_NE(block, nullptr);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t), 0U);
            std::memset(block, 0x5a, size);
            blocks.push_back(block);
        }
    }
    EXPECT_EQ(memarena_live_blocks(arena), blocks.size());
    EXPECT_EQ(memalloc_live_blocks(nullptr), before + blocks.size());
    EXPECT_EQ(memarena_owning(blocks.front()), arena);
    int stack_value = 0;
    EXPECT_EQ(memarena_owning(&stack_value), nullptr);
    EXPECT_EQ(memarena_owning(nullptr), nullptr);

    release(blocks[3]);
    release(blocks.back());  // a large block
    EXPECT_EQ(memarena_live_blocks(arena), blocks.size() - 2);
    EXPECT_EQ(memalloc_live_blocks(nullptr), before + blocks.size() - 2);
    memarena_drop(arena);
    EXPECT_EQ(memalloc_live_blocks(nullptr), before);
    memarena_drop(nullptr);
}

TEST(MemArena, ReleasedBlocksAreReusedForTheSameSize)
{
    MemArena *arena = memarena_create();
    void *first = memarena_allocate(arena, 40);
    void *second = memarena_allocate(arena, 40);
    release(first);
    // A block of another class does not take the freed space.
    void *other = memarena_allocate(arena, 400);
    EXPECT_NE(other, first);
    EXPECT_EQ(memarena_allocate(arena, 33), first);  // same 16-byte class
    // Release and reuse many times: the arena does not grow.
    const size_t reserved = memarena_reserved_bytes(arena);
    for (int i = 0; i < 100000; ++i) {
        void *block = memarena_allocate(arena, 40);
        ASSERT_NE(block, nullptr);
        release(block);
    }
    EXPECT_EQ(memarena_reserved_bytes(arena), reserved);
    release(second);
    memarena_drop(arena);
}

// Packed blocks sit next to one another whatever is allocated in between;
// either kind reuses the other's released space, and both go with the arena.
TEST(MemArena, PackedBlocksStayTogether)
{
    const size_t before = memalloc_live_blocks(nullptr);
    MemArena *arena = memarena_create();
    std::vector<char *> packed;
    for (int i = 0; i < 20000; ++i) {  // over more than one chunk
        packed.push_back(static_cast<char *>(memarena_allocate_packed(arena, 100)));
        ASSERT_NE(memarena_allocate(arena, 100), nullptr);
        ASSERT_NE(packed.back(), nullptr);
    }
    int adjacent = 0;
    for (size_t i = 1; i < packed.size(); ++i)
        adjacent += packed[i] - packed[i - 1] == 128;  // 100 bytes and the header, in 16s
    EXPECT_GE(adjacent, 19990);
    EXPECT_EQ(memarena_owning(packed.back()), arena);
    EXPECT_EQ(memarena_live_blocks(arena), 40000U);

    release(packed[7]);
    EXPECT_EQ(memarena_allocate(arena, 100), packed[7]);
    memarena_drop(arena);
    EXPECT_EQ(memalloc_live_blocks(nullptr), before);
    EXPECT_EQ(memarena_allocate_packed(nullptr, 8), nullptr);
}

TEST(MemArena, FailNthCountsArenaAllocations)
{
    MemArena *arena = memarena_create();
    memalloc_fail_nth(2);
    void *one = memarena_allocate(arena, 8);
    EXPECT_NE(one, nullptr);
    EXPECT_EQ(memarena_allocate(arena, 8), nullptr);
    EXPECT_NE(memarena_allocate(arena, 8), nullptr);
    memalloc_fail_nth(1);
    EXPECT_EQ(memarena_allocate_packed(arena, 8), nullptr);
    memalloc_fail_nth(0);
    EXPECT_EQ(memarena_live_blocks(arena), 2U);
    memarena_drop(arena);
}

TEST(MemArena, ATreeKeepsItsRecordsAndValuesInItsOwnArena)
{
    SymbolNode *first = nullptr;
    SymbolNode *second = nullptr;
    const size_t before = memalloc_live_blocks(nullptr);
    varInfo *a = RcreateVar("a", &first, T_REAL);
    varInfo *b = RcreateVar("b", &second, T_STRING);
    assignReal(1.0, a, 0);
    assignString("text", b, 0);
    ASSERT_NE(memarena_owning(a), nullptr);
    EXPECT_NE(memarena_owning(a), memarena_owning(b));
    EXPECT_EQ(memarena_owning(a->values), memarena_owning(a));
    EXPECT_EQ(memarena_owning(b->values), memarena_owning(b));

    // A record outside every tree still gets plain blocks.
    varInfo loose{};
    assignReal(2.0, &loose, 0);
    EXPECT_EQ(memarena_owning(loose.values), nullptr);
    disposeRealRvals(loose.values);

    // Resetting one tree leaves the other intact.
    tossVars(&first);
    EXPECT_EQ(std::string(rfindVar("b", &second)->values->string), "text");
    EXPECT_EQ(memalloc_live_blocks(nullptr), before + 2);
    // The same root link starts a new arena afterwards.
    varInfo *again = RcreateVar("again", &first, T_REAL);
    ASSERT_NE(again, nullptr);
    assignReal(3.0, again, 0);
    EXPECT_EQ(rfindVar("again", &first)->values->real, 3.0);
    tossVars(&first);
    tossVars(&second);
    EXPECT_EQ(memalloc_live_blocks(nullptr), before);
}

TEST(MemArena, DeletingTheLastParameterReturnsTheArena)
{
    SymbolNode *root = nullptr;
    varInfo *only = RcreateVar("only", &root, T_REAL);
    assignReal(1.0, only, 0);
    MemArena *arena = memarena_owning(only);
    ASSERT_NE(arena, nullptr);
    EXPECT_EQ(delName(&root, "only"), 0);
    EXPECT_EQ(root, nullptr);
    // A new tree under the same link gets a working arena of its own.
    varInfo *next = RcreateVar("next", &root, T_REAL);
    ASSERT_NE(next, nullptr);
    EXPECT_NE(memarena_owning(next), nullptr);
    tossVars(&root);
}

}  // namespace
