// The psenv par commands on damaged, repeated and unreadable parameter
// files, and on names that would garble their output.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "par_tool.h"

namespace {

// ---- damaged, repeated and unreadable files -------------------------------------

// d1 announces 3 values and holds 2: the loader takes the next line's count
// as the third value and reads on without a word.
const char *const kShortD1 = "alpha 0 1 10 0 0 1 1 0 1 64\n2 1 2 \n0 \n"
                             "d1 0 1 0 0 0 1 1 0 1 64\n3 1 2.5 \n0 \n";

TEST_F(ParTool, ReadersShowNothingOfADamagedFileUnlessLenient)
{
    write("short.par", kShortD1);
    const std::string problem =
        "psenv: " + path("short.par") + ":5: record 2: 'd1': the value line holds 2 of the 3 "
        "values announced\n";
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"show", path("short.par")}, {"get", path("short.par"), "d1"},
          {"get", path("short.par"), "alpha"}, {"names", path("short.par")}}) {
        const ToolResult r = par(args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_EQ(r.out, "") << args[0];
        EXPECT_EQ(r.err, problem) << args[0];
    }

    // --lenient: what the loader reads, said to be so, and still status 1.
    const std::string lenient = problem + "psenv: " + path("short.par") +
                                ": the file is damaged; what follows is what the loader reads "
                                "of it (--lenient)\n";
    ToolResult r = par({"show", path("short.par"), "--lenient"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, lenient);
    ASSERT_GE(lines(r.out).size(), 3u);
    EXPECT_EQ(lines(r.out)[0], "(damaged file " + path("short.par") +
                                   ": what the loader reads of it, which may be wrong or "
                                   "incomplete)");
    EXPECT_NE(row(r.out, "d1").find("1 2.5 0 "), std::string::npos) << r.out;
    r = par({"get", path("short.par"), "d1", "--lenient"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1\n2.5\n0\n");
    EXPECT_EQ(r.err, lenient);
    r = par({"names", "--lenient", path("short.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "alpha\nd1\n");
    // A whole file is not marked.
    r = par({"get", path("sample.par"), "d1", "--lenient"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

TEST_F(ParTool, DiffOfACutFileComparesNothing)
{
    // Cut after a count: the loaders see a shorter file, not a damaged one.
    write("a.par", std::string(kRealA) + kStrB + kRealC);
    write("cut.par", std::string(kRealA) + kStrB + "gamma 0 1 10 0 0 1 1 0 1 64\n1 ");
    ToolResult r = par({"diff", path("a.par"), path("cut.par")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "psenv: " + path("cut.par") +
                         ":8: record 3: 'gamma': the file ends before value 1 of 1\n");
    // Both files' problems in one run.
    write("short.par", kShortD1);
    r = par({"diff", path("short.par"), path("cut.par")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(lines(r.err).size(), 2u) << r.err;
}

TEST_F(ParTool, RepeatedRecordsAreReportedAndNotSavedOverWithoutForce)
{
    const std::string first = "d1 0 1 0 0 0 1 1 0 1 64\n1 1 \n0 \n";
    const std::string second = "d1 0 1 0 0 0 1 1 0 1 64\n1 2 \n0 \n";
    const std::string twice = first + kRealA + second;
    const std::string repeat =
        "psenv: " + path("twice.par") +
        ":7: record 3: 'd1': repeats record 1 (line 1); a load keeps only the last of them\n";
    write("twice.par", twice);
    ToolResult r = par({"check", path("twice.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, repeat);

    r = par({"set", path("twice.par"), "alpha", "5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, repeat + "psenv: " + path("twice.par") +
                         ": a save would keep only the last record of each repeated name "
                         "(--force saves anyway); it was left unchanged\n");
    EXPECT_EQ(read("twice.par"), twice);
    write("dest.par", kDest);
    r = par({"merge", path("twice.par"), path("dest.par"), "--all"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(read("twice.par"), twice);

    // As the source of a merge: which copy lands depends on order and bits.
    r = par({"merge", path("dest.par"), path("twice.par"), "--all"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, repeat + "psenv: " + path("twice.par") +
                         ": records repeat a name, and which of them ends up in DEST depends "
                         "on their order and bits (--force merges anyway)\n"
                         "psenv: " + path("dest.par") + ": not merged; it was left unchanged\n");
    EXPECT_EQ(read("dest.par"), kDest);
    r = par({"merge", path("dest.par"), path("twice.par"), "--all", "--force"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "+ alpha\n+ d1\n");
    EXPECT_EQ(par({"get", path("dest.par"), "d1"}).out, "2\n");

    // Readers say it and go on with what a load keeps.
    r = par({"get", path("twice.par"), "d1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2\n");
    EXPECT_EQ(r.err, repeat);

    // Forced, the save keeps the last copy, as the message said.
    r = par({"set", path("twice.par"), "alpha", "5", "--force"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, repeat);
    EXPECT_EQ(par({"check", path("twice.par")}).status, 0);
    EXPECT_EQ(par({"get", path("twice.par"), "d1"}).out, "2\n");
}

TEST_F(ParTool, FilesThatCannotBeReadAreNotCalledDamaged)
{
    write("secret.par", kRealA);
    chmod(path("secret.par").c_str(), 0200);  // writable, not readable
    const std::string target = path("secret.par");
    // Root reads anything: the check runs in a child without privileges.
    ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        const ToolResult set = run_psenv({"par", "set", target, "alpha", "4"});
        const ToolResult show = run_psenv({"par", "show", target});
        const ToolResult check = run_psenv({"par", "check", target});
        const ToolResult diff = run_psenv({"par", "diff", target, target});
        const std::string denied = "psenv: " + target + ": Permission denied\n";
        _exit(set.status == 1 &&
                      set.err == "psenv: " + target +
                                     ": Permission denied; it was left unchanged\n" &&
                      show.status == 1 && show.err == denied && check.status == 2 &&
                      check.err == denied && diff.status == 2 && diff.err == denied + denied
                  ? 0
                  : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    chmod(target.c_str(), 0644);
    EXPECT_EQ(read("secret.par"), kRealA);
}

TEST_F(ParTool, ControlBytesInNamesAreEscapedOnOutput)
{
    // A name that would clear the screen and one with a backslash.
    const std::string evil = "x\x1b[2J";
    write("evil.par", evil + " 0 1 0 0 0 1 1 0 1 64\n1 1 \n0 \n" +
                          "b\\s 0 1 0 0 0 1 1 0 1 64\n1 1 \n0 \n");
    ToolResult r = par({"names", path("evil.par")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "x\\x1b[2J\nb\\\\s\n");
    r = par({"show", path("evil.par")});
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
    EXPECT_NE(row(r.out, "x\\x1b[2J"), "");
    write("other.par", "");
    r = par({"diff", path("evil.par"), path("other.par")});
    EXPECT_EQ(r.out, "- b\\\\s\n- x\\x1b[2J\n");
    r = par({"get", path("evil.par"), evil + "y"});
    EXPECT_EQ(r.err, "psenv: x\\x1b[2Jy: Variable doesn't exist\n");
    write("bad.par", evil + " 0 1 0 0 0 1 1 0 1 64\n1 z \n0 \n");
    r = par({"check", path("bad.par")});
    EXPECT_EQ(r.err, "psenv: " + path("bad.par") +
                         ":2: record 1: 'x\\x1b[2J': value 1 of 1 'z' is not a number\n");
}

TEST_F(ParTool, StoreWordsStandApartFromTheNameHoweverLong)
{
    const std::string longest(250, 'n');
    const ToolResult r = par({"get", path("sample.par"), longest});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + longest + ": Variable doesn't exist\n");
}

TEST_F(ParTool, ParamsFilesThatAreDamagedAreRefusedWithTheirLines)
{
    std::string damaged = sample_;
    const std::size_t shimset = damaged.find("shimset 7 1 20 1 1 0 0 16384 1 64\n1 5 \n");
    ASSERT_NE(shimset, std::string::npos);
    damaged.replace(shimset, 40, "shimset 7 1 20 1 1 0 0 16384 1 64\n2 5 \n");
    write("damaged.par", damaged);
    const ToolResult r = run_psenv({"shims", "list", "--params", path("damaged.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "psenv: " + path("damaged.par") +
                         ":11: record 4: 'shimset': the value line holds 1 of the 2 values "
                         "announced\n"
                         "psenv: " + path("damaged.par") +
                         ": the parameter file is damaged; it was not used\n");
    EXPECT_EQ(run_psenv({"shims", "list", "--params", path("sample.par")}).status, 0);
}

}  // namespace
