// End to end: psenv shims.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "psenv_run.h"
#include "scratch_dir.h"

namespace {

ToolResult shims(std::vector<std::string> args)
{
    args.insert(args.begin(), "shims");
    return run_psenv(args);
}

class ShimsParams : public ::testing::Test {
protected:
    // A parameter file with "shimset" = value, as the store writes it.
    std::string shimset_file(const std::string &value) const
    {
        const std::string path = dir_ + "/shimset.par";
        std::ofstream(path) << "shimset 0 1 100 0 0 1 2 0 1 64\n1 " << value << " \n0 \n";
        return path;
    }

    ScratchDir scratch_{"shims"};
    std::string dir_ = scratch_.path();
};

TEST(ShimsCommand, ListCountNameIndex)
{
    ToolResult r = shims({"list", "--set", "11"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2\tz1\n4\tz2\n16\tx1\n17\ty1\n18\txz\n19\txy\n20\tx2y2\n21\tyz\n");

    r = shims({"count", "--set", "5"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "43\n");

    r = shims({"name", "14", "--set", "12"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "x4\n");
    r = shims({"index", "x4", "--set=14"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "44\n");
}

TEST(ShimsCommand, AbsentShimsFailWithAMessage)
{
    ToolResult r = shims({"index", "x4", "--set", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "psenv: no shim 'x4' in shim set 1\n");
    r = shims({"name", "0", "--set", "3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: no shim 0 in shim set 3\n");
    EXPECT_EQ(shims({"name", "-1", "--set", "20"}).status, 1);
    EXPECT_EQ(shims({"name", "48", "--set", "20"}).status, 1);
    EXPECT_EQ(shims({"name", "4294967298", "--set", "1"}).status, 1);  // not 2 modulo 2^32
}

// Outside 1 to 20 the module answers for a set that does not exist (count 0
// but 48 names): every command refuses such a set.
TEST(ShimsCommand, SetsOutsideTheTableAreUsageErrors)
{
    for (const char *operation : {"list", "count", "name", "index"}) {
        for (const char *set : {"0", "21", "-4", "25", " 5", "5.0", "0x5"}) {
            std::vector<std::string> args = {operation};
            if (std::string(operation) == "name")
                args.push_back("2");
            if (std::string(operation) == "index")
                args.push_back("z1");
            args.insert(args.end(), {"--set", set});
            const ToolResult r = shims(args);
            EXPECT_EQ(r.status, 2) << operation << " --set " << set;
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err.rfind("psenv: --set '" + std::string(set) + "' is not a shim set from 1 to 20\n", 0), 0u) << r.err;
        }
    }
    EXPECT_EQ(shims({"count", "--set", "1"}).out, "15\n");
    EXPECT_EQ(shims({"count", "--set", "20"}).out, "32\n");
}

TEST(ShimsCommand, UsageErrors)
{
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"show", "--set", "1"},
        {"list"},
        {"list", "--set", "1", "--params", "f"},
        {"list", "--set", "one"},
        {"list", "--set", "4294967297"},
        {"name", "--set", "1"},
        {"name", "z1", "--set", "1"},
        {"index", "--set", "1"},
        {"count", "extra", "--set", "1"},
        {"count", "--sets", "1"},
    };
    for (const auto &args : bad) {
        std::string shown;
        for (const auto &a : args)
            shown += a + " ";
        ToolResult r = shims(args);
        EXPECT_EQ(r.status, 2) << shown;
        EXPECT_EQ(r.err.rfind("psenv: ", 0), 0u) << shown;
    }
    ToolResult r = shims({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: psenv shims list", 0), 0u);
}

TEST_F(ShimsParams, ShimsetFromAParameterFile)
{
    ToolResult r = shims({"name", "14", "--params", shimset_file("12.2")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "x4\n");

    r = shims({"count", "--params", shimset_file("25")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "32\n");
    EXPECT_EQ(r.err, "psenv: shimset number > MAX_SHIMSET (25>20)\n");

    r = shims({"count", "--params", shimset_file("-0.7")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "15\n");
    EXPECT_EQ(r.err, "psenv: Illegal shimset number: 0\n");

    const std::string missing = dir_ + "/none.par";
    r = shims({"list", "--params", missing});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + missing + ": No such file or directory\n");

    // A file that cannot be read whole ends the command: no answer from part
    // of it.
    std::ofstream(dir_ + "/cut.par") << "shimset 0 1 100 0 0 1 2 0 1 64\n1 x12 \n0 \n";
    r = shims({"count", "--params", dir_ + "/cut.par"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "psenv: " + dir_ + "/cut.par:2: record 1: 'shimset': value 1 of 1 'x12' is "
                     "not a number\n"
                     "psenv: " + dir_ + "/cut.par: the parameter file is damaged; it was not used\n");
    r = shims({"count", "--params", dir_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + dir_ + ": Is a directory\n");
}

}  // namespace
