// The table lookup a caller makes before asking for a word, and the offset
// the synthesizer is handed.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "lock_table_fixture.h"
#include "synthcalc.h"

namespace {

using TableLookup = LockTableTest;

TEST_F(TableLookup, TellsAMissingTableAMissingRowAndADamagedTableApart)
{
    int error = -1;
    EXPECT_EQ(lockfreqtab_find(400, &error), LOCKFREQTAB_NO_TABLE);
    EXPECT_EQ(error, ENOENT);

    write_table("# key synthif sense lockref\n400 10.0 + 50.0\n");
    EXPECT_EQ(lockfreqtab_find(400, &error), LOCKFREQTAB_ROW_FOUND);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(lockfreqtab_find(500, &error), LOCKFREQTAB_NO_ROW);
    EXPECT_EQ(error, 0);

    // A line that does not scan before the row damages the table; after
    // the row it is never read.
    write_table("400 ten + 50\n400 10.0 + 50.0\n");
    EXPECT_EQ(lockfreqtab_find(400, nullptr), LOCKFREQTAB_DAMAGED);
    write_table("400 10.0 + 50.0\n400 ten + 50\n");
    EXPECT_EQ(lockfreqtab_find(400, nullptr), LOCKFREQTAB_ROW_FOUND);

    // The lookup never calls the abort handler: the caller words the trouble.
    EXPECT_TRUE(aborts_.empty());
}

TEST_F(TableLookup, ADirectoryAndAnOverlongSystemDirectoryAreNoTable)
{
    std::filesystem::create_directories(table_path());
    int error = 0;
    EXPECT_EQ(lockfreqtab_find(400, &error), LOCKFREQTAB_NO_TABLE);
    EXPECT_EQ(error, EISDIR);

    set_systemdir(std::string(LOCKFREQTAB_SYSTEMDIR_MAX + 1, 'd'));
    EXPECT_EQ(lockfreqtab_find(400, &error), LOCKFREQTAB_NO_TABLE);
    EXPECT_EQ(error, ENAMETOOLONG);
}

TEST_F(TableLookup, TheOffsetIsWhatTheTwoSynthesizerWordsCarry)
{
    write_table("400 10.5 + 50.25\n300 2.0 - 1.0\n");
    for (const auto &[key, lockfreq] : {std::pair{400, 41.0}, std::pair{300, 2.5}, std::pair{400, 61.0}}) {
        SCOPED_TRACE(key);
        const double offset = getlkfreqoffset(key, lockfreq);
        int words[2] = {0, 0};
        getlkfreqDDsi(lockfreq, key, words);
        const std::uint64_t bits = (std::uint64_t{static_cast<std::uint32_t>(words[0])} << 32) |
                                   static_cast<std::uint32_t>(words[1]);
        double joined = 0.0;
        std::memcpy(&joined, &bits, sizeof joined);
        EXPECT_EQ(offset, joined);
        EXPECT_GE(offset, 0.0);
    }
    EXPECT_EQ(getlkfreqoffset(400, 41.0), 1.25);   // |(41 + 10.5) - 50.25|
    EXPECT_EQ(getlkfreqoffset(300, 2.5), 0.5);     // |(2.5 - 2) - 1|
    EXPECT_EQ(getlkfreqoffset(999, 41.0), -1.0);  // no row
}

}  // namespace
