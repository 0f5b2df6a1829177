// psenv sched make with the planner's options: the walks, the weighting's
// portion, the order, the head and last point, the best of several seeds
// and the periodicity guard, each on its own and together.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "psenv_run.h"

namespace {

namespace fs = std::filesystem;

class SchedMakeOptions : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::getenv("PSENV_TOOL") == nullptr)
            GTEST_SKIP() << "PSENV_TOOL names no built psenv";
        std::string pattern = (fs::temp_directory_path() / "sched-options-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override
    {
        if (!dir_.empty())
            fs::remove_all(dir_);
    }
    std::string path(const std::string &name) const { return dir_ + "/" + name; }
    std::string read(const std::string &name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
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

    std::string dir_;
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

}  // namespace
