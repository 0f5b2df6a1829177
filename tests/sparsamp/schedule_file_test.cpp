#include <sys/stat.h>

#include "memalloc_testing.h"
#include "sparsamp_fixture.h"

namespace {

using ScheduleFile = SparsampTest;
using Rows = std::vector<std::vector<int>>;
using sparsamp::cs;

// A file-type configuration of `dims` dimensions, initialised without reading.
void configure_file_type(int dims, const char *type = "i")
{
    for (int j = 1; j <= dims; ++j)
        SparsampTest::set_dimension(j, 8, 50);
    SparsampTest::set_text("CStype", type);
    ASSERT_EQ(CSinit(0, nullptr), 0);
}

TEST_F(ScheduleFile, WriteFormat)
{
    set_dimension(1, 4, 100);
    set_dimension(2, 3, 100);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    ASSERT_EQ(CSgetSched(dir_.c_str()), 0);
    const std::string text = read_file("sampling.sch");
    EXPECT_EQ(text.substr(0, 33), "0    0    \n1    0    \n2    0    \n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12);

    cs.sched[0][1] = 12345;
    cs.sched[1][1] = -7;
    CSwriteSched(dir_.c_str());
    EXPECT_EQ(read_file("sampling.sch").substr(11, 12), "12345 -7   \n");
}

TEST_F(ScheduleFile, PrintSchedFormat)
{
    set_dimension(1, 4, 100);
    set_dimension(2, 3, 100);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    CSmakeSched();
    const std::string text = capture_stderr([] { CSprintSched(); });
    EXPECT_EQ(text.substr(0, 21), "CS_0    0    0   \nCS_");
    EXPECT_NE(text.find("CS_11   3    2   \n"), std::string::npos);
}

TEST_F(ScheduleFile, RoundTripOneToTenDimensions)
{
    for (int dims = 1; dims <= 10; ++dims) {
        SCOPED_TRACE(dims);
        tossVars(getTreeRootByIndex(1));
        for (int j = 1; j <= dims; ++j)
            set_dimension(j, dims > 6 ? 3 : 9, 70);
        set_real("CSseed", -(dims * 11.0));
        ASSERT_EQ(CSinit(0, nullptr), 0);
        ASSERT_EQ(CSgetSched(dir_.c_str()), 0);
        const Rows made = rows();
        ASSERT_GT(made.size(), 1U);

        set_text("CStype", "d");
        ASSERT_EQ(CSinit(0, dir_.c_str()), 0);
        EXPECT_EQ(rows(), made);
        EXPECT_EQ(CSgetSched(dir_.c_str()), 0);
        EXPECT_EQ(CStypeIndexed(), 0);
    }
}

TEST_F(ScheduleFile, ReaderRules)
{
    configure_file_type(2);
    // Comments anywhere, blank lines and short rows repeat entries, signs and
    // junk after the integers, a last line without line end.
    write_file("sampling.sch",
               "# made by hand\n"
               "#\n"
               "  3   17 trailing words\n"
               "# between\n"
               "\n"
               "5\n"
               "-2 +4 9 9\n"
               "6-1\n"
               "x 1 2\n"
               "7 8");
    ASSERT_EQ(CSreadSched(dir_.c_str()), 0);
    EXPECT_EQ(rows(), (Rows{{3, 17}, {3, 17}, {5, 17}, {-2, 4}, {6, -1}, {6, -1}, {7, 8}}));

    // Pieces of 255 characters: a longer line is read as several rows.
    std::string long_line = "1 2" + std::string(300, ' ') + "4\n";
    write_file("sampling.sch", long_line + "#" + std::string(300, 'c') + "\n");
    ASSERT_EQ(CSreadSched(dir_.c_str()), 0);
    // The line: "1 2" + blanks (a piece), then blanks and "4" (a second
    // piece); the comment's second piece is not a comment.
    EXPECT_EQ(rows(), (Rows{{1, 2}, {4, 2}, {4, 2}}));

    // Huge values are clamped rather than wrapped.
    write_file("sampling.sch", "99999999999 -99999999999\n");
    ASSERT_EQ(CSreadSched(dir_.c_str()), 0);
    EXPECT_EQ(rows(), (Rows{{INT32_MAX, INT32_MIN}}));
}

TEST_F(ScheduleFile, ReaderCodes)
{
    configure_file_type(3);
    EXPECT_EQ(CSreadSched(dir_.c_str()), CS_READ_NOFILE);
    const std::pair<const char *, int> cases[] = {
        {"", CS_READ_NODATA},           {"# only\n#\n", CS_READ_NODATA},
        {"\n1 2 3\n", CS_READ_NODATA},  {"a 1 2 3\n", CS_READ_NODATA},
        {"1 2\n", CS_READ_COLUMNS},     {"1 2 3 4\n", CS_READ_COLUMNS},
        {"#c\n1 2 3", CS_READ_OK},
    };
    for (auto [content, code] : cases) {
        write_file("sampling.sch", content);
        EXPECT_EQ(CSreadSched(dir_.c_str()), code) << content;
    }
    // Nothing changes on a failed read.
    const Rows held = rows();
    write_file("sampling.sch", "1 2\n");
    EXPECT_EQ(CSreadSched(dir_.c_str()), CS_READ_COLUMNS);
    EXPECT_EQ(rows(), held);
    EXPECT_EQ(getCSnum(), 1);

    // A directory that is no directory, a NULL directory, no directory at all.
    EXPECT_EQ(CSreadSched("/nonexistent/dir"), CS_READ_NOFILE);
    EXPECT_EQ(CSreadSched(nullptr), CS_READ_NOFILE);
}

TEST_F(ScheduleFile, FourOrMoreColumnsReadBack)
{
    configure_file_type(4);
    write_file("sampling.sch", "0 0 0 0\n1 2 3 4\n5\n");
    ASSERT_EQ(CSreadSched(dir_.c_str()), 0);
    EXPECT_EQ(rows(), (Rows{{0, 0, 0, 0}, {1, 2, 3, 4}, {5, 2, 3, 4}}));

    tossVars(getTreeRootByIndex(1));
    configure_file_type(10);
    write_file("sampling.sch", "1 2 3 4 5 6 7 8 9 10 11\n\n");
    ASSERT_EQ(CSreadSched(dir_.c_str()), 0);
    EXPECT_EQ(rows(), (Rows(2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})));
}

TEST_F(ScheduleFile, ReadStatusHeldByInit)
{
    configure_file_type(1);
    write_file("sampling.sch", "0\n4\n");
    ASSERT_EQ(CSinit(0, dir_.c_str()), 0);
    EXPECT_EQ(cs.readStatus, 1);
    EXPECT_EQ(getCSnum(), 2);
    std::filesystem::remove(path("sampling.sch"));
    EXPECT_EQ(CSgetSched(dir_.c_str()), 0);  // held, not read again
    EXPECT_EQ(rows(), (Rows{{0}, {4}}));

    EXPECT_EQ(CSinit(0, dir_.c_str()), -1);
    EXPECT_EQ(cs.readStatus, CS_READ_NOFILE);
    write_file("sampling.sch", "0\n");
    EXPECT_EQ(CSgetSched(dir_.c_str()), CS_READ_NOFILE);  // the failure is reported again
    EXPECT_EQ(CSreadSched(dir_.c_str()), CS_READ_NOFILE);

    write_file("sampling.sch", "\n");
    EXPECT_EQ(CSinit(0, dir_.c_str()), -1);
    EXPECT_EQ(CSgetSched(dir_.c_str()), CS_READ_NODATA);
    write_file("sampling.sch", "1 2\n");
    EXPECT_EQ(CSinit(0, dir_.c_str()), -1);
    EXPECT_EQ(CSgetSched(dir_.c_str()), CS_READ_COLUMNS);

    // Without a directory nothing is read at init, and every CSgetSched reads anew.
    ASSERT_EQ(CSinit(0, nullptr), 0);
    EXPECT_EQ(cs.readStatus, 0);
    write_file("sampling.sch", "3\n");
    EXPECT_EQ(CSgetSched(dir_.c_str()), 0);
    EXPECT_EQ(rows(), (Rows{{3}}));
    write_file("sampling.sch", "5\n6\n");
    EXPECT_EQ(CSgetSched(dir_.c_str()), 0);
    EXPECT_EQ(rows(), (Rows{{5}, {6}}));

    // No sparse dimension: any read fails.
    tossVars(getTreeRootByIndex(1));
    set_text("CStype", "i");
    EXPECT_EQ(CSinit(0, dir_.c_str()), -1);
    EXPECT_EQ(cs.readStatus, CS_READ_COLUMNS);
}

TEST_F(ScheduleFile, NameRedirectsReaderAndWriter)
{
    set_dimension(1, 8, 50);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    std::snprintf(getCSname(), CS_NAME_SIZE, "%s", path("elsewhere.sch").c_str());
    ASSERT_EQ(CSgetSched("/nonexistent"), 0);
    EXPECT_EQ(read_file("elsewhere.sch"), "0    \n2    \n5    \n7    \n");

    std::snprintf(getCSname(), CS_NAME_SIZE, "relative.sch");
    CSwriteSched(dir_.c_str());
    EXPECT_EQ(read_file("relative.sch"), "0    \n2    \n5    \n7    \n");

    set_text("CStype", "i");
    ASSERT_EQ(CSinit(0, nullptr), 0);
    EXPECT_STREQ(getCSname(), "sampling.sch");
    std::snprintf(getCSname(), CS_NAME_SIZE, "%s", path("elsewhere.sch").c_str());
    EXPECT_EQ(CSreadSched("/nonexistent"), 0);
    EXPECT_EQ(getCSnum(), 4);
}

TEST_F(ScheduleFile, OverlongPathsAreRefused)
{
    set_dimension(1, 8, 50);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    // dir_ + "/" + name: exactly 255 characters is accepted, 256 is not.
    std::string sub = dir_ + "/" + std::string(100, 'a');
    ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
    sub += "/" + std::string(100, 'b');
    ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
    const std::size_t room = 255 - sub.size() - 1;
    std::snprintf(getCSname(), CS_NAME_SIZE, "%s", std::string(room, 'n').c_str());
    CSgetSched(sub.c_str());
    EXPECT_TRUE(std::filesystem::exists(sub + "/" + std::string(room, 'n')));

    std::snprintf(getCSname(), CS_NAME_SIZE, "%s", std::string(room + 1, 'm').c_str());
    CSgetSched(sub.c_str());  // silently not written
    EXPECT_FALSE(std::filesystem::exists(sub + "/" + std::string(room + 1, 'm')));
    set_text("CStype", "i");
    ASSERT_EQ(CSinit(0, nullptr), 0);
    std::snprintf(getCSname(), CS_NAME_SIZE, "%s", std::string(room + 1, 'm').c_str());
    EXPECT_EQ(CSreadSched(sub.c_str()), CS_READ_NOFILE);

    // An unterminated name buffer is no name.
    std::memset(getCSname(), 'x', CS_NAME_SIZE);
    EXPECT_EQ(CSreadSched(dir_.c_str()), CS_READ_NOFILE);
}

TEST_F(ScheduleFile, EmptyScheduleWritesAnEmptyFileAndUnwritableIsSilent)
{
    ASSERT_EQ(CSinit(0, nullptr), 0);
    EXPECT_EQ(CSgetSched(dir_.c_str()), 0);
    EXPECT_EQ(read_file("sampling.sch"), "");
    set_dimension(1, 8, 50);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    EXPECT_EQ(CSgetSched("/nonexistent/dir"), 0);
    EXPECT_EQ(getCSnum(), 4);
}

TEST_F(ScheduleFile, MemoryFailureWhileReadingChangesNothing)
{
    configure_file_type(2);
    write_file("sampling.sch", "1 2\n3 4\n");
    ASSERT_EQ(CSreadSched(dir_.c_str()), 0);
    memalloc_fail_nth(2);
    write_file("sampling.sch", "5 6\n");
    EXPECT_EQ(CSreadSched(dir_.c_str()), CS_READ_NOFILE);
    memalloc_fail_nth(0);
    EXPECT_EQ(rows(), (Rows{{1, 2}, {3, 4}}));
}

}  // namespace
