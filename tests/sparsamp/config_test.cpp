#include <cmath>
#include <limits>

#include "sparsamp_fixture.h"

namespace {

using Config = SparsampTest;
using sparsamp::cs;

CSinfo info()
{
    CSinfo i;
    CSgetInfo(&i);
    return i;
}

TEST_F(Config, CountsAtTheExtendedPrecisionBoundaries)
{
    struct Case {
        double ni, density;
        int dim, sdim;
    } cases[] = {
        {64, 25, 64, 16}, {128, 30, 128, 38}, {6, 15, 6, 1},   // 0.9 + 0.1 reaches 1
        {830, 53, 830, 439}, {64, 100, 64, 64}, {2, 50, 2, 1}, {7.95, 10, 8, 0 /*skipped*/},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "ni " << c.ni << " density " << c.density);
        set_dimension(1, c.ni, c.density);
        ASSERT_EQ(CSinit(0, nullptr), 0);
        const CSinfo i = info();
        if (c.sdim == 0) {
            EXPECT_EQ(i.xdim, 0);
            continue;
        }
        ASSERT_EQ(i.xdim, 1);
        EXPECT_EQ(i.dim[0], c.dim);
        EXPECT_EQ(i.sdim[0], c.sdim);
        EXPECT_EQ(i.density[0], c.density / 100.0);
        EXPECT_EQ(i.total, c.dim);
        EXPECT_EQ(i.num, c.sdim);
    }
}

TEST_F(Config, CandidatesAreSkippedUnlessEveryTestHolds)
{
    // Each of these leaves no sparse dimension.
    const std::pair<double, double> skipped[] = {
        {1.0, 50}, {0.5, 50}, {64, 0}, {64, -5}, {64, 100.0001}, {64, 1.0}, // 0.64 + 0.1 < 1
        {std::nan(""), 50}, {64, std::nan("")}};
    for (auto [ni, density] : skipped) {
        SCOPED_TRACE(testing::Message() << "ni " << ni << " density " << density);
        set_dimension(1, ni, density);
        ASSERT_EQ(CSinit(0, nullptr), 0);
        EXPECT_EQ(getCSdimension(), 0);
        EXPECT_EQ(getCSnum(), 0);
        EXPECT_EQ(info().total, 0);
    }

    set_dimension(1, 64, 25);
    rfindVar("ni", getTreeRootByIndex(1))->active = 0;
    ASSERT_EQ(CSinit(0, nullptr), 0);
    EXPECT_EQ(getCSdimension(), 0);

    set_dimension(1, 64, 25);
    rfindVar("CSdensity", getTreeRootByIndex(1))->active = 0;
    ASSERT_EQ(CSinit(0, nullptr), 0);
    EXPECT_EQ(getCSdimension(), 0);
}

TEST_F(Config, AcceptedCandidatesLeaveNoGap)
{
    set_dimension(1, 64, 25);
    rfindVar("ni", getTreeRootByIndex(1))->active = 0;
    set_dimension(2, 32, 50);
    set_dimension(4, 10, 100);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    EXPECT_EQ(getCSdimension(), 2);
    EXPECT_STREQ(getCSpar(0), "d3");
    EXPECT_STREQ(getCSpar(1), "d5");
    EXPECT_EQ(info().total, 320);
    EXPECT_EQ(getCSnum(), 160);

    set_dimension(1, 64, 25);  // re-creating a record keeps its active flag
    rfindVar("ni", getTreeRootByIndex(1))->active = 1;
    ASSERT_EQ(CSinit(0, nullptr), 0);
    EXPECT_EQ(getCSdimension(), 3);
    EXPECT_EQ(info().total, 64 * 32 * 10);
    EXPECT_EQ(getCSnum(), 16 * 16 * 10);
    EXPECT_EQ(getCSparIndex("d3"), 1);
    EXPECT_EQ(getCSparIndex("d2"), 0);
    EXPECT_EQ(getCSparIndex("d4"), -1);
    EXPECT_EQ(getCSparIndex("d"), -1);
    EXPECT_EQ(getCSparIndex(nullptr), -1);
    // Free slots hold no schedule, one increment and no density.
    for (int k = 3; k < CS_MAX_DIMS; ++k) {
        EXPECT_EQ(cs.sched[k], nullptr);
        EXPECT_EQ(cs.dim[k], 1);
        EXPECT_EQ(cs.density[k], 0.0);
    }

    for (int j = 1; j <= 10; ++j)
        set_dimension(j, 2, 50);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    EXPECT_EQ(getCSdimension(), 10);
    EXPECT_STREQ(getCSpar(9), "d11");
    EXPECT_EQ(info().total, 1024);
    EXPECT_EQ(getCSnum(), 1);
}

TEST_F(Config, TypeFromCStype)
{
    const std::pair<const char *, int> cases[] = {
        {"d", CS_TYPE_FILE_D}, {"i", CS_TYPE_FILE_I}, {"D", 1}, {"I", 1}, {"dd", 1}, {"", 1},
        {"n", 1}};
    for (auto [value, type] : cases) {
        set_text("CStype", value);
        ASSERT_EQ(CSinit(0, nullptr), 0);
        EXPECT_EQ(info().type, type) << value;
        EXPECT_EQ(CStypeIndexed(), type == CS_TYPE_FILE_D ? 0 : 1) << value;
    }
    set_real("CStype", 3.0);  // not a text: no value read
    ASSERT_EQ(CSinit(0, nullptr), 0);
    EXPECT_EQ(info().type, CS_TYPE_GENERATED);
}

