// Records and value lists: creation, assignment rules, names, allocation
// failure.
#include "memalloc.h"
#include "memalloc_testing.h"
#include "vartree.h"
#include "vartree_testing.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

class VartreeRecords : public ::testing::Test {
protected:
    SymbolNode *root = nullptr;
    void TearDown() override
    {
        memalloc_fail_nth(0);
        tossVars(&root);
    }
    varInfo *make(const char *name, int type = T_UNDEF) { return RcreateUVar(name, &root, type); }
};

std::vector<double> reals(const ValueNode *node, int count)
{
    std::vector<double> out;
    for (; node != nullptr && count-- > 0; node = node->next)
        out.push_back(node->real);
    return out;
}

std::vector<std::string> texts(const ValueNode *node, int count)
{
    std::vector<std::string> out;
    for (; node != nullptr && count-- > 0; node = node->next)
        out.emplace_back(node->string);
    return out;
}

TEST_F(VartreeRecords, NewRecordIsActiveWithEverythingElseZero)
{
    varInfo *v = make("fresh", T_STRING);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->active, 1);
    EXPECT_EQ(v->type, T_STRING);
    EXPECT_EQ(v->group + v->dgroup + v->subtype + v->prot + v->size + v->enumCount + v->enumType,
              0);
    EXPECT_EQ(v->min + v->max + v->step, 0.0);
    EXPECT_EQ(v->values, nullptr);
    EXPECT_EQ(v->enumValues, nullptr);
}

TEST_F(VartreeRecords, CreatingAnExistingNameEmptiesTheSameRecord)
{
    varInfo *v = make("dup", T_REAL);
    assignReal(1.5, v, 0);
    assignReal(2.5, v, 2);
    assignEReal(9.0, v, 0);
    v->group = 3;
    EXPECT_EQ(RcreateVar("dup", &root, T_STRING), v);
    EXPECT_EQ(vartree_count(&root), 1);
    EXPECT_EQ(v->type, T_STRING);
    EXPECT_EQ(v->size, 0);
    EXPECT_EQ(v->enumCount, 0);
    EXPECT_EQ(v->values, nullptr);
    EXPECT_EQ(v->enumValues, nullptr);
    EXPECT_EQ(v->group, 3);
    EXPECT_EQ(memalloc_live_blocks(nullptr), 1U);  // the node alone
}

TEST_F(VartreeRecords, NamesThatCannotBeCreated)
{
    EXPECT_EQ(make(""), nullptr);
    EXPECT_EQ(make(nullptr), nullptr);
    EXPECT_EQ(RcreateUVar("x", nullptr, 0), nullptr);
    EXPECT_NE(make(std::string(255, 'a').c_str()), nullptr);
    EXPECT_EQ(make(std::string(256, 'b').c_str()), nullptr);
    EXPECT_NE(make("odd name-with.chars"), nullptr);  // only goodName is strict
    EXPECT_EQ(vartree_count(&root), 2);
}

TEST_F(VartreeRecords, IndexZeroMakesTheSoleValueAndSetsTheKind)
{
    varInfo *v = make("v", T_REAL);
    ASSERT_NE(assignReal(1.0, v, 0), 0);
    ASSERT_NE(assignReal(2.0, v, 2), 0);
    ASSERT_NE(assignString("text", v, 0), 0);
    EXPECT_EQ(v->type, T_STRING);
    EXPECT_EQ(v->size, 1);
    EXPECT_EQ(texts(v->values, 5), std::vector<std::string>{"text"});
    v->active = 0;
    ASSERT_NE(assignReal(3.0, v, 0), 0);
    EXPECT_EQ(v->active, 0);
    EXPECT_EQ(v->type, T_REAL);
    EXPECT_EQ(reals(v->values, 5), std::vector<double>{3.0});
}

