// Creating, copying, deleting, pruning, clearing and listing parameters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tree_fixture.h"
#include "treekeep_internal.h"
#include "vartree_testing.h"

namespace {

using TreeOps = TreeTest;

varInfo *find(int tree, const char *name) { return rfindVar(name, getTreeRootByIndex(tree)); }

std::vector<double> reals(const ValueNode *list, int count)
{
    std::vector<double> out;
    for (; list != nullptr && static_cast<int>(out.size()) < count; list = list->next)
        out.push_back(list->real);
    return out;
}

std::vector<std::string> texts(const ValueNode *list, int count)
{
    std::vector<std::string> out;
    for (; list != nullptr && static_cast<int>(out.size()) < count; list = list->next)
        out.emplace_back(list->string);
    return out;
}

std::string names(int tree)
{
    std::vector<char> buf(1 << 16);
    EXPECT_EQ(P_listnames(tree, buf.data()), P_OK);
    return buf.data();
}

TEST_F(TreeOps, CreateAndReset)
{
    EXPECT_EQ(P_creatvar(9, "a", T_REAL), P_NOTREE);
    EXPECT_EQ(P_creatvar(1, "1abc", T_REAL), P_BADNAME);
    EXPECT_EQ(P_creatvar(1, "", T_REAL), P_BADNAME);
    EXPECT_EQ(P_creatvar(1, nullptr, T_REAL), P_BADNAME);
    EXPECT_EQ(P_creatvar(1, std::string(256, 'a').c_str(), T_REAL), P_BADNAME);
    EXPECT_EQ(vartree_count(getTreeRootByIndex(1)), 0);

    EXPECT_EQ(P_creatvar(1, "sw", T_STRING), P_OK);
    ASSERT_NE(find(1, "sw"), nullptr);
    EXPECT_EQ(find(1, "sw")->type, T_STRING);

    make_real(1, "nt", {1, 2});
    EXPECT_EQ(P_creatvar(1, "nt", T_STRING), P_OK);  // emptied and retyped
    EXPECT_EQ(find(1, "nt")->size, 0);
    EXPECT_EQ(find(1, "nt")->type, T_STRING);

    EXPECT_EQ(P_treereset(9), P_NOTREE);
    EXPECT_EQ(P_treereset(1), P_OK);
    EXPECT_EQ(*getTreeRootByIndex(1), nullptr);
}

TEST_F(TreeOps, CopyRealOntoExistingString)
{
    varInfo *from = make_real(1, "src", {1.5, 2.5});
    assignEReal(1.5, from, 0);
    assignEReal(2.5, from, 2);
    from->active = 0;
    from->subtype = 4;
    from->dgroup = 5;
    from->group = 3;
    from->prot = 0x8123;
    from->min = -1;
    from->max = 9;
    from->step = 0.5;
    varInfo *to = make_string(2, "dst", {"a", "b", "c"});
    assignEString("a", to, 0);
    to->enumType = T_STRING;

    EXPECT_EQ(P_copyvar(1, 2, "src", "dst"), P_OK);
    EXPECT_EQ(find(2, "dst"), to);  // the record is reused, not replaced
    EXPECT_EQ(to->type, T_REAL);
    EXPECT_EQ(to->enumType, T_REAL);
    EXPECT_EQ(reals(to->values, to->size), (std::vector<double>{1.5, 2.5}));
    EXPECT_EQ(reals(to->enumValues, to->enumCount), (std::vector<double>{1.5, 2.5}));
    EXPECT_EQ(to->active, 0);
    EXPECT_EQ(to->subtype, 4);
    EXPECT_EQ(to->dgroup, 5);
    EXPECT_EQ(to->group, 3);
    EXPECT_EQ(to->prot, 0x8123);
    EXPECT_EQ(to->min, -1);
    EXPECT_EQ(to->max, 9);
    EXPECT_EQ(to->step, 0.5);
}

TEST_F(TreeOps, CopyWithoutEnumerationTakesValueType)
{
    make_real(1, "x", {7});
    make_string(2, "x", {"t"});
    ASSERT_EQ(P_copyvar(1, 2, "x", "x"), P_OK);
    EXPECT_EQ(find(2, "x")->type, T_REAL);
    EXPECT_EQ(find(2, "x")->enumType, T_REAL);
    EXPECT_EQ(find(2, "x")->enumCount, 0);
}

TEST_F(TreeOps, CopyOntoItselfChangesNothing)
{
    varInfo *v = make_string(1, "s", {"one", "two"});
    assignEString("one", v, 0);
    ValueNode *values = v->values;
    EXPECT_EQ(P_copyvar(1, 1, "s", "s"), P_OK);
    EXPECT_EQ(P_copy(1, 1), P_OK);
    copyAllVars(getTreeRootByIndex(1), getTreeRootByIndex(1));
    EXPECT_EQ(find(1, "s"), v);
    EXPECT_EQ(v->values, values);
    EXPECT_EQ(texts(v->values, v->size), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(texts(v->enumValues, v->enumCount), (std::vector<std::string>{"one"}));
}

TEST_F(TreeOps, CopyWithinOneTreeUnderAnotherName)
{
    make_real(1, "x", {1, 2, 3});
    EXPECT_EQ(P_copyvar(1, 1, "x", "y"), P_OK);
    EXPECT_EQ(reals(find(1, "y")->values, find(1, "y")->size), (std::vector<double>{1, 2, 3}));
    make_real(1, "x", {4});
    EXPECT_EQ(P_copyvar(1, 1, "x", "y"), P_OK);  // overwrites
    EXPECT_EQ(reals(find(1, "y")->values, find(1, "y")->size), (std::vector<double>{4}));
    EXPECT_EQ(reals(find(1, "x")->values, find(1, "x")->size), (std::vector<double>{4}));
}

TEST_F(TreeOps, CopyOfShortListTakesWhatIsThere)
{
    varInfo *v = make_real(1, "x", {1, 2});
    v->size = 4;
    assignEReal(9, v, 0);
    v->enumCount = 3;
    ASSERT_EQ(P_copyvar(1, 2, "x", "x"), P_OK);
    varInfo *copy = find(2, "x");
    EXPECT_EQ(copy->size, 2);
    EXPECT_EQ(copy->enumCount, 1);
    v->size = 2;
    v->enumCount = 1;
}

TEST_F(TreeOps, CopyKeepsEachListsOwnKind)
{
    varInfo *mixed = make_real(1, "mixed", {1, 2});
    assignEString("low", mixed, 0);
    assignEString("high", mixed, 2);
    varInfo *other = make_string(1, "other", {"a"});
    assignEReal(0.25, other, 0);
    make_string(2, "mixed", {"old"});  // released as texts
    make_real(2, "other", {5, 6});

    ASSERT_EQ(P_copy(1, 2), P_OK);
    varInfo *a = find(2, "mixed");
    EXPECT_EQ(a->type, T_REAL);
    EXPECT_EQ(a->enumType, T_STRING);
    EXPECT_EQ(reals(a->values, a->size), (std::vector<double>{1, 2}));
    EXPECT_EQ(texts(a->enumValues, a->enumCount), (std::vector<std::string>{"low", "high"}));
    varInfo *b = find(2, "other");
    EXPECT_EQ(b->type, T_STRING);
    EXPECT_EQ(b->enumType, T_REAL);
    EXPECT_EQ(texts(b->values, b->size), (std::vector<std::string>{"a"}));
    EXPECT_EQ(reals(b->enumValues, b->enumCount), (std::vector<double>{0.25}));

    // Copy back over the originals: each list goes back by its own kind.
    ASSERT_EQ(P_copyvar(2, 1, "other", "mixed"), P_OK);
    EXPECT_EQ(texts(mixed->values, mixed->size), (std::vector<std::string>{"a"}));
    EXPECT_EQ(reals(mixed->enumValues, mixed->enumCount), (std::vector<double>{0.25}));
}

TEST_F(TreeOps, CopyOfOtherTypeCodesIsFaithful)
{
    varInfo *odd = make_real(1, "odd", {3, 4});
    odd->type = 5;
    ASSERT_EQ(P_copyvar(1, 3, "odd", "odd"), P_OK);
    EXPECT_EQ(find(3, "odd")->type, 5);
    EXPECT_EQ(reals(find(3, "odd")->values, find(3, "odd")->size), (std::vector<double>{3, 4}));
    odd->type = T_REAL;
}

TEST_F(TreeOps, CopyFailures)
{
    make_real(1, "x", {1});
    EXPECT_EQ(P_copyvar(9, 1, "x", "y"), P_NOTREE);
    EXPECT_EQ(P_copyvar(1, 9, "x", "y"), P_NOTREE);
    EXPECT_EQ(P_copyvar(1, 2, "nosuch", "y"), P_NOVAR);
    EXPECT_EQ(P_copyvar(1, 2, nullptr, "y"), P_NOVAR);
    // The destination record cannot be made: nothing happens.
    EXPECT_EQ(P_copyvar(1, 2, "x", ""), P_BADNAME);
    EXPECT_EQ(P_copyvar(1, 2, "x", nullptr), P_BADNAME);
    EXPECT_EQ(P_copyvar(1, 2, "x", std::string(300, 'n').c_str()), P_BADNAME);
    copyVar("", find(1, "x"), getTreeRootByIndex(2));
    EXPECT_EQ(vartree_count(getTreeRootByIndex(2)), 0);

    EXPECT_EQ(P_copy(9, 2), P_NOTREE);
    EXPECT_EQ(P_copy(1, 9), P_NOTREE);
    EXPECT_EQ(vartree_count(getTreeRootByIndex(2)), 0);
}

TEST_F(TreeOps, CopyGroup)
{
    EXPECT_EQ(P_copygroup(9, 9, 1), P_OK);  // same index: no lookup at all
    EXPECT_EQ(P_copygroup(9, 1, 1), P_NOTREE);
    EXPECT_EQ(P_copygroup(1, 9, 1), P_NOTREE);

    for (int i = 0; i < 50; ++i)
        make_real(1, ("p" + std::to_string(i)).c_str(), {static_cast<double>(i)})->group =
            static_cast<short>(i % 3);
    make_real(2, "p3", {-1})->group = 2;  // group 0 copy overwrites it
    ASSERT_EQ(P_copygroup(1, 2, 0), P_OK);
    EXPECT_EQ(vartree_count(getTreeRootByIndex(2)), 17);
    EXPECT_EQ(find(2, "p3")->group, 0);
    EXPECT_EQ(reals(find(2, "p3")->values, 1), (std::vector<double>{3}));
    EXPECT_EQ(find(2, "p4"), nullptr);
    EXPECT_EQ(P_copygroup(1, 2, 12), P_OK);  // groups are not validated here
    EXPECT_EQ(vartree_count(getTreeRootByIndex(2)), 17);
}

TEST_F(TreeOps, CopyWholeTree)
{
    for (int i = 0; i < 200; ++i)
        make_string(1, ("s" + std::to_string(i)).c_str(), {"v", std::to_string(i).c_str()});
    make_real(2, "keep", {1});
    ASSERT_EQ(P_copy(1, 2), P_OK);
    EXPECT_EQ(vartree_count(getTreeRootByIndex(2)), 201);
    EXPECT_TRUE(vartree_ordered(getTreeRootByIndex(2)));
    EXPECT_EQ(texts(find(2, "s199")->values, 2), (std::vector<std::string>{"v", "199"}));
}

TEST_F(TreeOps, DeleteOneValue)
{
    make_real(1, "x", {1, 2, 3});
    EXPECT_EQ(P_deleteVarIndex(1, "x", 1), P_OK);
    varInfo *v = find(1, "x");
    EXPECT_EQ(v->size, 2);
    EXPECT_EQ(reals(v->values, 5), (std::vector<double>{2, 3}));
    EXPECT_EQ(P_deleteVarIndex(1, "x", 2), P_OK);
    EXPECT_EQ(reals(v->values, 5), (std::vector<double>{2}));

    varInfo *s = make_string(1, "s", {"a", "b", "c"});
    assignEString("a", s, 0);
    EXPECT_EQ(P_deleteVarIndex(1, "s", 2), P_OK);
    EXPECT_EQ(texts(s->values, 5), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(s->enumCount, 1);  // the enumeration is untouched
    EXPECT_TRUE(assignString("d", s, 3));  // the list still appends
    EXPECT_EQ(texts(s->values, 5), (std::vector<std::string>{"a", "c", "d"}));
}

TEST_F(TreeOps, DeleteValueRefusesBadIndexAndChangesNothing)
{
    varInfo *v = make_real(1, "x", {1, 2, 3});
    for (int index : {0, -1, 4, 1000})
        EXPECT_EQ(P_deleteVarIndex(1, "x", index), P_INDEX) << index;
    v->size = 5;  // a count beyond the list: positions 4 and 5 have no node
    EXPECT_EQ(P_deleteVarIndex(1, "x", 4), P_INDEX);
    EXPECT_EQ(P_deleteVarIndex(1, "x", 5), P_INDEX);
    EXPECT_EQ(v->size, 5);
    v->size = 3;
    EXPECT_EQ(reals(v->values, 3), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(P_deleteVarIndex(9, "x", 1), P_NOTREE);
    EXPECT_EQ(P_deleteVarIndex(1, "y", 1), P_NOVAR);
}

TEST_F(TreeOps, DeleteParameter)
{
    make_real(1, "a", {});
    make_real(1, "b", {});
    EXPECT_EQ(P_deleteVar(1, "zz"), P_NOVAR);
    EXPECT_EQ(P_deleteVar(9, "a"), P_NOTREE);
    EXPECT_EQ(P_deleteVar(1, "a"), P_OK);
    EXPECT_EQ(names(1), " b");
}

TEST_F(TreeOps, DeleteGroup)
{
    EXPECT_EQ(P_deleteGroupVar(9, 1), P_NOTREE);
    for (int i = 0; i < 300; ++i) {
        varInfo *v = make_string(1, ("g" + std::to_string(i)).c_str(), {"x"});
        v->group = static_cast<short>(i % 4);
    }
    for (int group : {-1, 8, 1000})
        EXPECT_EQ(P_deleteGroupVar(1, group), P_GROUP);
    EXPECT_EQ(vartree_count(getTreeRootByIndex(1)), 300);

    EXPECT_EQ(P_deleteGroupVar(1, 2), P_OK);
    SymbolNode **root = getTreeRootByIndex(1);
    EXPECT_EQ(vartree_count(root), 225);
    EXPECT_TRUE(vartree_ordered(root));
    EXPECT_LE(vartree_depth(root), 8);  // rebalanced
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(find(1, ("g" + std::to_string(i)).c_str()) != nullptr, i % 4 != 2) << i;
}

TEST_F(TreeOps, Prune)
{
    for (int i = 0; i < 100; ++i)
        make_real(1, ("n" + std::to_string(i)).c_str(), {1});
    for (int i = 0; i < 100; i += 5)
        make_real(4, ("n" + std::to_string(i)).c_str(), {});
    make_real(4, "extra", {});

    EXPECT_EQ(P_pruneTree(9, 1), P_NOTREE);
    EXPECT_EQ(P_pruneTree(1, 9), P_NOTREE);
    EXPECT_EQ(P_pruneTree(1, 1), P_OK);
    EXPECT_EQ(vartree_count(getTreeRootByIndex(1)), 100);

    EXPECT_EQ(P_pruneTree(1, 4), P_OK);
    SymbolNode **root = getTreeRootByIndex(1);
    EXPECT_EQ(vartree_count(root), 20);
    EXPECT_TRUE(vartree_ordered(root));
    EXPECT_EQ(find(1, "extra"), nullptr);  // pruning never adds
    EXPECT_NE(find(1, "n95"), nullptr);

    EXPECT_EQ(P_pruneTree(1, 2), P_OK);  // an empty reference empties the tree
    EXPECT_EQ(*root, nullptr);
}

TEST_F(TreeOps, ClearVariable)
{
    clearVar("nosuch");
    varInfo *v = make_string(1, "s", {"a", "b"});
    assignEReal(3, v, 0);  // a list of each kind
    v->group = 2;
    v->prot = 7;
    v->max = 10;
    clearVar("s");
    EXPECT_EQ(v->values, nullptr);
    EXPECT_EQ(v->enumValues, nullptr);
    EXPECT_EQ(v->size, 0);
    EXPECT_EQ(v->enumCount, 0);
    EXPECT_EQ(v->type, T_UNDEF);
    EXPECT_EQ(v->enumType, T_UNDEF);
    EXPECT_EQ(v->group, 2);
    EXPECT_EQ(v->prot, 7);
    EXPECT_EQ(v->max, 10);

    varInfo *odd = make_real(0, "odd", {1, 2});  // found through tree 0
    odd->type = 9;
    clearVar("odd");  // an unknown type's list is still given back
    EXPECT_EQ(odd->values, nullptr);
    EXPECT_EQ(odd->size, 0);
}

TEST_F(TreeOps, ListNames)
{
    std::string buf = "junk";
    EXPECT_EQ(P_listnames(9, buf.data()), P_NOTREE);
    EXPECT_EQ(buf, "junk");
    EXPECT_EQ(names(1), "");
    make_real(1, "b", {});
    make_real(1, "a", {});
    make_real(1, "d", {});
    EXPECT_EQ(names(1), " b a d");
    EXPECT_EQ(P_listnames(1, nullptr), P_OK);
}

// Trees shaped outside the component can be as deep as they are long; the
// walks keep their own stack.
TEST_F(TreeOps, WalksSurviveADegenerateTree)
{
    constexpr int kCount = 60000;
    SymbolNode **root = getTreeRootByIndex(3);
    std::vector<std::string> sorted;
    for (int i = 0; i < kCount; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "n%06d", i);
        sorted.emplace_back(name);
        varInfo *v = make_real(3, name, {static_cast<double>(i)});
        v->group = i % 1000 == 0 ? 5 : 1;
    }
    // Relink as one right-leaning chain in name order.
    std::vector<SymbolNode *> nodes;
    std::vector<SymbolNode *> pending{*root};
    while (!pending.empty()) {
        SymbolNode *node = pending.back();
        pending.pop_back();
        if (node == nullptr)
            continue;
        nodes.push_back(node);
        pending.push_back(node->left);
        pending.push_back(node->right);
    }
    std::sort(nodes.begin(), nodes.end(),
              [](SymbolNode *a, SymbolNode *b) { return std::strcmp(a->name, b->name) < 0; });
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        nodes[i]->left = nullptr;
        nodes[i]->right = i + 1 < nodes.size() ? nodes[i + 1] : nullptr;
    }
    *root = nodes.front();
    ASSERT_EQ(vartree_depth(root), kCount);

    std::vector<char> buf(static_cast<std::size_t>(kCount) * 8 + 1);
    ASSERT_EQ(P_listnames(3, buf.data()), P_OK);
    EXPECT_EQ(std::strlen(buf.data()), static_cast<std::size_t>(kCount) * 8);
    EXPECT_EQ(std::string(buf.data(), 16), " n000000 n000001");

    FILE *sink = std::fopen("/dev/null", "w");
    ASSERT_NE(sink, nullptr);
    EXPECT_EQ(copytodisk(root, sink), P_OK);
    std::fclose(sink);

    ASSERT_EQ(P_copy(3, 2), P_OK);
    EXPECT_EQ(vartree_count(getTreeRootByIndex(2)), kCount);
    ASSERT_EQ(P_copygroup(3, 4, 5), P_OK);
    EXPECT_EQ(vartree_count(getTreeRootByIndex(4)), kCount / 1000);
    ASSERT_EQ(P_pruneTree(3, 2), P_OK);  // nothing to remove; rebalances
    EXPECT_EQ(vartree_count(root), kCount);
    EXPECT_LT(vartree_depth(root), 20);
}

}  // namespace
