#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dirsearch.h"
#include "scratch_dir.h"
#include "unprivileged.h"

namespace {

class AppdirSearch : public ::testing::Test {
protected:
    void TearDown() override { setAppdirValue(nullptr); }

    // The module keeps the reference, so the text lives in the fixture.
    void use_list(std::string list)
    {
        list_ = std::move(list);
        ASSERT_EQ(setAppdirValue(list_.c_str()), list_.c_str());
    }

    ScratchDir root_{"dirsearch", 0755};
    std::string list_;
    char result_[DIRSEARCH_MAX_CANDIDATE + 1] = "untouched";
};

TEST_F(AppdirSearch, EarlierEntriesAndUnsuffixedFormsWin)
{
    use_list(root_ / "u" + ";" + root_ / "opt" + ";" + root_ / "inst");
    root_.file("opt/lib/x.txt");
    root_.file("inst/lib/x");
    EXPECT_EQ(appdirFind("x", "lib", result_, ".txt", 4), 2);
    EXPECT_EQ(std::string(result_), root_ / "opt/lib/x.txt");

    root_.file("u/lib/x.txt");  // suffixed in an earlier entry beats plain in a later one
    EXPECT_EQ(appdirFind("x", "lib", result_, ".txt", 4), 1);
    EXPECT_EQ(std::string(result_), root_ / "u/lib/x.txt");

    root_.file("u/lib/x");  // plain beats suffixed within one entry
    EXPECT_EQ(appdirFind("x", "lib", result_, ".txt", 4), 1);
    EXPECT_EQ(std::string(result_), root_ / "u/lib/x");
}

TEST_F(AppdirSearch, EmptyEntriesAreNeitherTriedNorNumbered)
{
    root_.file("b/sub/f");
    use_list(";;" + root_ / "a" + ";;" + root_ / "b" + ";");
    EXPECT_EQ(appdirFind("f", "sub", result_, nullptr, 0), 2);
    EXPECT_EQ(appdirFind("f", "sub", nullptr, nullptr, 0), 2);

    // An empty subdirectory gives "//", which the file system accepts.
    root_.file("b/g");
    EXPECT_EQ(appdirFind("g", "", result_, nullptr, 0), 2);
    EXPECT_EQ(std::string(result_), root_ / "b//g");
}

TEST_F(AppdirSearch, NothingToSearchFindsNothingAndWritesNothing)
{
    EXPECT_EQ(getAppdirValue(), nullptr);
    EXPECT_EQ(appdirFind("x", "lib", result_, nullptr, 0), 0);  // before any list
    EXPECT_EQ(appdirAccess("x", result_), 0);
    for (const char *list : {"", ";", ";;;"}) {
        use_list(list);
        EXPECT_EQ(appdirFind("x", "lib", result_, ".txt", 0), 0);
    }
    use_list(root_.path());
    EXPECT_EQ(appdirFind("missing", "lib", result_, ".txt", 0), 0);
    EXPECT_EQ(appdirFind(nullptr, "lib", result_, nullptr, 0), 0);
    EXPECT_STREQ(result_, "untouched");
}

TEST_F(AppdirSearch, SuffixIsTriedOnlyWhenGiven)
{
    root_.file("d/s/name.par");
    use_list(root_ / "d");
    EXPECT_EQ(appdirFind("name", "s", result_, nullptr, 0), 0);
    EXPECT_EQ(appdirFind("name", "s", result_, "", 0), 0);
    EXPECT_EQ(appdirFind("name", "s", result_, ".par", 0), 1);
}

TEST_F(AppdirSearch, ListOfAnyLengthIsSearchedWhole)
{
    std::string list;
    for (int i = 0; i < 60; ++i)  // about 3000 characters of absent entries
        list += root_ / ("absent-directory-number-" + std::to_string(i)) + ";";
    root_.file("present/s/f");
    use_list(list + root_ / "present");
    ASSERT_GT(list_.size(), 2047u);
    EXPECT_EQ(appdirFind("f", "s", result_, nullptr, 0), 61);
}

TEST_F(AppdirSearch, CandidateLongerThanTheBufferCountsAsAbsent)
{
    use_list(root_.path());
    const std::size_t fixed = root_.path().size() + std::strlen("/s/");
    const std::string fits(DIRSEARCH_MAX_CANDIDATE - fixed, 'f');
    const std::string too_long(DIRSEARCH_MAX_CANDIDATE - fixed + 1, 'g');
    root_.file("s/" + fits);
    root_.file("s/" + too_long);
    EXPECT_EQ(appdirFind(fits.c_str(), "s", result_, nullptr, 0), 1);
    EXPECT_EQ(std::strlen(result_), std::size_t{DIRSEARCH_MAX_CANDIDATE});
    EXPECT_EQ(appdirFind(too_long.c_str(), "s", result_, nullptr, 0), 0);

    // The plain form fits, its suffixed form would not.
    root_.file("s/" + fits.substr(1) + ".x");
    EXPECT_EQ(appdirFind(fits.substr(1).c_str(), "s", result_, ".x", 0), 0);
}

TEST_F(AppdirSearch, AccessRightsAreThoseOfTheCaller)
{
    root_.file("one/s/locked", 0200);
    root_.file("two/s/locked", 0644);
    root_.dir("one/tool", 0555);  // present but not writable by others
    root_.dir("two/tool", 0777);
    use_list(root_ / "one" + ";" + root_ / "two");
    const int found = run_unprivileged([] {
        char path[DIRSEARCH_MAX_CANDIDATE + 1];
        return appdirFind("locked", "s", path, nullptr, 4) * 10 + appdirAccess("tool", path);
    });
    EXPECT_EQ(found, 22);
    EXPECT_EQ(appdirFind("locked", "s", nullptr, nullptr, 0), 1);  // exists in the first
}

TEST(PathCopy, CopiesLikeStrncpy)
{
    char dst[12];
    std::memset(dst, '#', sizeof dst);
    EXPECT_EQ(winPathToUnix("C:\\a", dst, 10), dst);
    EXPECT_EQ(std::memcmp(dst, "C:\\a\0\0\0\0\0\0##", 12), 0);

    std::memset(dst, '#', sizeof dst);
    EXPECT_EQ(unixPathToWin("/usr/lib", dst, 4), dst);
    EXPECT_EQ(std::memcmp(dst, "/usr####", 8), 0);  // no terminator when cut

    std::memset(dst, '#', sizeof dst);
    unixPathToWin("/x", dst, 0);
    unixPathToWin("/x", dst, -3);
    unixPathToWin(nullptr, dst, 5);
    EXPECT_EQ(dst[0], '#');
}

}  // namespace
