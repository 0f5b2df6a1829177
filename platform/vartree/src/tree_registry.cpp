// The five trees that exist from process start, and the node counts the
// balancing rule needs for every tree the component has seen.
#include "vartree_internal.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <unordered_map>

namespace vartree {
namespace {

constexpr int kFixedTrees = 5;
constexpr const char *kTreeNames[kFixedTrees] = {"global", "current", "processed", "scratch",
                                                 "system"};
// A name no tree carries: getTreeRoot() refuses it.
constexpr const char *kNoTree = "";

SymbolNode *fixedRoots[kFixedTrees];
TreeStats fixedStats[kFixedTrees];
MemArena *fixedArenas[kFixedTrees];

// Arenas of trees under other root links; an entry goes when its tree is
// reset.
std::unordered_map<SymbolNode **, MemArena *> &otherArenas()
{
    static auto *all = new std::unordered_map<SymbolNode **, MemArena *>;
    return *all;
}

// Trees built under root links the component does not own (for example a
// caller's local root).  Never destroyed, so use at exit stays safe.
std::unordered_map<SymbolNode **, TreeStats> &otherStats()
{
    static auto *all = new std::unordered_map<SymbolNode **, TreeStats>;
    return *all;
}

int fixedIndex(SymbolNode **root)
{
    auto at = reinterpret_cast<std::uintptr_t>(root);
    auto first = reinterpret_cast<std::uintptr_t>(&fixedRoots[0]);
    if (at < first || at >= first + sizeof fixedRoots)
        return -1;
    return static_cast<int>((at - first) / sizeof(SymbolNode *));
}

}  // namespace

TreeStats *knownStats(SymbolNode **root)
{
    int fixed = fixedIndex(root);
    if (fixed >= 0)
        return &fixedStats[fixed];
    auto &all = otherStats();
    auto it = all.find(root);
    return it == all.end() ? nullptr : &it->second;
}

TreeStats *statsFor(SymbolNode **root)
{
    TreeStats *stats = knownStats(root);
    if (stats == nullptr) {
        try {
            stats = &otherStats().emplace(root, TreeStats{0, 0}).first->second;
        } catch (const std::bad_alloc &) {
            return nullptr;
        }
    }
    if (*root == nullptr)
        *stats = TreeStats{0, 0};
    return stats;
}

void forgetStats(SymbolNode **root)
{
    int fixed = fixedIndex(root);
    if (fixed >= 0)
        fixedStats[fixed] = TreeStats{0, 0};
    else
        otherStats().erase(root);
}

MemArena *arenaFor(SymbolNode **root)
{
    const int fixed = fixedIndex(root);
    MemArena **slot = nullptr;
    if (fixed >= 0) {
        slot = &fixedArenas[fixed];
    } else {
        try {
            slot = &otherArenas().try_emplace(root, nullptr).first->second;
        } catch (const std::bad_alloc &) {
            return nullptr;
        }
    }
    if (*slot == nullptr)
        *slot = memarena_create();
    return *slot;
}

MemArena *takeArena(SymbolNode **root)
{
    MemArena *arena = nullptr;
    const int fixed = fixedIndex(root);
    if (fixed >= 0) {
        arena = fixedArenas[fixed];
        fixedArenas[fixed] = nullptr;
        return arena;
    }
    auto &all = otherArenas();
    auto it = all.find(root);
    if (it != all.end()) {
        arena = it->second;
        all.erase(it);
    }
    return arena;
}

void dropArenaIfUnused(SymbolNode **root)
{
    const int fixed = fixedIndex(root);
    MemArena *arena = fixed >= 0 ? fixedArenas[fixed] : nullptr;
    if (fixed < 0) {
        auto it = otherArenas().find(root);
        arena = it == otherArenas().end() ? nullptr : it->second;
    }
    if (arena != nullptr && memarena_live_blocks(arena) == 0)
        memarena_drop(takeArena(root));
}

}  // namespace vartree

using namespace vartree;

extern "C" const char *getRoot(int tree)
{
    return tree >= 0 && tree < kFixedTrees ? kTreeNames[tree] : kNoTree;
}

extern "C" SymbolNode **getTreeRoot(const char *name)
{
    if (name == nullptr)
        return nullptr;
    for (int i = 0; i < kFixedTrees; ++i) {
        if (std::strcmp(name, kTreeNames[i]) == 0)
            return &fixedRoots[i];
    }
    return nullptr;
}

extern "C" SymbolNode **getTreeRootByIndex(int tree)
{
    return tree >= 0 && tree < kFixedTrees ? &fixedRoots[tree] : nullptr;
}
