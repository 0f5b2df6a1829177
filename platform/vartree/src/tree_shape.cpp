// Shape operations that must work on trees of any depth.  The fast paths walk
// with a fixed stack and link nodes from an in-order array; when a tree is
// deeper than that stack (only a tree shaped outside the component can be) or
// the array cannot be had, they fall back to walks that neither recurse nor
// allocate, so a rebuild still runs where memory has just run out.  Both
// paths give exactly the same shape.
#include "vartree_internal.h"

#include <cstdlib>

namespace vartree {
namespace {

// Deeper than any tree the scapegoat rule lets through (log base 1.5 of the
// largest possible node count is below 110).
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
// can be filled at once; a large one gets its own block, given back right
// after, so that a big rebuild leaves no memory behind.
constexpr long kKeptScratch = 4096;
SymbolNode **keptScratch[2];

class Scratch {
public:
    explicit Scratch(int slot) : slot_(slot) {}
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;
    ~Scratch()
    {
        if (own_)
            std::free(nodes);
    }

    bool reserve(long wanted)
    {
        if (wanted <= capacity_)
            return true;
        if (wanted <= kKeptScratch) {
            SymbolNode **&kept = keptScratch[slot_];
            if (kept == nullptr)
                kept = static_cast<SymbolNode **>(std::malloc(kKeptScratch * sizeof(SymbolNode *)));
            if (kept == nullptr)
                return false;
            nodes = kept;
            capacity_ = kKeptScratch;
            return true;
        }
        long grown = wanted > 2 * capacity_ ? wanted : 2 * capacity_;
        auto *block = static_cast<SymbolNode **>(std::malloc(static_cast<std::size_t>(grown) * sizeof(SymbolNode *)));
        if (block == nullptr)
            return false;
        for (long i = 0; i < used; ++i)
            block[i] = nodes[i];
        if (own_)
            std::free(nodes);
        nodes = block;
        capacity_ = grown;
        own_ = true;
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
    int slot_;
    long capacity_ = 0;
    bool own_ = false;
};

// Addresses of the subtree at `node` in in-order (or, `backwards`, in
// reverse in-order); false when the tree is too deep for the fixed stack or
// memory runs out.  The tree itself is only read.
bool collect(SymbolNode *node, Scratch &scratch, bool backwards = false)
{
    SymbolNode *stack[kStackDepth];
    int top = 0;
    while (node != nullptr || top > 0) {
        while (node != nullptr) {
            if (top == kStackDepth)
                return false;
            stack[top++] = node;
            node = backwards ? node->right : node->left;
        }
        node = stack[--top];
        if (!scratch.push(node))
            return false;
        node = backwards ? node->left : node->right;
    }
    return true;
}

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

long rebuildSubtree(SymbolNode **link)
{
    Scratch scratch(0);
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
