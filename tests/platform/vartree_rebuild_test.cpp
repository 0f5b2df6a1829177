// Whole-subtree rebuilds: the array-linked rebuild must give exactly the
// shape of the rotation (vine) rebuild it stands in for, and trees too deep
// for the fixed walking stack must still be counted and rebuilt.
#include "vartree.h"
#include "vartree_internal.h"
#include "vartree_testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

std::string nameOf(long i)
{
    char text[32];
    std::snprintf(text, sizeof text, "r%06ld", i);
    return text;
}

// Shape as text: "(left name right)" per node, "." for an empty link.
void describe(const SymbolNode *node, std::string &out)
{
    if (node == nullptr) {
        out += '.';
        return;
    }
    out += '(';
    describe(node->left, out);
    out += node->name;
    describe(node->right, out);
    out += ')';
}

std::string shapeOf(const SymbolNode *root)
{
    std::string out;
    describe(root, out);
    return out;
}

TEST(VartreeRebuild, ArrayAndVineRebuildsAgreeOnEverySize)
{
    std::mt19937 random(5);
    for (long n = 0; n <= 300; ++n) {
        std::vector<long> order(static_cast<std::size_t>(n));
        for (long i = 0; i < n; ++i)
            order[static_cast<std::size_t>(i)] = i;
        std::shuffle(order.begin(), order.end(), random);
        SymbolNode *byArray = nullptr;
        SymbolNode *byVine = nullptr;
        for (long i : order) {
            RcreateVar(nameOf(i).c_str(), &byArray, T_REAL);
            RcreateVar(nameOf(i).c_str(), &byVine, T_REAL);
        }
        ASSERT_EQ(shapeOf(byArray), shapeOf(byVine)) << n;
        EXPECT_EQ(vartree::rebuildSubtree(&byArray), n);
        EXPECT_EQ(vartree::rebuildByVine(&byVine), n);
        EXPECT_EQ(shapeOf(byArray), shapeOf(byVine)) << n;
        tossVars(&byArray);
        tossVars(&byVine);
    }
}

// The balancing rule written out plainly: insertion at a leaf; when the new
// node's depth d has 1.5^(d - 12) > n, the lowest ancestor whose child on the path
// holds more than 2/3 of its nodes is rebuilt by rotations into a vine and
// back.  The component must make exactly these shapes.
struct ReferenceTree {
    std::vector<std::string> names;
    std::vector<SymbolNode> nodes;
    SymbolNode *root = nullptr;

    explicit ReferenceTree(std::size_t capacity) : nodes(capacity) { names.reserve(capacity); }

    static long count(const SymbolNode *node)
    {
        return node == nullptr ? 0 : 1 + count(node->left) + count(node->right);
    }

    void insert(const std::string &name)
    {
        std::vector<SymbolNode **> path{&root};
        while (*path.back() != nullptr) {
            SymbolNode *node = *path.back();
            path.push_back(std::strcmp(name.c_str(), node->name) < 0 ? &node->left : &node->right);
        }
        names.push_back(name);
        SymbolNode *fresh = &nodes[names.size() - 1];
        *fresh = SymbolNode{names.back().data(), nullptr, nullptr, nullptr};
        *path.back() = fresh;
        const int depth = static_cast<int>(path.size()) - 1;
        if (depth <= 12 || std::pow(1.5, depth - 12) <= static_cast<double>(names.size()))
            return;
        long below = 1;
        for (int i = depth - 1; i >= 0; --i) {
            SymbolNode *parent = *path[static_cast<std::size_t>(i)];
            SymbolNode *child = *path[static_cast<std::size_t>(i) + 1];
            long size = below + 1 + count(parent->left == child ? parent->right : parent->left);
            if (3 * below > 2 * size) {
                vartree::rebuildByVine(path[static_cast<std::size_t>(i)]);
                return;
            }
            below = size;
        }
    }
};

TEST(VartreeRebuild, InsertionsMakeTheShapesOfThePlainRule)
{
    for (int pass = 0; pass < 3; ++pass) {
        const long n = 4000;
        std::vector<long> order(static_cast<std::size_t>(n));
        for (long i = 0; i < n; ++i)
            order[static_cast<std::size_t>(i)] = pass == 1 ? n - 1 - i : i;
        if (pass == 2)
            std::shuffle(order.begin(), order.end(), std::mt19937(3));
        ReferenceTree reference(static_cast<std::size_t>(n));
        SymbolNode *tree = nullptr;
        for (long i : order) {
            reference.insert(nameOf(i));
            RcreateVar(nameOf(i).c_str(), &tree, T_REAL);
        }
        EXPECT_EQ(shapeOf(tree), shapeOf(reference.root)) << "pass " << pass;
        tossVars(&tree);
    }
}

// A right-leaning chain of nodes made by hand, as only code outside the
// component could shape it.
struct HandMadeChain {
    std::vector<std::string> names;
    std::vector<SymbolNode> nodes;
    SymbolNode *root = nullptr;

    explicit HandMadeChain(long count) : nodes(static_cast<std::size_t>(count))
    {
        for (long i = 0; i < count; ++i)
            names.push_back(nameOf(i));
        for (long i = count - 1; i >= 0; --i) {
            auto &node = nodes[static_cast<std::size_t>(i)];
            node = SymbolNode{names[static_cast<std::size_t>(i)].data(), nullptr, nullptr, root};
            root = &node;
        }
    }
};

TEST(VartreeRebuild, ChainsDeeperThanTheWalkingStackAreCountedAndRebuilt)
{
    const long count = 1000;
    HandMadeChain deep(count);
    EXPECT_EQ(vartree_count(&deep.root), count);
    EXPECT_EQ(vartree_depth(&deep.root), count);  // the count left it as it was

    // The same names in a shallow tree take the array path; the chain takes
    // the rotations; both must end in the same shape.
    SymbolNode *shallow = nullptr;
    for (long i = 0; i < count; ++i)
        RcreateVar(nameOf(i).c_str(), &shallow, T_REAL);
    balance(&shallow);
    balance(&deep.root);
    EXPECT_EQ(vartree_depth(&deep.root), 10);
    EXPECT_EQ(vartree_ordered(&deep.root), 1);
    EXPECT_EQ(shapeOf(deep.root), shapeOf(shallow));
    tossVars(&shallow);
}

}  // namespace
