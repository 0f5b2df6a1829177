// The allocator, error sink and host globals that the modules lean on.
#include "errsink.h"
#include "hostenv.h"
#include "memalloc.h"
#include "memalloc_testing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Memalloc, TagsReleaseTogetherOrOneByOne)
{
    void *a = allocateWithId(10, "mt_one");
    void *b = allocateWithId(0, "mt_one");
    void *c = allocateWithId(10, "mt_two");
    void *plain = allocate(8);
    ASSERT_TRUE(a && b && c && plain);
    EXPECT_NE(a, b);
    EXPECT_EQ(memalloc_live_blocks("mt_one"), 2U);
    release(b);  // the middle and the head of a tag list
    EXPECT_EQ(memalloc_live_blocks("mt_one"), 1U);
    releaseAllWithId("mt_one");
    EXPECT_EQ(memalloc_live_blocks("mt_one"), 0U);
    EXPECT_EQ(memalloc_live_blocks("mt_two"), 1U);
    releaseAllWithId("mt_unknown");
    releaseAllWithId(nullptr);
    release(nullptr);
    release(c);
    release(plain);
    EXPECT_EQ(memalloc_live_blocks("mt_two"), 0U);
    // A tag can be used again after it was released as a whole.
    void *again = allocateWithId(4, "mt_one");
    EXPECT_EQ(memalloc_live_blocks("mt_one"), 1U);
    release(again);
}

TEST(Memalloc, FailureInjectionHitsTheNthAllocation)
{
    memalloc_fail_nth(2);
    void *first = allocate(1);
    void *second = allocateWithId(1, "mt_fail");
    void *third = allocate(1);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_NE(third, nullptr);
    release(first);
    release(third);
    memalloc_fail_nth(0);
}

void collect(const char *text, void *context)
{
    static_cast<std::vector<std::string> *>(context)->emplace_back(text);
}

TEST(Errsink, OneNewlineAndCapture)
{
    std::vector<std::string> got;
    Werrprintf_set_hook(collect, &got);
    EXPECT_EQ(Werrprintf("value %d", 7), 7);
    EXPECT_EQ(Werrprintf("ends\n"), 5);
    Werrprintf("%s", "");
    std::string big(10000, 'q');
    Werrprintf("%s", big.c_str());
    EXPECT_EQ(Werrprintf_set_hook(nullptr, nullptr), &collect);
    ASSERT_EQ(got.size(), 4U);
    EXPECT_EQ(got[0], "value 7\n");
    EXPECT_EQ(got[1], "ends\n");
    EXPECT_EQ(got[2], "\n");
    EXPECT_EQ(got[3], big + "\n");
}

void keep(const char *text, void *context)
{
    *static_cast<std::string *>(context) = text;
}

TEST(Hostenv, AbortHookReturnsToTheCaller)
{
    std::string got;
    abort_message_set_hook(keep, &got);
    abort_message("lock %s failed", "table");
    EXPECT_EQ(abort_message_set_hook(nullptr, nullptr), &keep);
    EXPECT_EQ(got, "lock table failed");
    EXPECT_EQ(bgflag, 0);
    EXPECT_STREQ(systemdir, "");
}

TEST(HostenvDeathTest, AbortWithoutHookExitsWithStatusOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(abort_message("fatal %d", 42), ::testing::ExitedWithCode(1), "fatal 42");
}

}  // namespace
