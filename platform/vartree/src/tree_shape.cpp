// Shape operations that must work on trees of any depth: they neither recurse
// nor allocate, so a rebuild can run where memory has just run out.
#include "vartree_internal.h"

namespace vartree {

long countNodes(SymbolNode *node)
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

namespace {

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

}  // namespace

long rebuildSubtree(SymbolNode **link)
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

}  // namespace vartree
