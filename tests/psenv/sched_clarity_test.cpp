// What psenv sched says plainly: a dimension the uniform method would drop,
// what --density came to, a grid given transposed, a capped list of
// problems, and gaps along grid lines in sched show.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "psenv_runner.h"

namespace {

namespace fs = std::filesystem;

class SchedClarity : public PsenvRunner {
protected:
    SchedClarity() : PsenvRunner("sched-clarity") {}
};

std::size_t count_of(const std::string &text, const std::string &part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST_F(SchedClarity, TheUniformMethodDropsNoDimensionSilently)
{
    auto r = run_psenv({"sched", "make", "--ni", "64", "--density", "25", "--ni2", "32", "--dir", dir_});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--ni2 32 needs --density2 P (percent of dimension 2's increments)"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(path("sampling.sch")));

    write("p.par", "ni 0 1 1000000 0 0 2 0 0 1 64\n1 40 \n0 \n"
                   "CSdensity 0 1 100 0 0 2 0 0 1 64\n1 25 \n0 \n"
                   "ni2 0 1 1000000 0 0 2 0 0 1 64\n1 16 \n0 \n");
    r = run_psenv({"sched", "make", "--params", path("p.par"), "--dir", dir_});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("warning: dimension 2 (ni2 16) has no active CSdensity2"), std::string::npos)
        << r.err;
    // With its density the second dimension is sampled; ni2 of 1 is no dimension.
    EXPECT_EQ(run_psenv({"sched", "make", "--ni", "64", "--density", "25", "--ni2", "32",
                         "--density2", "50", "--dir", dir_})
                  .status,
              0);
    r = run_psenv({"sched", "make", "--ni", "64", "--density", "25", "--ni2", "1", "--dir", dir_});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
}

TEST_F(SchedClarity, EachMethodSaysWhatItsDensityCameTo)
{
    auto r = run_psenv({"sched", "make", "--ni", "64", "--density", "25", "--ni2", "32",
                        "--density2", "50", "--dir", dir_});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("density:       per dimension (--density, --density2, ...): 25% of 64, "
                         "50% of 32 increments; 12.5% of the grid's points\n"),
              std::string::npos)
        << r.out;
    r = run_psenv({"sched", "make", "--method", "poisson-gap", "--ni", "64", "--ni2", "32",
                   "--density", "25", "--dir", dir_});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("density:       --density 25 is of the whole grid here: 512 of its 2048 "
                         "points; per dimension, the share of increments in some row: "),
              std::string::npos)
        << r.out;
    r = run_psenv({"sched", "make", "--method", "poisson-gap", "--ni", "64", "--points", "16",
                   "--dir", dir_});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("density:       --points 16: 25% of the grid's 64 points"), std::string::npos)
        << r.out;
}

TEST_F(SchedClarity, CheckNamesATransposedGridAndCapsItsList)
{
    // Rows of an 8 x 4 grid checked against 4 x 8.
    std::string rows;
    for (int i = 0; i < 8; ++i)
        rows += std::to_string(i) + "    " + std::to_string(i % 4) + "    \n";
    write("t.sch", rows);
    auto r = run_psenv({"sched", "check", path("t.sch"), "--ni", "4,8"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(path("t.sch") + ": every row fits the grid 8,4 but not 4,8: the grid was "
                                         "given in another order (transposed)?"),
              std::string::npos)
        << r.out;
    r = run_psenv({"sched", "show", path("t.sch"), "--ni", "4,8", "--no-rows"});
    EXPECT_NE(r.err.find("every row fits the grid 8,4"), std::string::npos) << r.err;
    EXPECT_EQ(run_psenv({"sched", "check", path("t.sch"), "--ni", "8,4"}).status, 0);

    // 30 rows outside a grid of 5: 20 listed, then the count.
    std::string many = "0\n";
    for (int i = 5; i < 35; ++i)
        many += std::to_string(i) + "\n";
    write("m.sch", many);
    r = run_psenv({"sched", "check", path("m.sch"), "--ni", "5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(count_of(r.out, "lies outside 0..4"), 20u) << r.out;
    EXPECT_NE(r.out.find(path("m.sch") + ": ... and 10 more problems (--all lists every one)"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("31 rows, 1 column, 30 problems"), std::string::npos) << r.out;
    r = run_psenv({"sched", "check", path("m.sch"), "--ni", "5", "--all"});
    EXPECT_EQ(count_of(r.out, "lies outside 0..4"), 30u);
    r = run_psenv({"sched", "show", path("m.sch"), "--ni", "5", "--no-rows"});
    EXPECT_EQ(count_of(r.err, "lies outside 0..4"), 20u) << r.err;
    EXPECT_NE(r.err.find("10 more problems ('psenv sched check' lists them)"), std::string::npos);
}

TEST_F(SchedClarity, ShowGivesGapsAlongGridLines)
{
    // Along dimension 1 the row c2 = 1 is sampled only at 0 and 7 (gap 6);
    // every increment of dimension 1 occurs in some row (projected gap 1).
    write("g.sch", "0 0\n1 0\n2 0\n3 0\n4 0\n5 0\n6 0\n7 0\n0 1\n7 1\n");
    auto r = run_psenv({"sched", "show", path("g.sch"), "--ni", "8,2", "--no-rows"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("largest gap 1,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("largest gap along grid lines: dimension 1 (d2) 6, dimension 2 (d3) 1"),
              std::string::npos)
        << r.out;
    // Without the grid, the entries' extents; one dimension has no such line.
    r = run_psenv({"sched", "show", path("g.sch"), "--no-rows"});
    EXPECT_NE(r.out.find("largest gap along grid lines: dimension 1 (d2) 6"), std::string::npos) << r.out;
    write("one.sch", "0\n5\n");
    r = run_psenv({"sched", "show", path("one.sch"), "--no-rows"});
    EXPECT_EQ(r.out.find("along grid lines"), std::string::npos) << r.out;
}

}  // namespace
