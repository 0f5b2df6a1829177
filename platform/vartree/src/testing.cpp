// Inspection helpers for tests; not used by the component itself.
#include "vartree_internal.h"
#include "vartree_testing.h"

#include <utility>
#include <vector>

extern "C" int vartree_depth(SymbolNode **root)
{
    if (root == nullptr || *root == nullptr)
        return 0;
    int deepest = 0;
    std::vector<std::pair<SymbolNode *, int>> pending{{*root, 1}};
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        if (depth > deepest)
            deepest = depth;
        if (node->left != nullptr)
            pending.emplace_back(node->left, depth + 1);
        if (node->right != nullptr)
            pending.emplace_back(node->right, depth + 1);
    }
    return deepest;
}

extern "C" long vartree_count(SymbolNode **root)
{
    return root == nullptr ? 0 : vartree::countNodes(*root);
}

extern "C" int vartree_ordered(SymbolNode **root)
{
    if (root == nullptr)
        return 1;
    // In-order walk with an explicit stack, checking each name against the
    // one before it.
    std::vector<SymbolNode *> pending;
    SymbolNode *node = *root;
    const char *previous = nullptr;
    while (node != nullptr || !pending.empty()) {
        while (node != nullptr) {
            pending.push_back(node);
            node = node->left;
        }
        node = pending.back();
        pending.pop_back();
        if (previous != nullptr && vartree::compareNames(previous, node->name) >= 0)
            return 0;
        previous = node->name;
        node = node->right;
    }
    return 1;
}