TEST_F(VartreeRecords, ReplaceAndAppendWithinTheRules)
{
    varInfo *v = make("v");
    ASSERT_NE(assignReal(1.0, v, 1), 0);  // empty untyped list takes the kind
    EXPECT_EQ(v->type, T_REAL);
    ASSERT_NE(assignReal(2.0, v, 2), 0);
    ASSERT_NE(assignReal(3.0, v, 3), 0);
    ASSERT_NE(assignReal(20.0, v, 2), 0);
    EXPECT_EQ(reals(v->values, v->size), (std::vector<double>{1.0, 20.0, 3.0}));
    // Out of range, kind mismatch: refused, nothing changes.
    EXPECT_EQ(assignReal(9.0, v, 5), 0);
    EXPECT_EQ(assignReal(9.0, v, -1), 0);
    EXPECT_EQ(assignString("s", v, 2), 0);
    EXPECT_EQ(assignString("s", v, 4), 0);
    EXPECT_EQ(assignReal(1.0, nullptr, 0), 0);
    EXPECT_EQ(v->size, 3);
    EXPECT_EQ(v->type, T_REAL);
    EXPECT_EQ(reals(v->values, v->size), (std::vector<double>{1.0, 20.0, 3.0}));

    varInfo *typed = make("typed", T_STRING);
    EXPECT_EQ(assignReal(1.0, typed, 1), 0);  // empty, but typed for texts
    ASSERT_NE(assignString("a", typed, 1), 0);
    ASSERT_NE(assignString("b", typed, 2), 0);
    ASSERT_NE(assignString("c", typed, 3), 0);
    ASSERT_NE(assignString("last", typed, 3), 0);
    ASSERT_NE(assignString("first", typed, 1), 0);
    ASSERT_NE(assignString("d", typed, 4), 0);
    EXPECT_EQ(texts(typed->values, typed->size),
              (std::vector<std::string>{"first", "b", "last", "d"}));
}

TEST_F(VartreeRecords, EnumerationListFollowsTheSameRules)
{
    varInfo *v = make("e", T_REAL);
    ASSERT_NE(assignEString("x", v, 1), 0);
    ASSERT_NE(assignEString("y", v, 2), 0);
    EXPECT_EQ(v->enumType, T_STRING);
    EXPECT_EQ(v->enumCount, 2);
    EXPECT_EQ(assignEReal(1.0, v, 3), 0);
    ASSERT_NE(assignEReal(1.0, v, 0), 0);
    EXPECT_EQ(v->enumType, T_REAL);
    EXPECT_EQ(v->enumCount, 1);
    EXPECT_EQ(v->size, 0);
    EXPECT_EQ(v->type, T_REAL);
}

TEST_F(VartreeRecords, TextsAreCopied)
{
    varInfo *v = make("s", T_STRING);
    char text[] = "original";
    assignString(text, v, 1);
    text[0] = 'X';
    EXPECT_STREQ(v->values->string, "original");
}

TEST_F(VartreeRecords, AppendsStopAtWhatTheCountCanHold)
{
    varInfo *v = make("long", T_REAL);
    for (int i = 1; i <= SHRT_MAX; ++i)
        ASSERT_NE(assignReal(i, v, i), 0) << i;
    EXPECT_EQ(v->size, SHRT_MAX);
    EXPECT_EQ(assignReal(0.0, v, SHRT_MAX + 1), 0);
    EXPECT_EQ(v->size, SHRT_MAX);
    ASSERT_NE(assignReal(-1.0, v, SHRT_MAX), 0);
    EXPECT_EQ(reals(v->values, SHRT_MAX).back(), -1.0);
}

TEST_F(VartreeRecords, AppendAfterStoreRemovedNodesBehindTheComponentsBack)
{
    varInfo *v = make("cut", T_REAL);
    for (int i = 1; i <= 5; ++i)
        assignReal(i, v, i);
    // The store removes a value by relinking and release() of the node.
    ValueNode *fourth = v->values->next->next->next;
    v->values->next->next->next = fourth->next;
    release(fourth);
    v->size = 4;
    ASSERT_NE(assignReal(6.0, v, 5), 0);
    EXPECT_EQ(reals(v->values, 10), (std::vector<double>{1, 2, 3, 5, 6}));
}

