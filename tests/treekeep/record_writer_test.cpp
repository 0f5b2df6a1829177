// The record writer against files written out by hand from the layout:
// header line, value section, enumeration section.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "real_format.h"
#include "save_support.h"
#include "tree_fixture.h"
#include "treekeep_internal.h"

namespace {

class RecordWriter : public TreeTest {
protected:
    // storeOnDisk's bytes for `name` of tree 1, or "<code>" when it fails.
    static std::string stored(const char *name)
    {
        char *bytes = nullptr;
        size_t size = 0;
        FILE *stream = open_memstream(&bytes, &size);
        int result = storeOnDisk(name, rfindVar(name, getTreeRootByIndex(1)), stream);
        std::fclose(stream);
        std::string text(bytes, size);
        std::free(bytes);
        return result == P_OK ? text : "<" + std::to_string(result) + ">";
    }

    static void set_header(varInfo *v, short subtype, double max, double min, double step,
                           short group, short dgroup, int prot, short active)
    {
        v->subtype = subtype;
        v->max = max;
        v->min = min;
        v->step = step;
        v->group = group;
        v->dgroup = dgroup;
        v->prot = prot;
        v->active = active;
    }
};

TEST_F(RecordWriter, RealRecord)
{
    varInfo *v = make_real(1, "width", {2.5, 10});
    set_header(v, 0, 100, 0, 0, 1, 2, 0, 1);
    EXPECT_EQ(stored("width"), "width 0 1 100 0 0 1 2 0 1 64\n"
                               "2 2.5 10 \n"
                               "0 \n");
}

TEST_F(RecordWriter, HeaderFieldsInFileOrderMaximumFirst)
{
    varInfo *v = make_real(1, "sfrq", {-0.0});
    set_header(v, -3, 1e9, -0.1, 1e-07, 7, 12, 0x8000 | 0x2000, 0);
    EXPECT_EQ(stored("sfrq"), "sfrq -3 1 1000000000 -0.1 1e-07 7 12 40960 0 64\n"
                              "1 -0 \n"
                              "0 \n");
    set_header(v, 32767, 1e12, 1e-05, 0.0001, -32768, 0, -1, -1);
    EXPECT_EQ(stored("sfrq"), "sfrq 32767 1 1e+12 1e-05 0.0001 -32768 0 -1 -1 64\n"
                              "1 -0 \n"
                              "0 \n");
}

TEST_F(RecordWriter, RealsHaveTwelveSignificantDigitsInShortestForm)
{
    varInfo *v = make_real(1, "r", {100, 0.1, 1e-07, 1.0 / 3, 123456789012345.0, 2.0 / 3});
    v->active = 1;
    EXPECT_EQ(stored("r"), "r 0 1 0 0 0 0 0 0 1 64\n"
                           "6 100 0.1 1e-07 0.333333333333 1.23456789012e+14 0.666666666667 \n"
                           "0 \n");
}

TEST_F(RecordWriter, StringRecordWithEnumeration)
{
    varInfo *v = make_string(1, "mode", {"red", "x\"y"});
    set_header(v, 0, 0, 0, 0, 1, 2, 0, 1);
    assignEString("red", v, 0);
    assignEString("blue", v, 2);
    EXPECT_EQ(stored("mode"), "mode 0 2 0 0 0 1 2 0 1 64\n"
                              "2 \"red\"\n"
                              "\"x\\\"y\"\n"
                              "2 \"red\" \"blue\" \n");
}

TEST_F(RecordWriter, BackslashQuoteAndLineBreakInsideStrings)
{
    // Every backslash and every double quote gets a backslash before it, in
    // values and enumeration entries alike; a line break stays as it is.
    varInfo *v = make_string(1, "path", {R"(C:\dir\)", "two\nlines", R"(say "hi")", ""});
    assignEString(R"(a"b\)", v, 0);
    EXPECT_EQ(stored("path"), "path 0 2 0 0 0 0 0 0 1 64\n"
                              R"(4 "C:\\dir\\")" "\n"
                              "\"two\nlines\"\n"
                              R"("say \"hi\"")" "\n"
                              R"("")" "\n"
                              R"(1 "a\"b\\" )" "\n");
}

TEST_F(RecordWriter, RealEnumeration)
{
    varInfo *v = make_real(1, "gain", {1.5});
    assignEReal(0.1, v, 0);
    assignEReal(100, v, 2);
    assignEReal(1e-07, v, 3);
    EXPECT_EQ(stored("gain"), "gain 0 1 0 0 0 0 0 0 1 64\n"
                              "1 1.5 \n"
                              "3 0.1 100 1e-07 \n");
}

TEST_F(RecordWriter, EmptyRecords)
{
    make_string(1, "s", {});
    make_real(1, "r", {});
    EXPECT_EQ(stored("s"), "s 0 2 0 0 0 0 0 0 1 64\n"
                           "0 0 \n");
    EXPECT_EQ(stored("r"), "r 0 1 0 0 0 0 0 0 1 64\n"
                           "0 \n"
                           "0 \n");
}

