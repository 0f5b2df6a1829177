// Look-up, creation and removal of records.  A node, its name and its record
// share one allocator block, so an insertion costs one allocation and a
// descent touches the name right next to the links it follows.
#include "memalloc.h"
#include "vartree_internal.h"

#include <cstddef>
#include <cstring>
#include <new>

namespace vartree {

unsigned long shapeGeneration = 0;

namespace {

constexpr std::size_t kMaxNameLength = 255;

constexpr int kMaxPath = 160;

// Where a descent for a name ended.  `below` and `above` are the nearest
// names on either side, which pin the empty link down for any other name
// between them.  `path` holds the links followed from the root (path[0] is
// the root link, path[depth] the final one) while depth < kMaxPath, so that
// the balancing rule never has to descend a second time.
struct Position {
    SymbolNode **link;
    SymbolNode *found;
    SymbolNode *below;
    SymbolNode *above;
    SymbolNode ***path;
    int depth;
};

Position locate(SymbolNode **root, const char *name, SymbolNode ***path)
{
    Position at{root, nullptr, nullptr, nullptr, path, 0};
    path[0] = root;
    for (SymbolNode *node = *root; node != nullptr; node = *at.link) {
        int order = compareNames(name, node->name);
        if (order == 0) {
            at.found = node;
            return at;
        }
        if (order < 0) {
            at.above = node;
            at.link = &node->left;
        } else {
            at.below = node;
            at.link = &node->right;
        }
        if (++at.depth < kMaxPath)
            path[at.depth] = at.link;
    }
    return at;
}

// The store asks rfindVar() and, when the name is missing, creates it right
// away; remembering the failed descent saves the second one.  Descents write
// their path into whichever buffer the remembered miss does not use.
struct Miss {
    SymbolNode **root = nullptr;
    unsigned long generation = 0;
    Position at{};
};
Miss lastMiss;
SymbolNode **pathBuffers[2][kMaxPath];

SymbolNode ***freePath()
{
    return lastMiss.at.path == pathBuffers[0] ? pathBuffers[1] : pathBuffers[0];
}

bool reuseMiss(SymbolNode **root, const char *name, Position &at)
{
    const Miss &miss = lastMiss;
    if (miss.root != root || miss.generation != shapeGeneration || *miss.at.link != nullptr)
        return false;
    if (miss.at.below != nullptr && compareNames(miss.at.below->name, name) >= 0)
        return false;
    if (miss.at.above != nullptr && compareNames(name, miss.at.above->name) >= 0)
        return false;
    at = miss.at;
    return true;
}

// Scapegoat rule with alpha 2/3, loosened by a fixed number of levels: a
// node may sit at depth d (edges from the root) only while
// 1.5^(d - kLooseLevels) <= n.  A file saved from a balanced tree lists its
// records in pre-order, so a load first makes one long path down the left
// and fills the subtrees in after; with the plain rule that path alone set
// off a rebuild after every few records and a load rebuilt each node about
// five times over.  The extra levels let such a load land every node where
// the saved tree had it, and the `balance` the store runs after every full
// load makes the tree perfectly balanced anyway.  Depth stays logarithmic:
// at most log1.5(n) + kLooseLevels.  The powers are worked out once.
constexpr int kLooseLevels = 12;

struct Reach {
    double power[kMaxPath];
    Reach()
    {
        double reach = 1.0;
        for (double &p : power) {
            p = reach;
            reach *= 1.5;
        }
    }
};

bool tooDeep(int depth, long size)
{
    static const Reach reach;
    if (depth >= kMaxPath)
        return true;
    return depth > kLooseLevels && reach.power[depth - kLooseLevels] > static_cast<double>(size);
}

void rebuildWhole(SymbolNode **root, TreeStats *stats)
{
    long count = rebuildSubtree(root);
    stats->size = count;
    stats->maxSize = count;
}

// After a new node went in too deep at the end of `at`'s path: rebuild the
// lowest ancestor whose heavier side holds more than 2/3 of its nodes.
void restoreBalance(SymbolNode **root, const Position &at, TreeStats *stats)
{
    if (at.depth >= kMaxPath) {
        // Only a tree shaped outside the component gets here.
        rebuildWhole(root, stats);
        return;
    }
    long size = 0;
    int rebuilt = rebuildScapegoat(at.path, at.depth, &size);
    if (rebuilt == 0)
        stats->size = stats->maxSize = size;
    if (rebuilt >= 0)
        return;
    // No ancestor out of balance: the counts were stale (the tree was changed
    // behind the component's back).  Start over from the true count.
    rebuildWhole(root, stats);
}

std::size_t recordOffset(std::size_t nameLength)
{
    std::size_t end = sizeof(SymbolNode) + nameLength + 1;
    return (end + alignof(varInfo) - 1) / alignof(varInfo) * alignof(varInfo);
}

SymbolNode *makeNode(SymbolNode **root, const char *name, std::size_t length, int type)
{
    MemArena *arena = arenaFor(root);
    if (arena == nullptr)
        return nullptr;
    std::size_t offset = recordOffset(length);
    auto *block = static_cast<unsigned char *>(memarena_allocate_packed(arena, offset + sizeof(varInfo)));
    if (block == nullptr)
        return nullptr;
    auto *node = reinterpret_cast<SymbolNode *>(block);
    char *text = reinterpret_cast<char *>(block + sizeof(SymbolNode));
    std::memcpy(text, name, length + 1);
    auto *record = new (block + offset) varInfo{};
    record->active = 1;
    record->type = static_cast<short>(type);
    *node = SymbolNode{text, record, nullptr, nullptr};
    return node;
}

void resetRecord(varInfo *v, int type)
{
    emptyRecordLists(v);
    v->type = static_cast<short>(type);
    v->enumType = 0;
}

varInfo *createRecord(const char *name, SymbolNode **root, int type)
{
    if (name == nullptr || root == nullptr)
        return nullptr;
    std::size_t length = strnlen(name, kMaxNameLength + 1);
    if (length == 0 || length > kMaxNameLength)
        return nullptr;
    Position at{};
    if (!reuseMiss(root, name, at))
        at = locate(root, name, freePath());
    if (at.found != nullptr) {
        resetRecord(at.found->varInfo, type);
        return at.found->varInfo;
    }
    TreeStats *stats = statsFor(root);
    if (stats == nullptr)
        return nullptr;
    SymbolNode *fresh = makeNode(root, name, length, type);
    if (fresh == nullptr)
        return nullptr;
    *at.link = fresh;
    ++shapeGeneration;
    if (++stats->size > stats->maxSize)
        stats->maxSize = stats->size;
    if (at.depth > 0 && tooDeep(at.depth, stats->size))
        restoreBalance(root, at, stats);
    return fresh->varInfo;
}

}  // namespace

void emptyRecordLists(varInfo *v)
{
    forgetRecord(v);
    disposeRealRvals(v->values);
    disposeRealRvals(v->enumValues);
    v->values = nullptr;
    v->enumValues = nullptr;
    v->size = 0;
    v->enumCount = 0;
}

void destroyNode(SymbolNode *node)
{
    if (node->varInfo != nullptr)
        emptyRecordLists(node->varInfo);
    release(node);
}

}  // namespace vartree