TEST_F(Config, SeedRoundsHalfAwayFromZeroAndNegativeSelectsDrawingOrder)
{
    ASSERT_EQ(CSinit(0, nullptr), 0);
    EXPECT_EQ(info().seed, 169);
    EXPECT_EQ(info().rand, 0);
    const struct {
        double value;
        int seed, rand;
    } cases[] = {{12.5, 13, 0}, {-12.5, -13, 1}, {0, 0, 0}, {12.49, 12, 0}, {-0.2, 0, 1},
                 {-2, -2, 1}, {3e12, INT32_MAX, 0}, {-3e12, INT32_MIN, 1},
                 {std::numeric_limits<double>::infinity(), INT32_MAX, 0}};
    for (const auto &c : cases) {
        set_real("CSseed", c.value);
        ASSERT_EQ(CSinit(0, nullptr), 0);
        EXPECT_EQ(info().seed, c.seed) << c.value;
        EXPECT_EQ(info().rand, c.rand) << c.value;
    }
    set_real("CSseed", std::nan(""));
    ASSERT_EQ(CSinit(0, nullptr), 0);
    EXPECT_EQ(info().seed, 169);
}

TEST_F(Config, SamplingCheckOnlyWithTheFlag)
{
    set_dimension(1, 64, 25);
    set_real("CSseed", 7);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    ASSERT_EQ(getCSdimension(), 1);

    for (const char *value : {"sparse ", "Sparse", "sparsely", ""}) {
        set_text("sampling", value);
        EXPECT_EQ(CSinit(1, nullptr), -1) << value;
        EXPECT_EQ(getCSdimension(), 0);
        EXPECT_EQ(getCSnum(), 0);
        EXPECT_STREQ(getCSname(), "sampling.sch");
        EXPECT_EQ(info().seed, 7);  // left as it was
    }
    tossVars(getTreeRootByIndex(1));
    set_dimension(1, 64, 25);
    EXPECT_EQ(CSinit(1, nullptr), -1);  // "sampling" missing

    set_text("sampling", "sparse");
    EXPECT_EQ(CSinit(1, nullptr), 0);
    EXPECT_EQ(getCSdimension(), 1);
    EXPECT_EQ(CSinit(0, nullptr), 0);  // without the flag it is not read
}

TEST_F(Config, GridBeyondThirtyTwoBitsIsRefused)
{
    set_dimension(1, 65536, 50);
    set_dimension(2, 65536, 50);
    EXPECT_EQ(CSinit(0, nullptr), -1);
    EXPECT_EQ(getCSdimension(), 0);
    EXPECT_EQ(getCSnum(), 0);
    EXPECT_EQ(info().total, 0);
    for (int k = 0; k < CS_MAX_DIMS; ++k)
        EXPECT_EQ(cs.dim[k], 1);

    // One increment count alone beyond the range.
    tossVars(getTreeRootByIndex(1));
    set_dimension(1, 3e9, 10);
    EXPECT_EQ(CSinit(0, nullptr), -1);
    EXPECT_EQ(getCSdimension(), 0);
    set_dimension(1, std::numeric_limits<double>::infinity(), 10);
    EXPECT_EQ(CSinit(0, nullptr), -1);

    // The largest grid that still fits is accepted.
    tossVars(getTreeRootByIndex(1));
    set_dimension(1, 65536, 50);
    set_dimension(2, 32767, 50);
    EXPECT_EQ(CSinit(0, nullptr), 0);
    EXPECT_EQ(info().total, 65536 * 32767);

    // After a refusal a generated schedule is empty and nothing is drawn.
    set_dimension(2, 65536, 50);
    EXPECT_EQ(CSinit(0, nullptr), -1);
    EXPECT_EQ(CSgetSched(dir_.c_str()), 0);
    EXPECT_EQ(read_file("sampling.sch"), "");
}

TEST_F(Config, AccessorsStayInBounds)
{
    set_dimension(1, 8, 50);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    EXPECT_EQ(getCSval(0, 0), 0.0);  // no schedule yet
    CSmakeSched();
    EXPECT_EQ(getCSval(0, 3), 7.0);
    for (auto [k, i] : {std::pair{-1, 0}, {1, 0}, {10, 0}, {0, -1}, {0, 4}, {1 << 30, 1 << 30}})
        EXPECT_EQ(getCSval(k, i), 0.0) << k << "," << i;
    EXPECT_STREQ(getCSpar(0), "d2");
    for (int k : {-1, 1, 9, 10, 1000})
        EXPECT_STREQ(getCSpar(k), "") << k;
}

TEST_F(Config, PrintFormat)
{
    set_dimension(1, 64, 25);
    set_dimension(2, 32, 50);
    set_real("CSseed", -3);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    EXPECT_EQ(capture_stderr([] { CSprint("title"); }),
              "title\n"
              "CS name:    sampling.sch\n"
              "CS seed:    -3\n"
              "CS rand:    1\n"
              "CS total:   2048\n"
              "CS num:     256\n"
              "CS xdim:    2\n"
              "CS[0] par:d2 dim:64 density:0.25 sdim:16 \n"
              "CS[1] par:d3 dim:32 density:0.5 sdim:16 \n");
}

}  // namespace
