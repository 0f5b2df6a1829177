// The line rules of the lock-frequency table.
#include <gtest/gtest.h>

#include <string>

#include "lock_table_fixture.h"
#include "synthcalc.h"

namespace {

struct Found {
    int status;
    double synthif;
    std::string sense;
    double lockref;
};

class LockTable : public LockTableTest {
protected:
    Found read(int key)
    {
        Found f{0, -7.0, "", -7.0};
        char sense[2] = {'?', '\0'};
        f.status = lockfreqtab_read(table_path().c_str(), key, &f.synthif, sense, &f.lockref);
        f.sense = sense;
        return f;
    }
};

TEST_F(LockTable, FirstRowOfTheKeyWithAUsableSenseAnswers)
{
    write_table("300 8.5 - 40.25\n"
                "400 11 x 1\n"          // another sense: passed over
                "400  10.0  +  50.0\n"
                "400 99 - 99\n");
    Found f = read(400);
    EXPECT_EQ(f.status, 0);
    EXPECT_EQ(f.synthif, 10.0);
    EXPECT_EQ(f.sense, "+");
    EXPECT_EQ(f.lockref, 50.0);

    f = read(300);
    EXPECT_EQ(f.status, 0);
    EXPECT_EQ(f.sense, "-");
    EXPECT_EQ(f.lockref, 40.25);
    EXPECT_TRUE(aborts_.empty());
}

TEST_F(LockTable, FailedSearchLeavesFrequenciesAndKeepsTheLastSense)
{
    write_table("300 8.5 - 40.25\n"
                "500 1 x 2\n");
    const Found f = read(400);
    EXPECT_EQ(f.status, -1);
    EXPECT_EQ(f.synthif, -7.0);
    EXPECT_EQ(f.lockref, -7.0);
    EXPECT_EQ(f.sense, "x");
}

TEST_F(LockTable, CommentsEmptyLinesAndCarriageReturnsArePassedOver)
{
    write_table("# key synthif sense lockref\n"
                "\n"
                "\r\n"
                "#400 1 + 1\n"
                "400 10.0 + 50.0\r\n");
    const Found f = read(400);
    EXPECT_EQ(f.status, 0);
    EXPECT_EQ(f.lockref, 50.0);
    EXPECT_TRUE(aborts_.empty());
}

TEST_F(LockTable, LinesThatDoNotScanAreTableErrorsEvenBeforeTheRow)
{
    const char *bad_lines[] = {
        "   \n",             // blanks only
        " # indented comment\n",
        "400 10.0 +\n",      // three fields
        "400 10.0\n",
        "key 10 + 50\n",
        "400 ten + 50\n",
        "400 10 + fifty\n",
    };
    for (const char *bad : bad_lines) {
        SCOPED_TRACE(bad);
        aborts_.clear();
        write_table(std::string(bad) + "400 10.0 + 50.0\n");
        EXPECT_EQ(read(400).status, -1);
        ASSERT_EQ(aborts_.size(), 1u);
        EXPECT_EQ(aborts_[0], "PSG: Error in lockfreqtab file.");
    }
    // After the row that answers, nothing more is read.
    aborts_.clear();
    write_table("400 10.0 + 50.0\n   \n");
    EXPECT_EQ(read(400).status, 0);
    EXPECT_TRUE(aborts_.empty());
}

TEST_F(LockTable, LastLineWithoutNewlineIsNeverExamined)
{
    write_table("300 8.5 - 40.25\n400 10.0 + 50.0");
    EXPECT_EQ(read(400).status, -1);
    write_table("300 8.5 - 40.25\nnot a row at all");
    EXPECT_EQ(read(400).status, -1);
    EXPECT_TRUE(aborts_.empty());
}

TEST_F(LockTable, OnlyTheFirst255CharactersOfALineCount)
{
    // The row's lockref starts beyond the kept head: the head has three fields.
    std::string cut = "400 10.0 +" + std::string(245, ' ') + "50.0\n";
    ASSERT_EQ(cut.find("50.0"), 255u);
    write_table(cut);
    EXPECT_EQ(read(400).status, -1);
    EXPECT_EQ(aborts_.size(), 1u);

    // A long tail after the four fields is dropped, and the next line is a
    // line of its own.
    aborts_.clear();
    write_table("300 1 + 2 " + std::string(600, 'z') + "\n400 10.0 + 50.0\n");
    const Found f = read(400);
    EXPECT_EQ(f.status, 0);
    EXPECT_EQ(f.lockref, 50.0);
    EXPECT_TRUE(aborts_.empty());

    // Exactly 255 characters before the newline: all of them count.
    std::string full = "400 10.0 +" + std::string(241, ' ') + "50.0\n";
    ASSERT_EQ(full.size(), 256u);
    write_table(full);
    EXPECT_EQ(read(400).status, 0);
}

TEST_F(LockTable, KeysOutsideTheIntRangeMatchNothing)
{
    // 2^32 + 400 would wrap to 400 in a 32-bit conversion.
    write_table("4294967696 1 + 2\n400 10.0 + 50.0\n");
    const Found f = read(400);
    EXPECT_EQ(f.status, 0);
    EXPECT_EQ(f.synthif, 10.0);
    EXPECT_TRUE(aborts_.empty());
}

TEST_F(LockTable, MissingFileAndNullArguments)
{
    EXPECT_EQ(read(400).status, -1);  // no table written
    EXPECT_TRUE(aborts_.empty());
    EXPECT_EQ(lockfreqtab_read(nullptr, 400, nullptr, nullptr, nullptr), -1);
    write_table("400 10.0 + 50.0\n");
    EXPECT_EQ(lockfreqtab_read(table_path().c_str(), 400, nullptr, nullptr, nullptr), 0);
}

}  // namespace
