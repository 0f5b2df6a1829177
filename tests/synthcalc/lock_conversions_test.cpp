// Offsets, words and frequencies of both console types.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "lock_table_fixture.h"
#include "memalloc.h"
#include "memalloc_testing.h"
#include "synthcalc.h"
#include "synthcalc_internal.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::uint64_t bits_of(double x)
{
    std::uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

// The "quilmar" word written out independently: extended precision
// throughout, truncated once.
long double quilmar_exact(double l, int key)
{
    long double n = 1, m = 1;
    if (key == 300)
        n = 23, m = 13;
    if (key == 400)
        n = 33, m = 13;
    return ((-20 * n / m + l) * 1000000.0L) * static_cast<long double>(107.3741824);
}

double quilmar_in_doubles(double l, int key)
{
    double n = 1, m = 1;
    if (key == 300)
        n = 23, m = 13;
    if (key == 400)
        n = 33, m = 13;
    double x = -20 * n / m + l;
    x = x * 1000000.0;
    return x * 107.3741824;
}

class Ardel : public LockTableTest {
protected:
    void SetUp() override
    {
        LockTableTest::SetUp();
        set_console(4, "ardel");
    }
};

TEST(SynthcalcConstants, FactorsHaveTheirBits)
{
    EXPECT_EQ(bits_of(0.15351), 0x3FC3A63736CDF267u);
    EXPECT_EQ(bits_of(107.3741824), 0x405AD7F29ABCAF48u);
}

TEST_F(Ardel, AddingRowGivesOffsetWordAndFrequency)
{
    write_table("400 10.0 + 50.0\n");
    EXPECT_DOUBLE_EQ(getlkfreqoffset(400, 61.4), 21.4);
    EXPECT_EQ(getlkfreqapword(61.4, 400), 8975810);
    EXPECT_EQ(apvalue2lkfreq(8975810, 400), 61.39999866485596);

    int words[2] = {0, 0};
    getlkfreqDDsi(61.4, 400, words);
    EXPECT_EQ(static_cast<std::uint32_t>(words[0]), 0x40356666u);
    EXPECT_EQ(static_cast<std::uint32_t>(words[1]), 0x66666666u);
}

TEST_F(Ardel, SubtractingRowGivesTheSameFrequencyBack)
{
    write_table("400 10.0 - 50.0\n");
    EXPECT_EQ(getlkfreqoffset(400, 61.4), 1.3999999999999986);
    EXPECT_EQ(getlkfreqapword(61.4, 400), 587202);
    EXPECT_EQ(apvalue2lkfreq(587202, 400), 61.39999866485596);
}

TEST_F(Ardel, OffsetDropsTheSignAndIsRoundedInExtendedPrecision)
{
    write_table("400 10.0 + 50.0\n");
    EXPECT_EQ(getlkfreqoffset(400, 30.0), 10.0);
    // (L + 0.1) - 0.3 rounded once differs from two double roundings here.
    write_table("400 0.1 + 0.3\n");
    const double l = 0.7;
    const double once = static_cast<double>((static_cast<long double>(l) + 0.1) - 0.3);
    ASSERT_NE(once, (l + 0.1) - 0.3);
    EXPECT_EQ(getlkfreqoffset(400, l), once);
}

TEST_F(Ardel, FrequencyFollowsTheSignOfLocksynth)
{
    // 400 * 0.15351 = 61.404; with lockref 80 locksynth is negative and the
    // step is taken downwards.
    write_table("400 10.0 + 80.0\n");
    const long double d = 1000.0L * 40 / 16777216;
    EXPECT_EQ(apvalue2lkfreq(1000, 400), static_cast<double>(80.0L - d - 10.0L));
    write_table("400 10.0 - 40.0\n");
    EXPECT_EQ(apvalue2lkfreq(-1000, 400), static_cast<double>(40.0L - d + 10.0L));
}

TEST_F(Ardel, MissingRowMapsToEachSentinel)
{
    write_table("300 10.0 + 50.0\n");
    EXPECT_EQ(getlkfreqoffset(400, 61.4), -1.0);
    EXPECT_EQ(getlkfreqapword(61.4, 400), -419430);
    EXPECT_EQ(apvalue2lkfreq(8975810, 400), 0.0);
    int words[2] = {7, 7};
    getlkfreqDDsi(61.4, 400, words);
    EXPECT_EQ(static_cast<std::uint32_t>(words[0]), 0xBFF00000u);
    EXPECT_EQ(words[1], 0);
}

TEST_F(Ardel, TableIsReadAfreshOnEveryCall)
{
    write_table("400 10.0 + 50.0\n");
    EXPECT_EQ(getlkfreqapword(61.4, 400), 8975810);
    write_table("400 10.0 - 50.0\n");
    EXPECT_EQ(getlkfreqapword(61.4, 400), 587202);
}

TEST_F(Ardel, TableErrorIsReportedAndMapped)
{
    write_table("   \n400 10.0 + 50.0\n");
    EXPECT_EQ(getlkfreqapword(61.4, 400), -419430);
    EXPECT_EQ(apvalue2lkfreq(1, 400), 0.0);
    ASSERT_EQ(aborts_.size(), 2u);
    EXPECT_EQ(aborts_[1], "PSG: Error in lockfreqtab file.");
}

TEST_F(Ardel, SystemdirOfMoreThan233CharactersMakesTheTableUnopenable)
{
    // Build a real directory whose path is exactly 233 and then 234 long.
    for (std::size_t length : {233u, 234u}) {
        SCOPED_TRACE(length);
        std::string dir = root_ + "/";
        dir += std::string(length - dir.size(), 'd');
        std::filesystem::create_directories(dir + "/nuctables");
        std::ofstream(dir + "/nuctables/lockfreqtab") << "400 10.0 + 50.0\n";
        set_systemdir(dir);
        EXPECT_EQ(getlkfreqoffset(400, 61.4), length == 233 ? 21.4 : -1.0);
    }
}

TEST_F(Ardel, HugeAndNotANumberFrequencies)
{
    write_table("400 10.0 + 50.0\n");
    EXPECT_EQ(getlkfreqapword(1e300, 400), INT32_MAX / 40);
    EXPECT_EQ(getlkfreqapword(kNaN, 400), -1);
    EXPECT_TRUE(std::isnan(getlkfreqoffset(400, kNaN)));
    // A clamped word is told from a true one.
    EXPECT_EQ(getlkfreqapword_fits(61.4, 400), 1);
    EXPECT_EQ(getlkfreqapword_fits(1e300, 400), 0);
    EXPECT_EQ(getlkfreqapword_fits(kNaN, 400), -1);
}

TEST_F(Ardel, DebugLinesWhileBgflagIsSet)
{
    write_table("400 10.0 + 50.0\n");
    bgflag = 1;
    testing::internal::CaptureStderr();
    getlkfreqapword(61.4, 400);
    apvalue2lkfreq(8975810, 400);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "lockfreqtab: synthif=10 lksense= + lockref=50\n"
                   "setlkfrqflt(): locksynth = 21.4 \n"
                   "lockfreqtab: synthif=10 lksense= + lockref=50\n"
                   "gettmpfreqsign ardel(): locksynth = 21.404 \n");
    bgflag = 0;
    testing::internal::CaptureStderr();
    getlkfreqapword(61.4, 400);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

class Quilmar : public LockTableTest {
protected:
    void SetUp() override
    {
        LockTableTest::SetUp();
        set_console(4, "quilmar");
    }
};

TEST_F(Quilmar, WordsWithoutTheTable)
{
    write_table("   \n");  // would be a table error if it were read
    EXPECT_EQ(getlkfreqapword(30.7, 200), 1148903751);
    EXPECT_EQ(getlkfreqapword(46.05, 300), 1145186953);
    EXPECT_EQ(getlkfreqapword(61.4, 400), 1141470154);
    EXPECT_EQ(getlkfreqapword(30.7, 500), 1148903751);  // any other key: (1, 1)
    EXPECT_TRUE(aborts_.empty());
    EXPECT_EQ(apvalue2lkfreq(1148903751, 200), 0.0);  // only "ardel" has the inverse
}

TEST_F(Quilmar, WordsAreTakenInExtendedPrecision)
{
    // Lock frequencies right at word boundaries, where rounding every step
    // to double can move the word by one: the module must follow the
    // extended-precision rule at each of them.
    int differing = 0;
    for (int key : {200, 300, 400}) {
        const long double shift = key == 300 ? 20.0L * 23 / 13 : key == 400 ? 20.0L * 33 / 13 : 20;
        for (long word = 1000000000; word < 1000002000; ++word) {
            double l = static_cast<double>(word / 107374182.4L + shift);
            l = std::nextafter(std::nextafter(l, 0.0), 0.0);
            for (int k = 0; k < 5; ++k, l = std::nextafter(l, 100.0)) {
                const auto expected = static_cast<int>(quilmar_exact(l, key));
                if (expected != static_cast<int>(quilmar_in_doubles(l, key)))
                    ++differing;
                ASSERT_EQ(getlkfreqapword(l, key), expected) << "L " << l << " key " << key;
            }
        }
    }
    EXPECT_GT(differing, 0);
}

TEST_F(Quilmar, WordsBeyondTheIntRangeAreClamped)
{
    EXPECT_EQ(getlkfreqapword(76.75, 200), INT32_MAX);
    EXPECT_EQ(getlkfreqapword(-1e9, 200), INT32_MIN);
    EXPECT_EQ(getlkfreqapword(10.0, 200), static_cast<int>(quilmar_exact(10.0, 200)));
    EXPECT_LT(getlkfreqapword(10.0, 200), 0);
    EXPECT_EQ(getlkfreqapword(kNaN, 200), -1);
    EXPECT_EQ(getlkfreqapword(std::numeric_limits<double>::infinity(), 200), INT32_MAX);
    // Only the words that were clamped are said not to fit; the range's
    // own ends are true words.
    EXPECT_EQ(getlkfreqapword_fits(76.75, 200), 0);
    EXPECT_EQ(getlkfreqapword_fits(-1e9, 200), 0);
    EXPECT_EQ(getlkfreqapword_fits(10.0, 200), 1);
    EXPECT_EQ(getlkfreqapword_fits(kNaN, 200), -1);
    EXPECT_EQ(getlkfreqapword_fits(std::numeric_limits<double>::infinity(), 200), 0);
}

TEST_F(LockTableTest, ConsoleComesFromTree4ThenTree0)
{
    write_table("400 10.0 + 50.0\n");
    EXPECT_EQ(getlkfreqapword(61.4, 400), -1);  // set in neither tree
    EXPECT_EQ(getlkfreqapword_fits(61.4, 400), -1);
    EXPECT_EQ(apvalue2lkfreq(8975810, 400), -1.0);
    set_console(0, "quilmar");
    EXPECT_EQ(getlkfreqapword(61.4, 400), 1141470154);
    set_console(4, "ardel");
    EXPECT_EQ(getlkfreqapword(61.4, 400), 8975810);
}

TEST_F(LockTableTest, ConsoleIsComparedWhole)
{
    write_table("400 10.0 + 50.0\n");
    for (const char *other : {"ardel ", "Ardel", "ard", "quilmar2", ""}) {
        SCOPED_TRACE(other);
        toss_all();
        set_console(4, other);
        EXPECT_EQ(getlkfreqapword(61.4, 400), -1);
        EXPECT_EQ(apvalue2lkfreq(8975810, 400), 0.0);
    }
    // A real "Console" in tree 4 does not read as text; tree 0 answers.
    toss_all();
    make_real(4, "Console", {1.0});
    set_console(0, "ardel");
    EXPECT_EQ(getlkfreqapword(61.4, 400), 8975810);
}

TEST_F(LockTableTest, ConsoleBufferIsReleasedOnEveryPath)
{
    write_table("400 10.0 + 50.0\n");
    for (const char *console : {"ardel", "quilmar", "other"}) {
        toss_all();
        set_console(4, console);
        const std::size_t live = memalloc_live_blocks(nullptr);
        getlkfreqapword(61.4, 400);
        getlkfreqapword(61.4, 999);
        apvalue2lkfreq(1, 400);
        apvalue2lkfreq(1, 999);
        EXPECT_EQ(memalloc_live_blocks(nullptr), live) << console;
    }
    toss_all();
    const std::size_t live = memalloc_live_blocks(nullptr);
    getlkfreqapword(61.4, 400);  // missing in both trees
    EXPECT_EQ(memalloc_live_blocks(nullptr), live);
    char *text = getconsoletype();
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(memalloc_live_blocks(nullptr), live);

    set_console(0, "ardel");
    const std::size_t with_console = memalloc_live_blocks(nullptr);
    text = getconsoletype();
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "ardel");
    EXPECT_EQ(memalloc_live_blocks(nullptr), with_console + 1);
    release(text);
}

