// Tree shape: ordering, depth bounds, removal during post-order walks.
#include "vartree.h"
#include "vartree_testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

std::string nameOf(long i)
{
    char text[32];
    std::snprintf(text, sizeof text, "p%07ld", i);
    return text;
}

struct LocalTree {
    SymbolNode *root = nullptr;
    ~LocalTree() { tossVars(&root); }
    varInfo *add(const std::string &name) { return RcreateVar(name.c_str(), &root, T_REAL); }
};

// Post-order walk that removes nodes while visiting them, as the store's
// group delete and prune do.
void removeWhileWalking(SymbolNode **link, SymbolNode **root, std::vector<std::string> &seen,
                        bool (*doomed)(const std::string &))
{
    SymbolNode *node = *link;
    if (node == nullptr)
        return;
    removeWhileWalking(&node->left, root, seen, doomed);
    removeWhileWalking(&node->right, root, seen, doomed);
    seen.emplace_back(node->name);
    if (doomed(seen.back())) {
        EXPECT_EQ(delName(root, node->name), 0);
    }
}

TEST(VartreeTrees, FixedTreesAndNamesThatNameNoTree)
{
    const char *names[] = {"global", "current", "processed", "scratch", "system"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(getRoot(i), names[i]);
        ASSERT_NE(getTreeRootByIndex(i), nullptr);
        EXPECT_EQ(getTreeRoot(getRoot(i)), getTreeRootByIndex(i));
    }
    for (int bad : {-1, 5, 1000}) {
        EXPECT_EQ(getTreeRoot(getRoot(bad)), nullptr);
        EXPECT_EQ(getTreeRootByIndex(bad), nullptr);
    }
    EXPECT_EQ(getTreeRoot(nullptr), nullptr);
}

TEST(VartreeTrees, FindVarSearchesCurrentThenGlobalThenSystem)
{
    varInfo *inSystem = RcreateVar("fv_probe", getTreeRootByIndex(4), T_REAL);
    EXPECT_EQ(findVar("fv_probe"), inSystem);
    varInfo *inGlobal = RcreateVar("fv_probe", getTreeRootByIndex(0), T_REAL);
    EXPECT_EQ(findVar("fv_probe"), inGlobal);
    varInfo *inCurrent = RcreateVar("fv_probe", getTreeRootByIndex(1), T_REAL);
    EXPECT_EQ(findVar("fv_probe"), inCurrent);
    RcreateVar("fv_other", getTreeRootByIndex(3), T_REAL);
    EXPECT_EQ(findVar("fv_other"), nullptr);
    for (int tree = 0; tree < 5; ++tree)
        tossVars(getTreeRootByIndex(tree));
}

TEST(VartreeTrees, FirstThreeInsertionsKeepTheirPlaces)
{
    LocalTree tree;
    tree.add("m");
    tree.add("e");
    tree.add("t");
    ASSERT_NE(tree.root, nullptr);
    EXPECT_STREQ(tree.root->name, "m");
    ASSERT_NE(tree.root->left, nullptr);
    ASSERT_NE(tree.root->right, nullptr);
    EXPECT_STREQ(tree.root->left->name, "e");
    EXPECT_STREQ(tree.root->right->name, "t");
}

TEST(VartreeTrees, MillionSortedInsertionsStayShallow)
{
    LocalTree tree;
    const long n = 1000000;
    for (long i = 0; i < n; ++i)
        ASSERT_NE(tree.add(nameOf(i)), nullptr);
    EXPECT_EQ(vartree_count(&tree.root), n);
    EXPECT_EQ(vartree_ordered(&tree.root), 1);
    EXPECT_LE(vartree_depth(&tree.root), 3 * std::log2(static_cast<double>(n)));
    for (long i : {0L, 1L, n / 2, n - 1})
        EXPECT_NE(rfindVar(nameOf(i).c_str(), &tree.root), nullptr);
    balance(&tree.root);
    EXPECT_EQ(vartree_depth(&tree.root), 20);  // ceil(log2(n + 1))
    EXPECT_EQ(vartree_count(&tree.root), n);
}

