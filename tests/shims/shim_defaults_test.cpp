// A process in which no initialiser has run yet: set 1 with the standard
// names answers.  Its own program, so that no other test ran first.
#include <gtest/gtest.h>

#include "shims.h"

TEST(ShimDefaults, Set1WithTheStandardTableServes)
{
    EXPECT_EQ(shimCount(), 15);
    EXPECT_EQ(isRRI(), 0);
    EXPECT_STREQ(get_shimname(2), "z1");
    EXPECT_EQ(get_shimname(0), nullptr);
    EXPECT_EQ(get_shimindex("x1"), 16);
}
