// Shim sets: which shims each set has, names and indices, and the two ways
// of choosing the current set.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "shims.h"
#include "shims_internal.h"
#include "tree_fixture.h"

namespace {

using Ranges = std::vector<std::pair<int, int>>;

// The shims of every set as ranges of indices, written from the catalogue of
// sets rather than from the bit masks.
const Ranges kPresent[MAX_SHIMSET + 1] = {
    {},
    {{1, 7}, {16, 23}},
    {{1, 8}, {16, 27}},
    {{1, 2}, {4, 4}, {6, 9}, {16, 31}},
    {{1, 2}, {4, 4}, {6, 10}, {12, 31}},
    {{1, 43}},
    {{1, 2}, {4, 4}, {6, 8}, {16, 27}},
    {{1, 2}, {4, 4}, {6, 9}, {16, 29}},
    {{2, 2}, {4, 4}, {6, 7}, {16, 21}, {24, 27}},
    {{1, 2}, {4, 4}, {6, 10}, {12, 41}, {44, 45}},
    {{1, 8}, {16, 23}},
    {{2, 2}, {4, 4}, {16, 21}},
    {{1, 2}, {4, 4}, {6, 8}, {12, 31}},
    {{1, 2}, {4, 4}, {6, 9}, {12, 31}, {38, 39}},
    {{1, 2}, {4, 4}, {6, 9}, {12, 33}, {38, 41}, {44, 45}},
    {{1, 2}, {4, 4}, {6, 7}, {16, 21}, {24, 27}},
    {{1, 5}, {16, 27}, {42, 43}},
    {{1, 2}, {4, 4}, {6, 9}, {12, 31}},
    {{1, 2}, {4, 4}, {6, 6}, {16, 27}},
    {{1, 2}, {4, 4}, {6, 10}, {12, 31}},
    {{1, 2}, {4, 4}, {6, 10}, {12, 33}, {38, 39}},
};
const int kCount[MAX_SHIMSET + 1] = {0,  15, 20, 23, 28, 43, 18, 21, 14, 40, 16,
                                     8,  26, 29, 35, 15, 19, 27, 16, 28, 32};

const char *const kStandardNames[SHIM_INDEX_COUNT] = {
    "z0f", "z0", "z1", "z1c", "z2", "z2c", "z3", "z4", "z5", "z6", "z7", "z8",
    "zx3", "zy3", "z4x", "z4y", "x1", "y1", "xz", "xy", "x2y2", "yz", "x3", "y3",
    "yz2", "zx2y2", "xz2", "zxy", "z3x", "z3y", "z2x2y2", "z2xy", "z3x2y2", "z3xy", "z2x3", "z2y3",
    "z3x3", "z3y3", "z5x", "z5y", "z4x2y2", "z4xy", "z3c", "z4c", "x4", "y4", "", ""};

std::string expected_name(int set, int index)
{
    if (set == 12) {
        if (index == 14)
            return "x4";
        if (index == 15)
            return "y4";
        if (index == 44 || index == 45)
            return "";
    }
    return kStandardNames[index];
}

std::set<int> present(int set)
{
    std::set<int> indices;
    for (const auto &[first, last] : kPresent[set])
        for (int i = first; i <= last; ++i)
            indices.insert(i);
    return indices;
}

class ShimSet : public TreeTest {
protected:
    void TearDown() override
    {
        init_shimnames_by_setnum(1);
        TreeTest::TearDown();
    }

