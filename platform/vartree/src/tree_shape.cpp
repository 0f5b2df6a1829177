// Shape operations that must work on trees of any depth.  The fast paths walk
// with a fixed stack and link nodes from an in-order array; when a tree is
// deeper than that stack (only a tree shaped outside the component can be) or
// the array cannot be had, they fall back to walks that neither recurse nor
// allocate, so a rebuild still runs where memory has just run out.  Both
// paths give exactly the same shape.
#include "vartree_internal.h"

#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>

namespace vartree {
namespace {

// Deeper than any tree the balancing rule lets through (log base 1.5 of the
// largest possible node count is below 110, plus the rule's 12 loose levels).
constexpr int kStackDepth = 192;

long countNodesThreaded(SymbolNode *node)
{
    // Threaded (Morris) walk: borrows empty right links for the way back and
    // restores each before leaving it.
    long count = 0;
    while (node != nullptr) {
        if (node->left == nullptr) {
            ++count;
            node = node->right;
            continue;
        }
        SymbolNode *before = node->left;
        while (before->right != nullptr && before->right != node)
            before = before->right;
        if (before->right == nullptr) {
            before->right = node;
            node = node->left;
        } else {
            before->right = nullptr;
            ++count;
            node = node->right;
        }
    }
    return count;
}

// Rotate the subtree hanging right of `top` into a right-leaning list.
long treeToVine(SymbolNode *top)
{
    long count = 0;
    SymbolNode *tail = top;
    SymbolNode *rest = tail->right;
    while (rest != nullptr) {
        if (rest->left == nullptr) {
            tail = rest;
            rest = rest->right;
            ++count;
        } else {
            SymbolNode *up = rest->left;
            rest->left = up->right;
            up->right = rest;
            rest = up;
            tail->right = up;
        }
    }
    return count;
}

// One pass of left rotations along the vine, `times` times.
void compress(SymbolNode *top, long times)
{
    SymbolNode *scanner = top;
    for (long i = 0; i < times; ++i) {
        SymbolNode *child = scanner->right;
        scanner->right = child->right;
        scanner = scanner->right;
        child->right = scanner->left;
        scanner->left = child;
    }
}

long largestPowerOfTwoAtMost(long n)
{
    long power = 1;
    while (power <= n / 2)
        power *= 2;
    return power;
}

// Scratch arrays of node addresses.  Small rebuilds (the scapegoat rule's
// usual case) keep reusing the same blocks, one per slot so that two arrays
// can be filled at once.  A large one is mapped, and kept when the rebuild is
// done with its pages handed back lazily (MADV_FREE): the system takes them
// when it needs memory, and until it does the next large rebuild writes into
// them without a page fault each.  On a machine where a fault is dear, fresh
// pages for a million addresses cost as much as the rebuild itself.
constexpr long kKeptScratch = 4096;

struct KeptBlocks {
    SymbolNode **small = nullptr;
    SymbolNode **large = nullptr;
    long largeCapacity = 0;
};
KeptBlocks kept[2];

std::size_t mappedBytes(long count)
{
    const std::size_t page = 4096;
    return (static_cast<std::size_t>(count) * sizeof(SymbolNode *) + page - 1) / page * page;
}

class Scratch {
public:
    explicit Scratch(int slot) : kept_(kept[slot]) {}
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;
    ~Scratch()
    {
        if (nodes != nullptr && nodes == kept_.large)
            madvise(nodes, mappedBytes(kept_.largeCapacity), MADV_FREE);
    }

    bool reserve(long wanted)
    {
        if (wanted <= capacity_)
            return true;
        if (wanted <= kKeptScratch) {
            if (kept_.small == nullptr)
                kept_.small = static_cast<SymbolNode **>(std::malloc(kKeptScratch * sizeof(SymbolNode *)));
            if (kept_.small == nullptr)
                return false;
            nodes = kept_.small;
            capacity_ = kKeptScratch;
            return true;
        }
        if (wanted > kept_.largeCapacity && !growLarge(wanted > 2 * capacity_ ? wanted : 2 * capacity_))
            return false;
        if (nodes != kept_.large) {
            for (long i = 0; i < used; ++i)
                kept_.large[i] = nodes[i];
            nodes = kept_.large;
        }
        capacity_ = kept_.largeCapacity;
        return true;
    }