TEST(VartreeTrees, ReverseAndRandomOrdersStayShallowAndOrdered)
{
    std::vector<long> order(50000);
    for (long i = 0; i < static_cast<long>(order.size()); ++i)
        order[static_cast<std::size_t>(i)] = i;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0)
            std::reverse(order.begin(), order.end());
        else
            std::shuffle(order.begin(), order.end(), std::mt19937(7));
        LocalTree tree;
        for (long i : order)
            tree.add(nameOf(i));
        EXPECT_EQ(vartree_ordered(&tree.root), 1);
        EXPECT_EQ(vartree_count(&tree.root), static_cast<long>(order.size()));
        EXPECT_LE(vartree_depth(&tree.root), 3 * std::log2(static_cast<double>(order.size())));
    }
}

TEST(VartreeTrees, RemovingEveryNodeDuringPostOrderWalk)
{
    LocalTree tree;
    std::vector<long> order(3000);
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<long>(i);
    std::shuffle(order.begin(), order.end(), std::mt19937(11));
    for (long i : order)
        tree.add(nameOf(i));
    std::vector<std::string> seen;
    removeWhileWalking(&tree.root, &tree.root, seen, [](const std::string &) { return true; });
    EXPECT_EQ(tree.root, nullptr);
    EXPECT_EQ(seen.size(), order.size());
    EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()).size(), order.size());
}

TEST(VartreeTrees, RemovingSomeNodesDuringPostOrderWalk)
{
    LocalTree tree;
    for (long i = 0; i < 2000; ++i)
        tree.add(nameOf(i));
    std::vector<std::string> seen;
    auto odd = [](const std::string &name) { return (name.back() - '0') % 2 == 1; };
    removeWhileWalking(&tree.root, &tree.root, seen, odd);
    EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()).size(), 2000U);
    EXPECT_EQ(vartree_count(&tree.root), 1000);
    EXPECT_EQ(vartree_ordered(&tree.root), 1);
    EXPECT_NE(rfindVar(nameOf(10).c_str(), &tree.root), nullptr);
    EXPECT_EQ(rfindVar(nameOf(11).c_str(), &tree.root), nullptr);
}

TEST(VartreeTrees, RemovalResults)
{
    LocalTree tree;
    for (long i = 0; i < 100; ++i)
        tree.add(nameOf(i));
    EXPECT_EQ(delName(&tree.root, "absent"), -1);
    EXPECT_EQ(delNameWithBalance(&tree.root, "absent"), -1);
    EXPECT_EQ(delNameWithBalance(&tree.root, nameOf(50).c_str()), 0);
    EXPECT_EQ(vartree_depth(&tree.root), 7);
    EXPECT_EQ(rfindVar(nameOf(50).c_str(), &tree.root), nullptr);
    EXPECT_EQ(vartree_count(&tree.root), 99);
    EXPECT_EQ(delName(nullptr, "x"), -1);
    EXPECT_EQ(delName(&tree.root, nullptr), -1);
}

TEST(VartreeTrees, RemembersFailedLookupOnlyWhileItStillHolds)
{
    LocalTree tree;
    for (const char *name : {"d", "b", "f"})
        tree.add(name);
    // A miss, then the store's creation of the same name through another
    // buffer, of another name, and after the tree changed in between.
    char buffer[8] = "c";
    EXPECT_EQ(rfindVar(buffer, &tree.root), nullptr);
    std::string same = "c";
    varInfo *created = RcreateVar(same.c_str(), &tree.root, T_REAL);
    EXPECT_EQ(rfindVar("c", &tree.root), created);
    EXPECT_EQ(rfindVar("e", &tree.root), nullptr);
    EXPECT_NE(RcreateVar("a", &tree.root, T_REAL), nullptr);
    EXPECT_EQ(rfindVar("g", &tree.root), nullptr);
    tree.add("e");
    EXPECT_NE(RcreateVar("g", &tree.root, T_REAL), nullptr);
    EXPECT_EQ(vartree_count(&tree.root), 7);
    EXPECT_EQ(vartree_ordered(&tree.root), 1);
    for (const char *name : {"a", "b", "c", "d", "e", "f", "g"})
        EXPECT_NE(rfindVar(name, &tree.root), nullptr) << name;
}

TEST(VartreeTrees, RootLinkReusedAfterTreeWasEmptied)
{
    for (int round = 0; round < 3; ++round) {
        SymbolNode *root = nullptr;
        for (long i = 0; i < 1000; ++i)
            RcreateVar(nameOf(i).c_str(), &root, T_REAL);
        EXPECT_LE(vartree_depth(&root), 30);
        tossVars(&root);
        EXPECT_EQ(root, nullptr);
    }
}

}  // namespace