TEST_F(RecordWriter, OtherTypeCodesUseTheRealLayout)
{
    varInfo *odd = make_real(1, "odd", {3.25, -8});
    assignEReal(4, odd, 0);
    odd->type = 7;
    EXPECT_EQ(stored("odd"), "odd 0 7 0 0 0 0 0 0 1 64\n"
                             "2 3.25 -8 \n"
                             "1 4 \n");
    varInfo *none = make_real(1, "none", {});
    none->type = T_UNDEF;
    EXPECT_EQ(stored("none"), "none 0 0 0 0 0 0 0 0 1 64\n"
                              "0 \n"
                              "0 \n");
}

TEST_F(RecordWriter, ListsStopAtTheirCountOrTheirEnd)
{
    varInfo *v = make_real(1, "a", {1, 2, 3});
    v->size = 2;
    EXPECT_EQ(stored("a"), "a 0 1 0 0 0 0 0 0 1 64\n"
                           "2 1 2 \n"
                           "0 \n");
    v->size = 5;  // a count beyond the list: the count is written, then what is there
    EXPECT_EQ(stored("a"), "a 0 1 0 0 0 0 0 0 1 64\n"
                           "5 1 2 3 \n"
                           "0 \n");
    v->size = 3;
}

TEST_F(RecordWriter, EnumerationOfTheOtherKindIsWrittenEmpty)
{
    // The file reads enumeration entries in the layout of the record's type;
    // texts in a real record (or reals in a string one) have no form there.
    varInfo *real = make_real(1, "r", {1});
    assignEString("on", real, 0);
    ASSERT_EQ(real->enumType, T_STRING);
    EXPECT_EQ(stored("r"), "r 0 1 0 0 0 0 0 0 1 64\n"
                           "1 1 \n"
                           "0 \n");
    varInfo *text = make_string(1, "s", {"on"});
    assignEReal(2, text, 0);
    EXPECT_EQ(stored("s"), "s 0 2 0 0 0 0 0 0 1 64\n"
                           "1 \"on\"\n"
                           "0 \n");
}

TEST_F(RecordWriter, FailingWritesGiveWriteError)
{
    // Long enough to pass through several hand-overs to the stream.
    varInfo *v = make_string(1, "big", {std::string(40000, 'q').c_str(), "x"});
    ASSERT_NE(v, nullptr);
    std::string whole = stored("big");
    for (long budget : {0L, 5L, 40L, 16384L, 40010L, static_cast<long>(whole.size()) - 1}) {
        BudgetSink sink;
        sink.budget = budget;
        FILE *stream = open_budget_stream(&sink);
        EXPECT_EQ(storeOnDisk("big", v, stream), P_WRITE) << budget;
        std::fclose(stream);
    }
    BudgetSink sink;
    sink.budget = static_cast<long>(whole.size());
    FILE *stream = open_budget_stream(&sink);
    EXPECT_EQ(storeOnDisk("big", v, stream), P_OK);
    std::fclose(stream);
    EXPECT_EQ(sink.accepted, whole);
}

TEST(RealFormat, EqualsPrintfByteForByte)
{
    auto check = [](double value) {
        char ours[treekeep::kRealTextMax + 1];
        *treekeep::formatReal(value, ours) = '\0';
        char theirs[64];
        std::snprintf(theirs, sizeof theirs, "%.12g", value);
        return std::string(ours) == theirs ? ::testing::AssertionSuccess()
                                           : ::testing::AssertionFailure()
                                                 << ours << " vs " << theirs;
    };
    const double special[] = {0.0,
                              -0.0,
                              100,
                              0.1,
                              1e-07,
                              1e-05,
                              0.0001,
                              1e11,
                              1e12,
                              -1.0 / 3,
                              std::numeric_limits<double>::denorm_min(),
                              -std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::min(),
                              std::numeric_limits<double>::max(),
                              std::numeric_limits<double>::lowest(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN(),
                              -std::numeric_limits<double>::quiet_NaN(),
                              1234567890125.0,  // exact halfway at 12 digits
                              1234567890135.0,
                              0.5e-300};
    for (double value : special)
        EXPECT_TRUE(check(value));

    std::mt19937_64 bits(20261209);
    for (int i = 0; i < 300000; ++i) {
        std::uint64_t pattern = bits();
        double value;
        std::memcpy(&value, &pattern, sizeof value);
        ASSERT_TRUE(check(value));
    }
    // Whole numbers take a shortcut below 10^12; around its edge and across
    // it the text must not change.
    for (double edge : {1e12, 1e11, 1e6, 1.0}) {
        for (double step = -3; step <= 3; ++step) {
            EXPECT_TRUE(check(edge + step));
            EXPECT_TRUE(check(-(edge + step)));
            EXPECT_TRUE(check(edge + step / 2));
        }
    }
    for (int i = 0; i < 100000; ++i) {
        const auto whole = static_cast<std::int64_t>(bits() % 4000000000000ULL) - 2000000000000LL;
        ASSERT_TRUE(check(static_cast<double>(whole)));
    }
    // Dyadic values sit exactly on halfway points more often than random
    // bit patterns do.
    for (int exponent = -1074; exponent < 1024; exponent += 3)
        for (int mantissa = 1; mantissa < 64; ++mantissa)
            ASSERT_TRUE(check(std::ldexp(static_cast<double>(mantissa), exponent)));
}

}  // namespace
