// psenv par diff and merge end to end: two parameter files compared, and
// the records of one taken into the other.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "par_tool.h"

namespace {

namespace fs = std::filesystem;

// ---- diff -------------------------------------------------------------------

TEST_F(ParTool, DiffIgnoresRecordOrderAndReportsEveryDifference)
{
    write("a.par", std::string(kRealA) + kStrB + kRealC);
    write("b.par", std::string(kRealC) + kRealA + kStrB);
    ToolResult r = par({"diff", path("a.par"), path("b.par")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");

    write("b.par", std::string("alpha 1 1 20 -1 0.5 2 3 16385 0 64\n2 1 2.5 \n2 1 2.5 \n") +
                       "beta 0 1 0 0 0 1 1 0 1 64\n1 7 \n0 \n"
                       "delta 0 1 0 0 0 1 1 0 1 64\n0 \n0 \n");
    r = par({"diff", path("a.par"), path("b.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "~ alpha values: 1 2 -> 1 2.5\n"
                     "~ alpha enumeration: (none) -> 1 2.5\n"
                     "~ alpha min: 0 -> -1\n"
                     "~ alpha max: 10 -> 20\n"
                     "~ alpha step: 0 -> 0.5\n"
                     "~ alpha group: 1 -> 2\n"
                     "~ alpha dgroup: 1 -> 3\n"
                     "~ alpha subtype: 0 -> 1\n"
                     "~ alpha active: 1 -> 0\n"
                     "~ alpha prot: 0x0000 -> 0x4001\n"
                     "~ beta type: string -> real\n"
                     "~ beta values: \"b\" -> 7\n"
                     "+ delta\n"
                     "- gamma\n");

    // Trouble is not a difference.
    EXPECT_EQ(par({"diff", path("a.par"), path("missing.par")}).status, 2);
    write("cut.par", std::string(kRealA) + "beta 0 2 0 0 0 1 1 0 1 64\n2 \"b\"\n");
    r = par({"diff", path("a.par"), path("cut.par")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(par({"diff", path("a.par")}).status, 2);
}

// ---- merge ------------------------------------------------------------------

TEST_F(ParTool, MergeTakesMarkedRecordsAndSparesGuardedParameters)
{
    write("dest.par", kDest);
    write("src.par", kSource);
    ToolResult r = par({"merge", path("dest.par"), path("src.par")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "+ marked\n"
                     "= guard not taken: protected in DEST (bit 0x4000)\n"
                     "= plain not taken: not marked in SRC (bit 0x4000; --all takes it)\n"
                     "= unmarked not taken: not marked in SRC (bit 0x4000; --all takes it)\n");
    EXPECT_EQ(par({"get", path("dest.par"), "marked"}).out, "m\n");
    EXPECT_NE(row(par({"show", path("dest.par"), "marked"}).out, "marked").find(" no "),
              std::string::npos);  // the file's inactive flag came along

    r = par({"merge", path("dest.par"), path("src.par"), "--all"});
    ASSERT_EQ(r.status, 0) << r.err;
    // marked kept its bit, so it stays; guard is guarded in the destination.
    EXPECT_EQ(r.out, "~ plain values: 1 -> 9\n+ unmarked\n"
                     "= guard not taken: protected in DEST (bit 0x4000)\n"
                     "= marked not taken: protected in DEST (bit 0x4000)\n");
    EXPECT_EQ(par({"get", path("dest.par"), "guard"}).out, "1\n");
    EXPECT_EQ(entries(), (std::vector<std::string>{"dest.par", "sample.par", "src.par"}));
}

TEST_F(ParTool, MergeWithClearBitLetsALaterMergeChangeTheParameter)
{
    write("dest.par", "plain 0 1 10 0 0 1 1 0 1 64\n1 1 \n0 \n");
    write("src.par", kSource);
    ToolResult r = par({"merge", path("dest.par"), path("src.par"), "--clear-bit"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "+ guard\n+ marked\n"
                     "= plain not taken: not marked in SRC (bit 0x4000; --all takes it)\n"
                     "= unmarked not taken: not marked in SRC (bit 0x4000; --all takes it)\n");
    EXPECT_NE(row(par({"show", path("dest.par"), "marked"}).out, "marked").find("0x0004"),
              std::string::npos);

    write("src.par", "marked 0 2 0 0 0 1 1 0 1 64\n1 \"again\"\n0 \n");
    r = par({"merge", path("dest.par"), path("src.par"), "--all"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "~ marked values: \"m\" -> \"again\"\n~ marked active: 0 -> 1\n"
                     "~ marked prot: 0x0004 -> 0x0000\n");
}

TEST_F(ParTool, MergeFailuresLeaveTheDestinationUnchanged)
{
    write("dest.par", kDest);
    ToolResult r = par({"merge", path("dest.par"), path("missing.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("missing.par") + ": No such file or directory\n"
                     "psenv: " + path("dest.par") + ": not merged; it was left unchanged\n");

    write("src.par", std::string(kSource) + "bad 0 9 0 0 0 1 1 16384 1 64\n0 \n0 \n");
    r = par({"merge", path("dest.par"), path("src.par"), "--all"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("src.par") +
                         ":13: record 5: 'bad': type 9 is neither 1 (real) nor 2 (string)\n"
                     "psenv: " + path("dest.par") + ": not merged; it was left unchanged\n");
    EXPECT_EQ(read("dest.par"), kDest);

    r = par({"merge", path("missing.par"), path("src.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(path("missing.par")));
    EXPECT_EQ(entries(), (std::vector<std::string>{"dest.par", "sample.par", "src.par"}));
}

TEST_F(ParTool, MergeWhoseReportCannotBeWrittenSavesNothing)
{
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "needs /dev/full";
    write("dest.par", kDest);
    write("src.par", kSource);
    ToolResult r = run_psenv({"par", "merge", path("dest.par"), path("src.par"), "--all"}, "", {},
                             "/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: error writing standard output: No space left on device\n"
                     "psenv: " + path("dest.par") + ": not merged; it was left unchanged\n");
    EXPECT_EQ(read("dest.par"), kDest);  // "unchanged" is the truth
    EXPECT_EQ(entries(), (std::vector<std::string>{"dest.par", "sample.par", "src.par"}));
    // Somewhere to write, and it is saved.
    r = par({"merge", path("dest.par"), path("src.par"), "--all"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(read("dest.par"), kDest);
}

TEST_F(ParTool, MergeCountsWhatItDidNotTakeWithQuiet)
{
    write("dest.par", kDest);
    write("src.par", kSource);
    ToolResult r = par({"merge", path("dest.par"), path("src.par"), "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "+ marked\n= 3 records not taken (2 not marked in SRC, 1 protected in DEST)\n");
    // Nothing left out, nothing said of it.
    write("dest.par", "plain 0 1 10 0 0 1 1 0 1 64\n1 1 \n0 \n");
    r = par({"merge", path("dest.par"), path("src.par"), "--all", "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "+ guard\n+ marked\n~ plain values: 1 -> 9\n+ unmarked\n");
    // A record taken makes a later copy of it meet a protected parameter.
    write("dest.par", kDest);
    write("src.par", std::string("twin 0 1 0 0 0 1 1 16384 1 64\n1 1 \n0 \n") + kRealA +
                         "twin 0 1 0 0 0 1 1 16384 1 64\n1 2 \n0 \n");
    r = par({"merge", path("dest.par"), path("src.par"), "--force"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "+ twin\n"
                     "= alpha not taken: not marked in SRC (bit 0x4000; --all takes it)\n"
                     "= twin (line 7) not taken: protected in DEST (bit 0x4000)\n");
    EXPECT_EQ(par({"get", path("dest.par"), "twin"}).out, "1\n");
}

}  // namespace
