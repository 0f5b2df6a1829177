// Whole-subtree rebuilds: the array-linked rebuild must give exactly the
// shape of the rotation (vine) rebuild it stands in for, and trees too deep
// for the fixed walking stack must still be counted and rebuilt.
#include "vartree.h"
#include "vartree_internal.h"
#include "vartree_testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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