    // init_shimnames on tree 4 holding "shimset" = value; the standard error
    // text goes to `err`.
    int init_from(double value, std::string &err)
    {
        toss_all();
        make_real(4, "shimset", {value});
        testing::internal::CaptureStderr();
        const int result = init_shimnames(4);
        err = testing::internal::GetCapturedStderr();
        return result;
    }
};

TEST_F(ShimSet, EverySetHasExactlyItsShimsUnderTheirNames)
{
    for (int set = 1; set <= MAX_SHIMSET; ++set) {
        SCOPED_TRACE("set " + std::to_string(set));
        init_shimnames_by_setnum(set);
        const std::set<int> has = present(set);
        EXPECT_EQ(static_cast<int>(has.size()), kCount[set]);
        EXPECT_EQ(shimCount(), kCount[set]);
        EXPECT_EQ(isRRI(), set == 5 || set == 11 || set == 16);
        for (int i = 0; i < SHIM_INDEX_COUNT; ++i) {
            const char *name = get_shimname(static_cast<unsigned>(i));
            EXPECT_EQ(isactive(i) != 0, has.count(i) == 1) << "index " << i;
            if (has.count(i) == 0) {
                EXPECT_EQ(name, nullptr) << "index " << i;
                continue;
            }
            ASSERT_NE(name, nullptr) << "index " << i;
            EXPECT_EQ(name, expected_name(set, i)) << "index " << i;
            EXPECT_EQ(get_shimindex(name), i);
        }
        EXPECT_EQ(get_shimname(0), nullptr);
        EXPECT_EQ(get_shimname(48), nullptr);
        EXPECT_EQ(get_shimname(static_cast<unsigned>(-1)), nullptr);
        EXPECT_EQ(isactive(48), 0);
        EXPECT_EQ(isactive(-1), 0);
    }
}

TEST_F(ShimSet, X4AndY4MoveInSet12)
{
    init_shimnames_by_setnum(12);
    EXPECT_EQ(get_shimindex("x4"), 14);
    EXPECT_EQ(get_shimindex("y4"), 15);
    EXPECT_STREQ(get_shimname(14), "x4");
    EXPECT_EQ(get_shimindex("z4x"), -1);  // not in set 12's table at all
    for (int set : {9, 14}) {
        init_shimnames_by_setnum(set);
        EXPECT_EQ(get_shimindex("x4"), 44);
        EXPECT_EQ(get_shimindex("y4"), 45);
    }
    init_shimnames_by_setnum(4);
    EXPECT_STREQ(get_shimname(14), "z4x");
    init_shimnames_by_setnum(1);
    EXPECT_EQ(get_shimindex("x4"), -1);
}

TEST_F(ShimSet, NamesMatchExactly)
{
    init_shimnames_by_setnum(1);
    EXPECT_EQ(get_shimindex("z1"), 2);
    EXPECT_EQ(get_shimindex("Z1"), -1);
    EXPECT_EQ(get_shimindex("z1 "), -1);
    EXPECT_EQ(get_shimindex("z0f"), -1);  // named but in no set
    EXPECT_EQ(get_shimindex(""), -1);     // the empty slots are not in set 1
    EXPECT_EQ(get_shimindex(nullptr), -1);
}

TEST_F(ShimSet, SetsOutsideTheTableHaveEveryIndex)
{
    init_shimnames_by_setnum(25);
    EXPECT_EQ(shimCount(), 0);
    EXPECT_EQ(isRRI(), 0);
    for (unsigned i = 0; i < SHIM_INDEX_COUNT; ++i)
        ASSERT_NE(get_shimname(i), nullptr) << i;
    EXPECT_STREQ(get_shimname(0), "z0f");
    EXPECT_STREQ(get_shimname(46), "");
    EXPECT_EQ(get_shimindex(""), 46);
    EXPECT_EQ(get_shimname(48), nullptr);

    init_shimnames_by_setnum(0);  // set 0 has no row of its own in use
    EXPECT_STREQ(get_shimname(0), "z0f");
    EXPECT_EQ(shimCount(), 0);
}

TEST_F(ShimSet, ShimsetParameterIsRoundedAndClamped)
{
    std::string err;
    EXPECT_EQ(init_from(12.49, err), 12);
    EXPECT_EQ(err, "");
    EXPECT_STREQ(get_shimname(14), "x4");

    EXPECT_EQ(init_from(12.6, err), 13);
    EXPECT_STREQ(get_shimname(14), "z4x");  // the standard table again

    EXPECT_EQ(init_from(12.5, err), 13);
    EXPECT_EQ(init_from(0.5, err), 1);
    EXPECT_EQ(err, "");
    EXPECT_EQ(init_from(20.49, err), 20);

    EXPECT_EQ(init_from(25, err), 20);
    EXPECT_EQ(err, "shimset number > MAX_SHIMSET (25>20)\n");
    EXPECT_EQ(shimCount(), 32);

    EXPECT_EQ(init_from(0, err), 1);
    EXPECT_EQ(err, "Illegal shimset number: 0\n");
    EXPECT_EQ(init_from(-0.7, err), 1);
    EXPECT_EQ(err, "Illegal shimset number: 0\n");
    EXPECT_EQ(init_from(-3, err), 1);
    EXPECT_EQ(err, "Illegal shimset number: -2\n");  // -2.5 toward zero
}

TEST_F(ShimSet, ShimsetOutsideTheIntRangeOrNotANumber)
{
    std::string err;
    EXPECT_EQ(init_from(1e12, err), 20);
    EXPECT_EQ(err, "shimset number > MAX_SHIMSET (2147483647>20)\n");
    EXPECT_EQ(init_from(-1e12, err), 1);
    EXPECT_EQ(err, "Illegal shimset number: -2147483648\n");
    EXPECT_EQ(init_from(std::numeric_limits<double>::infinity(), err), 20);
    EXPECT_EQ(init_from(std::numeric_limits<double>::quiet_NaN(), err), 1);
    EXPECT_EQ(err, "Illegal shimset number: 0\n");
}

TEST_F(ShimSet, TreesAndMissingParameter)
{
    init_shimnames_by_setnum(12);
    EXPECT_EQ(init_shimnames(1), -1);
    EXPECT_EQ(shimCount(), 0);
    EXPECT_EQ(isRRI(), 0);
    EXPECT_STREQ(get_shimname(14), "z4x");  // the standard table was chosen

    testing::internal::CaptureStderr();
    EXPECT_EQ(init_shimnames(4), 1);  // no "shimset" anywhere: set 1 quietly
    EXPECT_EQ(init_shimnames(0), 1);
    make_string(4, "shimset", {"5"});  // not a real
    EXPECT_EQ(init_shimnames(4), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    make_real(0, "shimset", {5.0});
    EXPECT_EQ(init_shimnames(0), 5);
    EXPECT_EQ(isRRI(), 1);
    EXPECT_EQ(init_shimnames(4), 1);  // tree 0 is not a fallback
}

TEST_F(ShimSet, ByNumberKeepsTheNumber)
{
    init_shimnames_by_setnum(-7);
    EXPECT_EQ(shimCount(), 0);
    init_shimnames_by_setnum(11);
    EXPECT_EQ(shimCount(), 8);
    EXPECT_EQ(isRRI(), 1);
}

extern "C" int shims_header_c11_count(void);

TEST(ShimsHeader, CompilesAsC)
{
    EXPECT_EQ(shims_header_c11_count(), 43);
}

}  // namespace