TEST_F(VartreeRecords, SingleValueNodeReleaseFreesItsText)
{
    varInfo *v = make("one", T_STRING);
    size_t before = memalloc_live_blocks(nullptr);
    assignString("a rather long text value", v, 1);
    ValueNode *node = v->values;
    v->values = nullptr;
    v->size = 0;
    release(node);
    EXPECT_EQ(memalloc_live_blocks(nullptr), before);
    disposeStringRvals(nullptr);
    disposeRealRvals(nullptr);
}

TEST_F(VartreeRecords, RunningOutOfMemoryChangesNothingAndLeaksNothing)
{
    make("b");
    make("m");
    varInfo *v = make("s", T_STRING);
    assignString("kept", v, 1);
    size_t live = memalloc_live_blocks(nullptr);
    SymbolNode *shape = root;

    memalloc_fail_nth(1);
    EXPECT_EQ(rfindVar("new", &root), nullptr);
    EXPECT_EQ(RcreateUVar("new", &root, 0), nullptr);
    EXPECT_EQ(root, shape);
    EXPECT_EQ(vartree_count(&root), 3);
    memalloc_fail_nth(1);
    EXPECT_EQ(assignString("lost", v, 2), 0);
    memalloc_fail_nth(1);
    EXPECT_EQ(assignString("lost", v, 1), 0);
    memalloc_fail_nth(1);
    EXPECT_EQ(assignString("lost", v, 0), 0);
    EXPECT_EQ(texts(v->values, 5), std::vector<std::string>{"kept"});
    EXPECT_EQ(v->size, 1);
    memalloc_fail_nth(1);
    EXPECT_EQ(newStringId("x", VARTREE_NAME_TAG), nullptr);
    EXPECT_EQ(memalloc_live_blocks(nullptr), live);

    SymbolNode *empty = nullptr;
    memalloc_fail_nth(1);
    EXPECT_EQ(RcreateUVar("first", &empty, 0), nullptr);
    EXPECT_EQ(empty, nullptr);
    EXPECT_NE(RcreateUVar("new", &root, 0), nullptr);
}

TEST(VartreeNames, GoodNameEdges)
{
    for (const char *good : {"a", "Z", "_", "$", "a1", "_$9", "sw1"})
        EXPECT_EQ(goodName(good), 1) << good;
    for (const char *bad : {"", "1a", "a-b", "a b", "\xc3\xa9t", "a.b"})
        EXPECT_EQ(goodName(bad), 0) << bad;
    EXPECT_EQ(goodName(nullptr), 0);
    EXPECT_EQ(goodName(std::string(255, 'x').c_str()), 1);
    EXPECT_EQ(goodName(std::string(256, 'x').c_str()), 0);
    EXPECT_EQ(goodGroupIndex(0), 1);
    EXPECT_EQ(goodGroupIndex(7), 1);
    EXPECT_EQ(goodGroupIndex(-1), 0);
    EXPECT_EQ(goodGroupIndex(8), 0);
}

TEST(VartreeNames, TaggedTexts)
{
    char *one = newStringId("abc", "vt_tag");
    char *two = newCatId("abc", "def", "vt_tag");
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_STREQ(one, "abc");
    EXPECT_STREQ(two, "abcdef");
    EXPECT_EQ(memalloc_live_blocks("vt_tag"), 2U);
    release(one);
    EXPECT_EQ(memalloc_live_blocks("vt_tag"), 1U);
    releaseAllWithId("vt_tag");
    EXPECT_EQ(memalloc_live_blocks("vt_tag"), 0U);
}

}  // namespace