    bool push(SymbolNode *node)
    {
        if (used == capacity_ && !reserve(capacity_ == 0 ? 64 : capacity_ + 1))
            return false;
        nodes[used++] = node;
        return true;
    }

    SymbolNode **nodes = nullptr;
    long used = 0;

private:
    // A larger kept block in place of the old one, with what this array
    // already holds when it lives there.
    bool growLarge(long capacity)
    {
        void *block = mmap(nullptr, mappedBytes(capacity), PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED)
            return false;
        auto *fresh = static_cast<SymbolNode **>(block);
        if (kept_.large != nullptr) {
            if (nodes == kept_.large) {
                for (long i = 0; i < used; ++i)
                    fresh[i] = nodes[i];
                nodes = fresh;
            }
            munmap(kept_.large, mappedBytes(kept_.largeCapacity));
        }
        kept_.large = fresh;
        kept_.largeCapacity = capacity;
        return true;
    }

    KeptBlocks &kept_;
    long capacity_ = 0;
};

// Addresses of the subtree at `node` in in-order (or, `backwards`, in
// reverse in-order); false when the tree is too deep for the fixed stack or
// memory runs out.  The tree itself is only read.
template <bool Backwards>
bool collectInOrder(SymbolNode *node, Scratch &scratch)
{
    SymbolNode *stack[kStackDepth];
    int top = 0;
    while (node != nullptr || top > 0) {
        while (node != nullptr) {
            if (top == kStackDepth)
                return false;
            stack[top++] = node;
            // Wanted once the near side is done: for the many small
            // subtrees near the leaves that is soon, and asking now overlaps
            // the cache miss with the walk down.
            __builtin_prefetch(Backwards ? node->left : node->right);
            node = Backwards ? node->right : node->left;
        }
        node = stack[--top];
        if (!scratch.push(node))
            return false;
        node = Backwards ? node->left : node->right;
    }
    return true;
}

bool collect(SymbolNode *node, Scratch &scratch, bool backwards = false)
{
    return backwards ? collectInOrder<true>(node, scratch) : collectInOrder<false>(node, scratch);
}

// How many slots ahead the linking asks for a node's memory.
constexpr long kLinkAhead = 16;

// Link `count` nodes given in order into the shape the vine rebuild makes: a
// complete tree whose lowest level is filled from the left.  Positions are
// those of a full tree of 2^levels - 1 slots in in-order; every odd slot is
// an inner node, an even (lowest-level) slot is used when it is one of the
// first `leaves` of its level.
SymbolNode *linkComplete(SymbolNode *const *nodes, long count)
{
    if (count == 0)
        return nullptr;
    const unsigned long slotsPlusOne = static_cast<unsigned long>(count) + 1;
    const int floorLog = 63 - __builtin_clzl(slotsPlusOne);
    int levels;
    long leaves;
    if ((slotsPlusOne & (slotsPlusOne - 1)) == 0) {
        levels = floorLog;
        leaves = static_cast<long>(slotsPlusOne / 2);
    } else {
        levels = floorLog + 1;
        leaves = static_cast<long>(slotsPlusOne - (1UL << floorLog));
    }
    const long slots = (1L << levels) - 1;
    auto used = [leaves](long slot) { return (slot & 1) != 0 || slot / 2 < leaves; };
    auto at = [leaves](long slot) {
        if ((slot & 1) == 0)
            return slot;
        long leavesBefore = (slot + 1) / 2;
        return (slot - 1) / 2 + (leavesBefore < leaves ? leavesBefore : leaves);
    };
    for (long slot = 0; slot < slots; ++slot) {
        if (!used(slot))
            continue;
        SymbolNode *node = nodes[at(slot)];
        // The nodes of a large tree are far apart; asking ahead for the ones
        // a few slots on overlaps their cache misses.
        if (slot + kLinkAhead < slots && used(slot + kLinkAhead))
            __builtin_prefetch(nodes[at(slot + kLinkAhead)], 1);
        int height = __builtin_ctzl(static_cast<unsigned long>(slot) + 1);
        if (height == 0) {
            node->left = nullptr;
            node->right = nullptr;
            continue;
        }
        long half = 1L << (height - 1);
        node->left = used(slot - half) ? nodes[at(slot - half)] : nullptr;
        node->right = used(slot + half) ? nodes[at(slot + half)] : nullptr;
    }
    return nodes[at(slots / 2)];
}

}  // namespace

long countNodes(SymbolNode *node)
{
    // Read-only walk first: it dirties no cache line.
    SymbolNode *stack[kStackDepth];
    int top = 0;
    long count = 0;
    SymbolNode *start = node;
    while (node != nullptr || top > 0) {
        while (node != nullptr) {
            if (top == kStackDepth)
                return countNodesThreaded(start);
            stack[top++] = node;
            node = node->left;
        }
        node = stack[--top];
        ++count;
        node = node->right;
    }
    return count;
}

long rebuildByVine(SymbolNode **link)
{
    SymbolNode top{nullptr, nullptr, nullptr, *link};
    long count = treeToVine(&top);
    long leaves = count + 1 - largestPowerOfTwoAtMost(count + 1);
    compress(&top, leaves);
    for (long rest = count - leaves; rest > 1; rest /= 2)
        compress(&top, rest / 2);
    *link = top.right;
    return count;
}

long rebuildSubtree(SymbolNode **link, long expected)
{
    Scratch scratch(0);
    if (expected > 0)
        (void)scratch.reserve(expected);  // a wrong guess only costs a regrowth
    if (!collect(*link, scratch))
        return rebuildByVine(link);
    *link = linkComplete(scratch.nodes, scratch.used);
    return scratch.used;
}

int rebuildScapegoat(SymbolNode **const *links, int depth, long *size)
{
    // Going up from the fresh leaf, each ancestor adds itself and its other
    // subtree to one side of what lies below it: nodes before go to
    // `before` in reverse order, nodes after to `after` in order.  The
    // subtree sizes the rule needs come out of the same single walk, and at
    // the scapegoat its whole subtree is at hand in order.
    Scratch before(0);
    Scratch after(1);
    bool gathering = before.push(*links[depth]);
    long below = 1;
    for (int i = depth - 1; i >= 0; --i) {
        SymbolNode *parent = *links[i];
        bool fromLeft = parent->left == *links[i + 1];
        SymbolNode *other = fromLeft ? parent->right : parent->left;
        long otherCount;
        if (gathering) {
            Scratch &side = fromLeft ? after : before;
            long start = side.used;
            gathering = side.push(parent) && collect(other, side, !fromLeft);
            otherCount = side.used - start - 1;
        }
        if (!gathering)
            otherCount = countNodes(other);
        long total = below + 1 + otherCount;
        if (3 * below > 2 * total) {
            *size = total;
            if (gathering) {
                // `before` holds the fresh leaf first, then what lies ever
                // further before it: reversed, it is the start of the order.
                for (long a = 0, b = before.used - 1; a < b; ++a, --b) {
                    SymbolNode *swap = before.nodes[a];
                    before.nodes[a] = before.nodes[b];
                    before.nodes[b] = swap;
                }
                if (before.reserve(total)) {
                    for (long k = 0; k < after.used; ++k)
                        before.nodes[before.used++] = after.nodes[k];
                    *links[i] = linkComplete(before.nodes, before.used);
                    return i;
                }
            }
            rebuildByVine(links[i]);
            return i;
        }
        below = total;
    }
    return -1;
}

}  // namespace vartree
