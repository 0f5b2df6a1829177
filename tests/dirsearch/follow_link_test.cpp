#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <string>

#include "dirsearch.h"
#include "scratch_dir.h"

namespace {

class FollowLink : public ::testing::Test {
protected:
    void link(const std::string &target, const std::string &relative)
    {
        ASSERT_EQ(symlink(target.c_str(), (root_ / relative).c_str()), 0) << relative;
    }

    // The final path, or "<-1>" when follow_link fails.
    std::string follow(const std::string &path, int size = PATH_MAX)
    {
        std::string result(static_cast<std::size_t>(size), '\0');
        if (follow_link(path.c_str(), result.data(), size) != 0)
            return "<-1>";
        return result.c_str();
    }

    // "c<i>", appended: "c" + std::to_string(i) draws a false -Wrestrict
    // from g++ 12 at -O3.
    static std::string chain_name(int i)
    {
        std::string name = "c";
        name += std::to_string(i);
        return name;
    }

    ScratchDir root_{"dirsearch", 0755};
};

TEST_F(FollowLink, MissingPathsComeBackAsTheyAre)
{
    EXPECT_EQ(follow(root_ / "no/such/file"), root_ / "no/such/file");
    root_.dir("d");
    link("sub/x", "d/l1");  // relative target that does not exist
    EXPECT_EQ(follow(root_ / "d/l1"), root_ / "d/sub/x");
    EXPECT_EQ(follow(root_ / "d"), root_ / "d");  // not a link at all
}

TEST_F(FollowLink, ChainsOfRelativeAndAbsoluteTargets)
{
    root_.dir("d");
    root_.file("e/f");
    link("l2", "d/l1");
    link(root_ / "e/f", "d/l2");
    EXPECT_EQ(follow(root_ / "d/l1"), root_ / "e/f");

    root_.dir("a/b");
    link("../x", "a/b/l");  // dots are not simplified
    EXPECT_EQ(follow(root_ / "a/b/l"), root_ / "a/b/../x");
}

TEST_F(FollowLink, RelativeWorkingPathSplicesAfterItsLastSlash)
{
    root_.file("d/f");
    link("l2", "d/l1");
    link("f", "d/l2");
    char saved[PATH_MAX];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(chdir(root_.path().c_str()), 0);
    const std::string with_directory = follow("d/l1");
    ASSERT_EQ(chdir("d"), 0);
    const std::string without_directory = follow("l1");
    ASSERT_EQ(chdir(saved), 0);
    EXPECT_EQ(with_directory, "d/f");
    EXPECT_EQ(without_directory, "f");
}

TEST_F(FollowLink, LengthLimitsOfPathAndResult)
{
    std::string path = root_.path();
    // Built by appending: "/" + std::string(...) draws a false -Wrestrict
    // from g++ 12 at -O3.
    while (path.size() + 100 < DIRSEARCH_MAX_LINK_PATH)
        path.append("/").append(98, 'n');
    const std::size_t last = DIRSEARCH_MAX_LINK_PATH - path.size() - 1;
    path.append("/").append(last, 'z');
    ASSERT_EQ(path.size(), std::size_t{DIRSEARCH_MAX_LINK_PATH});
    EXPECT_EQ(follow(path, DIRSEARCH_MAX_LINK_PATH + 1), path);
    EXPECT_EQ(follow(path + "z", DIRSEARCH_MAX_LINK_PATH + 2), "<-1>");
    EXPECT_EQ(follow(""), "<-1>");

    const std::string plain = root_.file("plain");
    const int n = static_cast<int>(plain.size());
    EXPECT_EQ(follow(plain, n + 1), plain);
    EXPECT_EQ(follow(plain, n), "<-1>");
    char result[8] = "keep";
    EXPECT_EQ(follow_link(plain.c_str(), result, sizeof result), -1);
    EXPECT_STREQ(result, "keep");
    EXPECT_EQ(follow_link(nullptr, result, 8), -1);
    EXPECT_EQ(follow_link(plain.c_str(), nullptr, 8), -1);
}

TEST_F(FollowLink, SpliceBeyondTheWorkingBufferFails)
{
    std::string target;
    while (target.size() < DIRSEARCH_MAX_LINK_PATH - root_.path().size())
        target += "a/";
    target.resize(DIRSEARCH_MAX_LINK_PATH - root_.path().size());
    ASSERT_EQ(symlink(target.c_str(), (root_ / "long").c_str()), 0);
    EXPECT_EQ(follow(root_ / "long"), "<-1>");  // 4096 characters after the splice
}

TEST_F(FollowLink, CyclesAndOverlongChainsEnd)
{
    link("b", "a");
    link("a", "b");
    link("self", "self");
    EXPECT_EQ(follow(root_ / "a"), "<-1>");
    EXPECT_EQ(follow(root_ / "self"), "<-1>");

    // 40 links are followed, a 41st is refused.
    root_.file("end");
    for (int i = 0; i < DIRSEARCH_MAX_LINKS; ++i)
        link(i + 1 == DIRSEARCH_MAX_LINKS ? "end" : chain_name(i + 1), chain_name(i));
    EXPECT_EQ(follow(root_ / "c0"), root_ / "end");
    link("c0", "c-1");
    EXPECT_EQ(follow(root_ / "c-1"), "<-1>");
}

TEST_F(FollowLink, LstatFailuresOtherThanMissingFail)
{
    root_.file("plain");
    EXPECT_EQ(follow(root_ / "plain/below"), "<-1>");  // ENOTDIR
}

}  // namespace
