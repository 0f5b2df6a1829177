// Depth-first walks over a tree with their own stack, so that no tree shape,
// however deep, can exhaust the thread's stack.
#ifndef PSENV_TREEKEEP_TREE_WALK_H
#define PSENV_TREEKEEP_TREE_WALK_H

#include <new>
#include <vector>

#include "treekeep.h"

namespace treekeep {

// Pre-order: a node, then its left subtree, then its right subtree.  `visit`
// returns 0 to go on; its first other result ends the walk and is returned.
// The tree must not change shape during the walk.  P_MALLOC when the walk's
// own stack cannot grow.
template <typename Visit>
int walkPreOrder(SymbolNode *top, Visit &&visit) noexcept
{
    try {
        std::vector<SymbolNode *> pending;
        pending.reserve(64);
        if (top != nullptr)
            pending.push_back(top);
        while (!pending.empty()) {
            SymbolNode *node = pending.back();
            pending.pop_back();
            if (int result = visit(node); result != 0)
                return result;
            if (node->right != nullptr)
                pending.push_back(node->right);
            if (node->left != nullptr)
                pending.push_back(node->left);
        }
        return 0;
    } catch (const std::bad_alloc &) {
        return P_MALLOC;
    }
}

// Post-order: the left subtree, the right subtree, then the node.  A node's
// links are read only when the walk descends through them, exactly as a
// recursive walk would, so `visit` may remove the node it is given (through
// delName, which leaves every node still to be visited reachable).  0, or
// P_MALLOC when the walk's own stack cannot grow.
template <typename Visit>
int walkPostOrder(SymbolNode *top, Visit &&visit) noexcept
{
    struct Frame {
        SymbolNode *node;
        int stage;  // 0: left next, 1: right next, 2: the node itself
    };
    try {
        std::vector<Frame> pending;
        pending.reserve(64);
        if (top != nullptr)
            pending.push_back({top, 0});
        while (!pending.empty()) {
            Frame &frame = pending.back();
            SymbolNode *node = frame.node;
            if (frame.stage == 0) {
                frame.stage = 1;
                if (node->left != nullptr)
                    pending.push_back({node->left, 0});
            } else if (frame.stage == 1) {
                frame.stage = 2;
                if (node->right != nullptr)
                    pending.push_back({node->right, 0});
            } else {
                pending.pop_back();
                visit(node);
            }
        }
        return 0;
    } catch (const std::bad_alloc &) {
        return P_MALLOC;
    }
}

}  // namespace treekeep

#endif
