// The usage of psenv par: help for every subcommand, bad options and
// missing arguments.
#include <gtest/gtest.h>

#include <string>

#include "par_tool.h"

namespace {

// ---- usage ------------------------------------------------------------------

TEST_F(ParTool, EverySubcommandHasHelpAndRefusesBadUsage)
{
    ToolResult r = run_psenv({"par", "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: psenv par show", 0), 0u);
    for (const char *sub : {"show", "get", "set", "names", "diff", "merge", "check"}) {
        r = par({sub, "--help"});
        EXPECT_EQ(r.status, 0) << sub;
        EXPECT_EQ(r.out.rfind(std::string("Usage: psenv par ") + sub, 0), 0u) << sub;
        EXPECT_NE(r.out.find("Exit status"), std::string::npos) << sub;
        r = par({sub, "--bogus", path("sample.par")});
        EXPECT_EQ(r.status, 2) << sub;
        EXPECT_EQ(r.err, std::string("psenv: unknown option '--bogus'\npsenv: Try 'psenv par ") + sub +
                             " --help'.\n")
            << sub;
        EXPECT_EQ(par({sub}).status, 2) << sub;
    }
    r = run_psenv({"par"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "psenv: par: missing subcommand\npsenv: Try 'psenv par --help'.\n");
    EXPECT_EQ(par({"frobnicate"}).status, 2);
    EXPECT_EQ(par({"set", path("sample.par"), "d1"}).status, 2);
    EXPECT_EQ(par({"merge", path("sample.par"), path("sample.par"), "--all=1"}).status, 2);
    // "--" lets values begin with dashes.
    EXPECT_EQ(par({"set", path("sample.par"), "--", "dm", "--x"}).status, 0);
    EXPECT_EQ(par({"get", path("sample.par"), "dm"}).out, "--x\n");
}

}  // namespace
