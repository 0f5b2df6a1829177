#include <gtest/gtest.h>

#include <string>

#include "sink_capture.h"
#include "treekeep.h"

namespace {

std::string worded(int code, const char *first, const char *second)
{
    SinkCapture sink;
    P_err(code, first, second);
    return sink.text();
}

TEST(PErr, JoinsPrefixWithoutBlankAndKeepsTrailingBlanks)
{
    EXPECT_EQ(worded(-1, "info?", "sw"), "info?swTree doesn't exist\n");
    EXPECT_EQ(worded(-8, "", ""), "Malloc error (couldn't get any memory) \n");
    EXPECT_EQ(worded(-10, "x", ""), "xWrong type \n");
    EXPECT_EQ(worded(-18, "", "y"), "yBad filename \n");
    EXPECT_EQ(worded(-19, "save: ", ""), "save: error writing file\n");
}

TEST(PErr, EveryOtherCodeIsUndefined)
{
    EXPECT_EQ(worded(-99, "", ""), "Udefined error number -99\n");
    EXPECT_EQ(worded(0, "", ""), "Udefined error number 0\n");
    EXPECT_EQ(worded(-20, "p:", ""), "p:Udefined error number -20\n");
    EXPECT_EQ(worded(7, "", ""), "Udefined error number 7\n");
}

TEST(PErr, PercentInNameIsNotExpanded)
{
    EXPECT_EQ(worded(-2, "get ", "a%sb%n"), "get a%sb%nVariable doesn't exist\n");
}

TEST(PErr, NullTextsCountAsEmpty)
{
    EXPECT_EQ(worded(-9, nullptr, nullptr), "Index out-of-bounds\n");
}

TEST(PErr, PrefixAndMessageAreCut)
{
    const std::string long_name(300, 'n');
    std::string text = worded(-2, "", long_name.c_str());
    ASSERT_EQ(text.back(), '\n');
    text.pop_back();
    EXPECT_EQ(text, std::string(127, 'n') + "Variable doesn't exist");

    text = worded(-12, "", long_name.c_str());
    text.pop_back();
    EXPECT_EQ(text.size(), 157u);
    EXPECT_EQ(text, (std::string(127, 'n') + "Real variable value adjusted to nearest enumeral")
                        .substr(0, 157));
}

}  // namespace
