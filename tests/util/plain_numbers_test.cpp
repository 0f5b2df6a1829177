// The one plain form of numbers: what it takes, what it refuses, and the
// ranges and lists built on it.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <string>
#include <vector>

#include "psenv_util/plain_numbers.h"

namespace {

using psenv::util::parse_decimal;
using psenv::util::parse_decimal_list;
using psenv::util::parse_integer;
using psenv::util::parse_real;
using psenv::util::parse_whole;
using psenv::util::parse_whole_list;

TEST(PlainNumbers, RealsInPlainDecimalFormOnly)
{
    for (const auto &[text, value] : std::vector<std::pair<std::string, double>>{
             {"0", 0.0}, {"-2.5", -2.5}, {"+3", 3.0}, {".5", 0.5}, {"5.", 5.0},
             {"1e3", 1000.0}, {"1E-3", 0.001}, {"-0", -0.0}}) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(parse_real(text));
        EXPECT_EQ(*parse_real(text), value);
    }
    // Blanks, hexadecimal, words, a lone sign or point, a bare exponent and
    // values beyond a double are all refused.
    for (const char *text : {"", " 1", "1 ", "0x10", "inf", "nan", "-", ".", "e5", "1e", "1e+",
                             "1.2.3", "1,5", "1e999", "--1", "+-1"})
        EXPECT_FALSE(parse_real(text)) << text;
}

TEST(PlainNumbers, WholeNumbersTakeNoFractionNorExponent)
{
    EXPECT_EQ(parse_integer("+42"), 42);
    EXPECT_EQ(parse_integer("-9223372036854775808"), LLONG_MIN);
    for (const char *text : {"1.0", "1e3", "9223372036854775808", "0x1", "4 2"})
        EXPECT_FALSE(parse_integer(text)) << text;
}

TEST(PlainNumbers, RangesIncludeTheirEnds)
{
    EXPECT_EQ(parse_whole("7", 0, 7), 7);
    EXPECT_FALSE(parse_whole("8", 0, 7));
    EXPECT_FALSE(parse_whole("-1", 0, 7));
    EXPECT_EQ(parse_decimal("0.5", 0.5, 1.0), 0.5);
    EXPECT_FALSE(parse_decimal("0.49", 0.5, 1.0));
    // The smallest low above zero refuses zero itself and what underflows.
    EXPECT_FALSE(parse_decimal("0", DBL_TRUE_MIN, DBL_MAX));
    EXPECT_FALSE(parse_decimal("1e-400", DBL_TRUE_MIN, DBL_MAX));
}

TEST(PlainNumbers, ListsAreUnsignedCommaSeparatedAndBounded)
{
    EXPECT_EQ(parse_whole_list("64,32", 1, 100, 3), (std::vector<long long>{64, 32}));
    EXPECT_EQ(parse_decimal_list("0.5", 0.0, 1.0, 1), (std::vector<double>{0.5}));
    // An empty element, a sign, a blank, too many elements or one out of range.
    for (const char *text : {"", "64,", ",64", "64,,32", "+64", "64,-32", "64, 32", "1,2,3,4",
                             "64,101"})
        EXPECT_FALSE(parse_whole_list(text, 1, 100, 3)) << text;
}

}  // namespace
