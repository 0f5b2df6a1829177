// psenv par check, the strict check of a file's bytes, and the edits it
// keeps away from damaged files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "par_safety.h"

namespace {

// ---- the strict check ----------------------------------------------------------

TEST_F(ParSafety, CheckReportsEveryProblemAndDamagedFilesAreNotRewritten)
{
    write("whole.par", std::string(kAlpha) + "beta 0 2 0 0 0 1 1 0 1 64\n1 \"b\"\n0 \n");
    ToolResult r = par({"check", path("whole.par")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, "");

    // Cut after a number: the loaders read this without a word.
    const std::string cut = std::string(kAlpha) + "beta 0 1 0 0 0 1 1 0 1 64\n2 5";
    write("cut.par", cut);
    r = par({"check", path("cut.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("cut.par") + ":5: record 2: 'beta': the file ends before value 2 of 2\n");
    for (const auto &args : {std::vector<std::string>{"set", path("cut.par"), "alpha", "3"},
                             std::vector<std::string>{"merge", path("cut.par"), path("whole.par")}}) {
        r = par(args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_NE(r.err.find("the file is damaged; it was left unchanged"), std::string::npos);
    }
    EXPECT_EQ(read("cut.par"), cut);

    write("two.par", "a 0 1 x 0 0 0 0 0 1 64\n1 y \n0 \n");
    r = par({"check", path("two.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("two.par") + ":1: record 1: 'a': header field maximum 'x' is not a valid number\n"
                     "psenv: " + path("two.par") + ":2: record 1: 'a': value 1 of 1 'y' is not a number\n");

    EXPECT_EQ(par({"check", path("missing.par")}).status, 2);
    EXPECT_EQ(par({"check", dir_}).status, 2);
    EXPECT_EQ(par({"check", path("whole.par"), path("cut.par")}).status, 2);
}

}  // namespace
