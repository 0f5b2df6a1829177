// psenv sched make with the planner's options: the walks, the weighting's
// portion, the order, the head and last point, the best of several seeds
// and the periodicity guard, each on its own and together.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <algorithm>
#include <set>
#include <sstream>

#include "psenv_runner.h"

namespace {

class SchedMakeOptions : public PsenvRunner {
protected:
    SchedMakeOptions() : PsenvRunner("sched-options") {}
    // `sched make --method poisson-gap` into `name` with more arguments.
    ToolResult make(const std::string &name, std::vector<std::string> more) const
    {
        std::vector<std::string> arguments = {"sched", "make", "--method", "poisson-gap",
                                              "--name", path(name)};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return run_psenv(arguments);
    }
    // The file's rows as (c1, c2, ...) in file order.
    std::vector<std::vector<int>> rows(const std::string &name) const
    {
        std::vector<std::vector<int>> result;
        std::istringstream text(read(name));
        std::string line;
        while (std::getline(text, line)) {
            std::istringstream fields(line);
            std::vector<int> row;
            for (int value; fields >> value;)
                row.push_back(value);
            result.push_back(row);
        }
        return result;
    }
};

std::uint64_t fnv1a(const std::string &bytes)
{
    std::uint64_t hash = 1469598103934665603ULL;
    for (const unsigned char b : bytes) {
        hash ^= b;
        hash *= 1099511628211ULL;
    }
    return hash;
}

TEST_F(SchedMakeOptions, WalksThreadsByDefaultAndTheFormerWalkOnRequest)
{
    auto r = make("t.sch", {"--ni", "64", "--ni2", "32", "--points", "400"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("method:        poisson-gap, quarter sine weighting, threads walk\n"),
              std::string::npos)
        << r.out;
    r = make("r.sch", {"--ni", "64", "--ni2", "32", "--points", "400", "--walk", "radial"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("radial walk"), std::string::npos) << r.out;
    // The very bytes the radial walk wrote before the threads came.
    EXPECT_EQ(fnv1a(read("r.sch")), 0x3e298ba94ebead15ULL);
    EXPECT_NE(read("t.sch"), read("r.sch"));

    r = make("l.sch", {"--ni", "300", "--points", "70"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("line walk"), std::string::npos) << r.out;
    r = make("x.sch", {"--ni", "64", "--ni2", "32", "--points", "400", "--walk", "line"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("the line walk takes a grid with at most one dimension"), std::string::npos)
        << r.err;
    EXPECT_EQ(make("y.sch", {"--ni", "64", "--points", "4", "--walk", "spiral"}).status, 2);
    EXPECT_EQ(run_psenv({"sched", "make", "--ni", "8", "--density", "50", "--walk", "radial",
                         "--dir", dir_})
                  .status,
              2);
}

// The value after `label` on the summary line that starts with it.
std::string after(const std::string &text, const std::string &label)
{
    const std::size_t at = text.find(label);
    if (at == std::string::npos)
        return "";
    const std::size_t from = at + label.size();
    return text.substr(from, text.find('\n', from) - from);
}

bool has_row(const std::vector<std::vector<int>> &rows, const std::vector<int> &row)
{
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

TEST_F(SchedMakeOptions, SinePortionAndTheOlderWeight)
{
    const std::vector<std::string> grid = {"--ni", "64", "--ni2", "32", "--points", "300"};
    auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), grid.begin(), grid.end());
        return more;
    };
    auto r = make("h.sch", with({"--sine-portion", "half"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("poisson-gap, half sine weighting, threads walk"), std::string::npos) << r.out;
    ASSERT_EQ(make("q.sch", with({"--sine-portion", "quarter"})).status, 0);
    ASSERT_EQ(make("s.sch", with({"--weight", "sine"})).status, 0);
    ASSERT_EQ(make("n.sch", with({"--sine-portion", "none"})).status, 0);
    ASSERT_EQ(make("w.sch", with({"--weight", "none"})).status, 0);
    EXPECT_EQ(read("q.sch"), read("s.sch"));
    EXPECT_EQ(read("n.sch"), read("w.sch"));
    EXPECT_NE(read("h.sch"), read("q.sch"));
    EXPECT_EQ(make("x.sch", with({"--sine-portion", "third"})).status, 2);
    r = make("x.sch", with({"--sine-portion", "half", "--weight", "none"}));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("give --sine-portion or --weight, not both"), std::string::npos) << r.err;
}

TEST_F(SchedMakeOptions, ShuffledOrderStartsAtTheOrigin)
{
    const std::vector<std::string> base = {"--ni", "32", "--ni2", "16", "--points", "100", "--seed", "4"};
    ASSERT_EQ(make("grid.sch", base).status, 0);
    auto shuffled = base;
    shuffled.insert(shuffled.end(), {"--order", "shuffled"});
    const auto r = make("mixed.sch", shuffled);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("rows in shuffled order, the origin first"), std::string::npos) << r.out;
    auto grid_rows = rows("grid.sch");
    auto mixed_rows = rows("mixed.sch");
    EXPECT_EQ(mixed_rows.front(), (std::vector<int>{0, 0}));
    EXPECT_NE(mixed_rows, grid_rows);
    std::sort(mixed_rows.begin(), mixed_rows.end());
    std::sort(grid_rows.begin(), grid_rows.end());
    EXPECT_EQ(mixed_rows, grid_rows);
    ASSERT_EQ(make("again.sch", shuffled).status, 0);
    EXPECT_EQ(read("again.sch"), read("mixed.sch"));
    EXPECT_EQ(make("x.sch", {"--ni", "32", "--points", "9", "--order", "random"}).status, 2);
}

TEST_F(SchedMakeOptions, HeadAndLastAreSampled)
{
    auto r = make("h.sch", {"--ni", "40", "--ni2", "20", "--points", "50", "--head", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("forced:        head 3 (9 points with the origin)"), std::string::npos) << r.out;
    const auto head = rows("h.sch");
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b)
            EXPECT_TRUE(has_row(head, {a, b})) << a << "," << b;
    r = make("l.sch", {"--ni", "40", "--ni2", "20", "--points", "50", "--last"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(rows("l.sch").back(), (std::vector<int>{39, 19}));
    r = make("x.sch", {"--ni", "40", "--ni2", "20", "--points", "8", "--head", "3"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("the head (3) force 9 points, more than the 8 asked for"), std::string::npos)
        << r.err;
    EXPECT_EQ(make("x.sch", {"--ni", "40", "--points", "8", "--head", "-1"}).status, 2);
}

TEST_F(SchedMakeOptions, BestOfNamesTheSeedThatWon)
{
    const std::vector<std::string> base = {"--ni", "48", "--ni2", "24", "--points", "200", "--seed", "30"};
    auto best = base;
    best.insert(best.end(), {"--best-of", "4"});
    auto r = make("best.sch", best);
    if (r.status == 2 && r.err.find("not available") != std::string::npos)
        GTEST_SKIP() << "built without FFTW3";
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string line = after(r.out, "best of:       4 seeds from 30, seed ");
    ASSERT_FALSE(line.empty()) << r.out;
    const int seed = std::stoi(line);
    EXPECT_GE(seed, 30);
    EXPECT_LE(seed, 33);
    EXPECT_NE(r.out.find("seed:          " + std::to_string(seed) + " (mt19937_64)"), std::string::npos);
    ASSERT_EQ(make("one.sch", {"--ni", "48", "--ni2", "24", "--points", "200", "--seed",
                               std::to_string(seed)})
                  .status,
              0);
    EXPECT_EQ(read("best.sch"), read("one.sch"));
    best.insert(best.end(), {"--exclude", "0"});
    EXPECT_EQ(make("x.sch", best).status, 0);
    EXPECT_EQ(make("x.sch", {"--ni", "48", "--points", "9", "--best-of", "0"}).status, 2);
    EXPECT_EQ(make("x.sch", {"--ni", "48", "--points", "9", "--best-of", "1001"}).status, 2);
}

TEST_F(SchedMakeOptions, TheGuardRefusesPeriodicSchedulesUnlessAllowed)
{
    auto r = make("g.sch", {"--ni", "64", "--points", "2", "--weight", "none"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read("g.sch"), "0    \n1    \n");
    EXPECT_NE(r.out.find("periodicity:   "), std::string::npos) << r.out;
    r = make("a.sch", {"--ni", "64", "--points", "2", "--weight", "none", "--allow-periodic"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(read("a.sch"), "0    \n1    \n");
    EXPECT_NE(r.err.find("warning: the schedule's points share a common stride"), std::string::npos)
        << r.err;
}

TEST_F(SchedMakeOptions, EveryOptionTogetherAndNoneWithTheUniformMethod)
{
    std::vector<std::string> all = {"--ni", "40", "--ni2", "24", "--ni3", "6", "--density", "8",
                                    "--seed", "7", "--sine-portion", "half", "--walk", "threads",
                                    "--order", "shuffled", "--head", "2", "--last",
                                    "--allow-periodic"};
    auto r = make("probe.sch", {"--ni", "8", "--points", "4", "--best-of", "2"});
    const bool fft = r.status == 0;
    if (fft)
        all.insert(all.end(), {"--best-of", "3", "--exclude", "1"});
    r = make("all.sch", all);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto made = rows("all.sch");
    EXPECT_EQ(made.size(), 461u);  // 8 % of 5760, rounded
    EXPECT_EQ(made.front(), (std::vector<int>{0, 0, 0}));
    EXPECT_TRUE(has_row(made, {1, 1, 1}));
    EXPECT_TRUE(has_row(made, {39, 23, 5}));
    EXPECT_EQ(std::set<std::vector<int>>(made.begin(), made.end()).size(), made.size());
    EXPECT_NE(r.out.find("forced:        head 2 and the last point (9 points with the origin)"),
              std::string::npos)
        << r.out;

    for (const std::vector<std::string> &extra :
         {std::vector<std::string>{"--order", "shuffled"}, {"--head", "2"}, {"--last"},
          {"--best-of", "2"}, {"--allow-periodic"}, {"--sine-portion", "half"}, {"--exclude", "1"}}) {
        std::vector<std::string> uniform = {"sched", "make", "--ni", "8", "--density", "50",
                                            "--dir", dir_};
        uniform.insert(uniform.end(), extra.begin(), extra.end());
        r = run_psenv(uniform);
        EXPECT_EQ(r.status, 2) << extra.front();
        EXPECT_NE(r.err.find("belongs to the other methods"), std::string::npos) << r.err;
    }
}

}  // namespace
