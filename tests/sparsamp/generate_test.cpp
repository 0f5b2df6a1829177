#include <algorithm>
#include <random>
#include <set>

#include "draw_index.h"
#include "memalloc_testing.h"
#include "sparsamp_fixture.h"

namespace {

using Generate = SparsampTest;
using sparsamp::cs;

std::vector<int> column(int k)
{
    std::vector<int> values;
    for (int i = 0; i < getCSnum(); ++i)
        values.push_back(static_cast<int>(getCSval(k, i)));
    return values;
}

TEST_F(Generate, GlibcSequenceInGridOrder)
{
    set_dimension(1, 8, 50);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    CSmakeSched();
    EXPECT_EQ(column(0), (std::vector<int>{0, 2, 5, 7}));
    EXPECT_EQ(cs.order, nullptr);
    // The seventh draw of that sequence names index 8, which is no grid point.
    srandom(169);
    long r = 0;
    for (int i = 0; i < 7; ++i)
        r = random();
    EXPECT_EQ(r, 2116448610);
    EXPECT_EQ(sparsamp::draw_index_extended(r, 8), 8);
}

TEST_F(Generate, GlibcSequenceInDrawingOrder)
{
    set_dimension(1, 8, 50);
    set_real("CSseed", -2);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    CSmakeSched();
    EXPECT_EQ(column(0), (std::vector<int>{0, 2, 1, 7}));
    ASSERT_NE(cs.order, nullptr);
    EXPECT_EQ(std::vector<int>(cs.order, cs.order + 4), (std::vector<int>{0, 2, 1, 7}));
}

TEST_F(Generate, FullDensityHoldsEveryPointInGridOrder)
{
    set_dimension(1, 4, 100);
    set_dimension(2, 3, 100);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    CSmakeSched();
    std::vector<std::vector<int>> expected;
    for (int b = 0; b < 3; ++b)
        for (int a = 0; a < 4; ++a)
            expected.push_back({a, b});
    EXPECT_EQ(rows(), expected);
    for (int m = 0; m < 12; ++m)
        EXPECT_NE(cs.mask[m], 0);
}

TEST_F(Generate, NothingToMake)
{
    ASSERT_EQ(CSinit(0, nullptr), 0);
    CSmakeSched();
    EXPECT_EQ(cs.mask, nullptr);
    EXPECT_EQ(getCSnum(), 0);

    // One point: the origin alone; the generator is seeded but not drawn.
    set_dimension(1, 8, 12.5);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    ASSERT_EQ(getCSnum(), 1);
    srandom(1);
    CSmakeSched();
    EXPECT_EQ(rows(), (std::vector<std::vector<int>>{{0}}));
    srandom(169);
    const long first = random();
    CSmakeSched();
    EXPECT_EQ(random(), first);
}

TEST_F(Generate, MorePointsThanTheGridMakesNothing)
{
    set_dimension(1, 4, 50);
    set_text("CStype", "i");
    write_file("sampling.sch", "0\n1\n2\n3\n3\n3\n");
    ASSERT_EQ(CSinit(0, dir_.c_str()), 0);
    ASSERT_EQ(getCSnum(), 6);
    CSmakeSched();  // must return although six distinct points of four cannot exist
    EXPECT_EQ(cs.mask, nullptr);
    EXPECT_EQ(column(0), (std::vector<int>{0, 1, 2, 3, 3, 3}));
}

TEST_F(Generate, SameSeedSameScheduleDifferentSeedOther)
{
    set_dimension(1, 40, 30);
    set_dimension(2, 20, 40);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    CSmakeSched();
    const auto first = rows();
    random();  // the generator's state in between must not matter
    CSmakeSched();
    EXPECT_EQ(rows(), first);
    set_real("CSseed", 170);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    CSmakeSched();
    EXPECT_NE(rows(), first);
}

TEST_F(Generate, MemoryFailureLeavesTheScheduleAsItWas)
{
    set_dimension(1, 8, 50);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    CSmakeSched();
    int *held = cs.sched[0];
    for (int nth = 1; nth <= 2; ++nth) {
        memalloc_fail_nth(nth);
        CSmakeSched();
        memalloc_fail_nth(0);
        EXPECT_EQ(cs.sched[0], held);
    }
}

// Schedules of many random shapes: origin first, no point twice, entries in
// range, the right count, grid order increasing, and the mask agreeing.
TEST_F(Generate, RandomConfigurationsGiveDistinctPointsOriginFirst)
{
    std::mt19937 pick(12345);
    for (int trial = 0; trial < 150; ++trial) {
        tossVars(getTreeRootByIndex(1));
        const int dims = 1 + static_cast<int>(pick() % 4);
        long long expected_num = 1;
        std::vector<int> dim;
        for (int j = 1; j <= dims; ++j) {
            const int ni = 2 + static_cast<int>(pick() % 20);
            const int density = 1 + static_cast<int>(pick() % 100);
            set_dimension(j, ni, density);
            const int sdim = static_cast<int>(ni * (density / 100.0L) + static_cast<long double>(0.1));
            if (sdim < 1)
                continue;
            dim.push_back(ni);
            expected_num *= sdim;
        }
        const bool drawing = pick() % 2 == 0;
        set_real("CSseed", drawing ? -static_cast<double>(pick() % 1000) - 1 : pick() % 1000);
        ASSERT_EQ(CSinit(0, nullptr), 0);
        ASSERT_EQ(getCSdimension(), static_cast<int>(dim.size()));
        if (dim.empty())
            continue;
        ASSERT_EQ(getCSnum(), expected_num);
        CSmakeSched();

        std::set<long long> seen;
        long long previous = -1;
        for (int i = 0; i < getCSnum(); ++i) {
            long long linear = 0, stride = 1;
            for (int k = 0; k < getCSdimension(); ++k) {
                const int c = static_cast<int>(getCSval(k, i));
                ASSERT_GE(c, 0);
                ASSERT_LT(c, dim[k]);
                linear += c * stride;
                stride *= dim[k];
            }
            if (i == 0) {
                EXPECT_EQ(linear, 0) << "trial " << trial;
            }
            EXPECT_TRUE(seen.insert(linear).second) << "trial " << trial;
            if (!drawing) {
                EXPECT_GT(linear, previous);
            }
            previous = linear;
        }
        long long marked = 0;
        for (int m = 0; m < cs.total; ++m)
            marked += cs.mask[m] != 0;
        EXPECT_EQ(marked, expected_num);
    }
}

TEST(DrawIndex, ExactQuotientEqualsExtendedRule)
{
    std::mt19937_64 pick(99);
    const int totals[] = {1, 2, 3, 8, 65536, 262144, 2097152, 999999937, 1000000000};
    for (int total : totals) {
        for (int n = 0; n < 20000; ++n) {
            const long r = static_cast<long>(pick() % 2147483648ULL);
            ASSERT_EQ(sparsamp::draw_index_exact(r, total),
                      sparsamp::draw_index_extended(r, total))
                << r << " of " << total;
        }
        for (long r : {0L, 1L, 2147483646L, 2147483647L})
            ASSERT_EQ(sparsamp::draw_index_exact(r, total),
                      sparsamp::draw_index_extended(r, total));
    }
}

}  // namespace
