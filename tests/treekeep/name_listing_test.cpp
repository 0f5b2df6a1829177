// Names of a parameter file's records.
#include <gtest/gtest.h>

#include "memalloc.h"
#include "param_file_fixture.h"

namespace {

using NameListing = ParamFileTest;

const std::string kThree =
    "alpha 0 1 0 0 0 0 0 0 1 64\n1 1 \n0 \n"
    "beta 0 2 0 0 0 0 0 0 1 64\n2 \"gamma 0 1 0 0 0 0 0 0 1 64\"\n\"x\\\"y\"\n1 \"q\" \n"
    "gamma 0 1 0 0 0 0 0 0 1 64\n0 \n2 1 2 \n";

TEST_F(NameListing, NamesInFileOrderSeparatedByBlanks)
{
    char *names = nullptr;
    const auto before = memalloc_live_blocks(VARTREE_NAME_TAG);
    ASSERT_EQ(P_readnames(write("a.par", kThree).c_str(), &names), P_OK);
    ASSERT_NE(names, nullptr);
    EXPECT_STREQ(names, "alpha beta gamma");
    EXPECT_EQ(memalloc_live_blocks(VARTREE_NAME_TAG), before + 1);  // the caller's one text
    release(names);
    EXPECT_EQ(count(1), 0);

    names = reinterpret_cast<char *>(&names);
    ASSERT_EQ(P_readnames(write("e.par", "").c_str(), &names), P_OK);
    EXPECT_EQ(names, nullptr);

    // The end of the file at a count completes the list.
    ASSERT_EQ(P_readnames(write("h.par", "only 0 1 0 0 0 0 0 0 1 64\n").c_str(), &names), P_OK);
    EXPECT_STREQ(names, "only");
    release(names);
}

TEST_F(NameListing, MissingFileLeavesTheListAlone)
{
    char marker = 'm';
    char *names = &marker;
    EXPECT_EQ(P_readnames((dir_ + "/none").c_str(), &names), P_NOFILE);
    EXPECT_EQ(names, &marker);
}

TEST_F(NameListing, ErrorsDropTheList)
{
    const std::pair<std::string, std::string> cases[] = {
        {"odd 0 4 0 0 0 0 0 0 1 64\n0 \n0 \n", "readNamesFromDisk: odd has nonexistent type\n"},
        {"s 0 2 0 0 0 0 0 0 1 64\n1 \"a", "readNamesFromDisk: premature EOF\n"},
        {std::string(400, 'n') + " 0 1 0 0 0 0 0 0 1 64\n0 \n0 \n",
         "readNamesFromDisk: name too long\n"},
        {"w 0 1 0 0 0 0 0 0 1 64\n1 x \n0 \n", "readNamesFromDisk: bad number\n"},
    };
    const auto before = memalloc_live_blocks(VARTREE_NAME_TAG);
    for (const auto &[bad, message] : cases) {
        SinkCapture sink;
        char *names = reinterpret_cast<char *>(&sink);
        // A string left open swallows whatever follows, so nothing does.
        const std::string after = message.find("EOF") == std::string::npos ? kThree : "";
        EXPECT_EQ(P_readnames(write("t.par", kThree + bad + after).c_str(), &names), P_OK);
        EXPECT_EQ(names, nullptr) << message;
        EXPECT_EQ(sink.text(), message);
    }
    EXPECT_EQ(memalloc_live_blocks(VARTREE_NAME_TAG), before);

    // No memory for the list: said so, not passed off as a file without names.
    SinkCapture sink;
    char *names = reinterpret_cast<char *>(&sink);
    memalloc_fail_nth(1);
    EXPECT_EQ(P_readnames(write("t.par", kThree).c_str(), &names), P_OK);
    memalloc_fail_nth(0);
    EXPECT_EQ(names, nullptr);
    EXPECT_EQ(sink.text(), "readNamesFromDisk: out of memory\n");
}

}  // namespace