TEST_F(LockTableTest, AllocationFailureGivesTheSentinels)
{
    write_table("400 10.0 + 50.0\n");
    set_console(4, "ardel");
    const std::size_t live = memalloc_live_blocks(nullptr);
    memalloc_fail_nth(1);
    EXPECT_EQ(getconsoletype(), nullptr);
    memalloc_fail_nth(1);
    EXPECT_EQ(getlkfreqapword(61.4, 400), -1);
    memalloc_fail_nth(1);
    EXPECT_EQ(apvalue2lkfreq(8975810, 400), -1.0);
    memalloc_fail_nth(0);
    EXPECT_EQ(memalloc_live_blocks(nullptr), live);
    // The offset never asks for the console.
    memalloc_fail_nth(1);
    EXPECT_DOUBLE_EQ(getlkfreqoffset(400, 61.4), 21.4);
    memalloc_fail_nth(0);
}

TEST_F(LockTableTest, ConsoleTextIsCutAt254Characters)
{
    const std::string longer(300, 'a');
    set_console(4, longer.c_str());
    char *text = getconsoletype();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), std::string(254, 'a'));
    release(text);
}

extern "C" int synthcalc_header_c11_word(void);

TEST(SynthcalcHeader, CompilesAsC)
{
    EXPECT_EQ(synthcalc_header_c11_word(), 3);
}

TEST(OneLongToTwoShort, SplitsUpperHalfFirst)
{
    short h[2] = {0, 0};
    oneLongToTwoShort(0x12345678, h);
    EXPECT_EQ(h[0], 0x1234);
    EXPECT_EQ(h[1], 0x5678);
    oneLongToTwoShort(-2, h);
    EXPECT_EQ(h[0], -1);
    EXPECT_EQ(h[1], -2);
    oneLongToTwoShort(INT32_MIN, h);
    EXPECT_EQ(h[0], INT16_MIN);
    EXPECT_EQ(h[1], 0);
    oneLongToTwoShort(0x00018000, h);
    EXPECT_EQ(h[0], 1);
    EXPECT_EQ(h[1], INT16_MIN);
    oneLongToTwoShort(1, nullptr);
    getlkfreqDDsi(1.0, 400, nullptr);
}

}  // namespace