using namespace vartree;

extern "C" varInfo *rfindVar(const char *name, SymbolNode **root)
{
    if (name == nullptr || root == nullptr)
        return nullptr;
    Position at = locate(root, name, freePath());
    if (at.found != nullptr)
        return at.found->varInfo;
    lastMiss.root = root;
    lastMiss.generation = shapeGeneration;
    lastMiss.at = at;
    return nullptr;
}

extern "C" varInfo *findVar(const char *name)
{
    static constexpr int kSearchOrder[] = {1, 0, 4};
    for (int tree : kSearchOrder) {
        if (varInfo *v = rfindVar(name, getTreeRootByIndex(tree)))
            return v;
    }
    return nullptr;
}

extern "C" varInfo *RcreateVar(const char *name, SymbolNode **root, int type)
{
    return createRecord(name, root, type);
}

extern "C" varInfo *RcreateUVar(const char *name, SymbolNode **root, int type)
{
    return createRecord(name, root, type);
}

extern "C" int delName(SymbolNode **root, const char *name)
{
    if (root == nullptr || name == nullptr)
        return -1;
    SymbolNode **link = root;
    SymbolNode *node = *link;
    while (node != nullptr) {
        int order = compareNames(name, node->name);
        if (order == 0)
            break;
        link = order < 0 ? &node->left : &node->right;
        node = *link;
    }
    if (node == nullptr)
        return -1;
    // Only links inside the removed node's own subtrees change, and a
    // post-order walk has finished those before it visits the node; so every
    // node it has yet to visit stays where it was.  Nodes are moved, never
    // copied, so no record changes its address.
    if (node->left == nullptr) {
        *link = node->right;
    } else if (node->right == nullptr) {
        *link = node->left;
    } else {
        SymbolNode **nextLink = &node->right;
        while ((*nextLink)->left != nullptr)
            nextLink = &(*nextLink)->left;
        SymbolNode *next = *nextLink;
        *nextLink = next->right;
        next->left = node->left;
        next->right = node->right;
        *link = next;
    }
    ++shapeGeneration;
    if (TreeStats *stats = knownStats(root); stats != nullptr && stats->size > 0)
        --stats->size;
    destroyNode(node);
    if (*root == nullptr) {
        forgetStats(root);
        dropArenaIfUnused(root);
    }
    return 0;
}

extern "C" void balance(SymbolNode **root)
{
    if (root == nullptr)
        return;
    const TreeStats *known = knownStats(root);
    long count = rebuildSubtree(root, known != nullptr ? known->size : 0);
    ++shapeGeneration;
    if (count == 0) {
        forgetStats(root);
        dropArenaIfUnused(root);
    } else if (TreeStats *stats = statsFor(root))
        stats->size = stats->maxSize = count;
}

extern "C" int delNameWithBalance(SymbolNode **root, const char *name)
{
    int result = delName(root, name);
    if (result == 0)
        balance(root);
    return result;
}

extern "C" void tossVars(SymbolNode **root)
{
    if (root == nullptr)
        return;
    if (MemArena *arena = takeArena(root)) {
        // Everything the tree holds is in its arena.
        forgetAllTails();
        memarena_drop(arena);
        *root = nullptr;
        ++shapeGeneration;
        forgetStats(root);
        return;
    }
    // Rotate left children up so that each node is freed once its left side
    // is empty: linear time, no stack.
    SymbolNode *node = *root;
    while (node != nullptr) {
        if (node->left != nullptr) {
            SymbolNode *up = node->left;
            node->left = up->right;
            up->right = node;
            node = up;
        } else {
            SymbolNode *next = node->right;
            destroyNode(node);
            node = next;
        }
    }
    *root = nullptr;
    ++shapeGeneration;
    forgetStats(root);
}
