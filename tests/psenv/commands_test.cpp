// End to end: psenv find, access, match, link and df.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "psenv_run.h"
#include "scratch_dir.h"

namespace {

class DirsearchCommands : public ::testing::Test {
protected:
    ScratchDir root_{"dirsearch", 0755};
};

TEST_F(DirsearchCommands, FindPrintsPathAndEntryNumber)
{
    root_.file("b/lib/x.txt");
    const std::string list = root_ / "a" + ";" + root_ / "b";
    ToolResult r = run_psenv({"find", "x", "--subdir", "lib", "--suffix", ".txt", "--appdirs", list});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, root_ / "b/lib/x.txt" + "\t2\n");

    r = run_psenv({"find", "x.txt", "--subdir=lib", "--mode", "rw"}, "", {{"PSENV_APPDIRS", list}});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, root_ / "b/lib/x.txt" + "\t2\n");

    r = run_psenv({"find", "x", "--subdir", "lib", "--appdirs", list});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "psenv: 'x' not found in the application directories\n");

    EXPECT_EQ(run_psenv({"find", "x", "--mode", "rq", "--appdirs", list}).status, 2);
    EXPECT_EQ(run_psenv({"find", "--appdirs", list}).status, 2);
    r = run_psenv({"find", "x"}, "", {{"PSENV_APPDIRS", ""}});
    EXPECT_EQ(r.status, 1);  // an empty list is a list without entries
}

TEST_F(DirsearchCommands, AccessWantsFullRights)
{
    root_.dir("one/tool", 0755);
    const std::string list = root_ / "one";
    ToolResult r = run_psenv({"access", "tool", "--appdirs", list});
    if (geteuid() == 0 || access((root_ / "one/tool").c_str(), W_OK) == 0) {
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, root_ / "one/tool" + "\t1\n");
    }
    EXPECT_EQ(run_psenv({"access", "nothing", "--appdirs", list}).status, 1);
}

TEST_F(DirsearchCommands, MatchFromArgumentsOrStandardInput)
{
    ToolResult r = run_psenv({"match", "*.c", "a.c", "b.h", "X.C"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "a.c\nX.C\n");
    r = run_psenv({"match", "onep%"}, "onep1\r\nonep\nONEPX\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "onep1\nONEPX\n");
    r = run_psenv({"match", "z*", "a"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(run_psenv({"match"}).status, 2);

    // Standard input that cannot be read is trouble, not "no name matched".
    const std::string command = std::string(std::getenv("PSENV_TOOL")) + " match '*' < / 2>" +
                                root_ / "err.txt";
    const int raw = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(raw), 2);
    std::ifstream err(root_ / "err.txt");
    std::string line;
    std::getline(err, line);
    EXPECT_EQ(line, "psenv: error reading standard input: Is a directory");
}

TEST_F(DirsearchCommands, LinkAndDf)
{
    root_.file("e/f");
    ASSERT_EQ(symlink((root_ / "e/f").c_str(), (root_ / "l").c_str()), 0);
    ASSERT_EQ(symlink("l", (root_ / "m").c_str()), 0);
    ToolResult r = run_psenv({"link", root_ / "m"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, root_ / "e/f" + "\n");
    ASSERT_EQ(symlink("loop", (root_ / "loop").c_str()), 0);
    r = run_psenv({"link", root_ / "loop"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("psenv: cannot resolve"), std::string::npos);

    r = run_psenv({"df", root_.path(), "--blocks", "1"});
    EXPECT_TRUE(r.out.rfind("ok\t", 0) == 0 || r.out.rfind("full\t", 0) == 0) << r.out;
    r = run_psenv({"df", root_.path(), "--file", root_ / "e/f"});
    EXPECT_TRUE(r.status == 0 || r.status == 1);
}

// Like cmp(1): 0 enough space, 1 full, 2 trouble; the module's perror line
// carries the tool's prefix.
TEST_F(DirsearchCommands, DfStatusesTellFullFromTrouble)
{
    ToolResult r = run_psenv({"df", root_.path(), "--blocks", "4294967295"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.rfind("full\t", 0), 0u) << r.out;
    r = run_psenv({"df", root_.path(), "--blocks", "1"});
    if (r.out.rfind("ok\t", 0) == 0) {
        EXPECT_EQ(r.status, 0);
    }
    r = run_psenv({"df", root_ / "gone"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "psenv: Problem with " + root_ / "gone" + ": No such file or directory\n");
    r = run_psenv({"df", root_ / "gone", "--file", "x"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "psenv: Cannot access " + root_ / "gone" + ": No such file or directory\n");
    for (const char *blocks : {"-1", "4294967296", "1.5", " 1", "0x10", "nan", ""})
        EXPECT_EQ(run_psenv({"df", root_.path(), "--blocks", blocks}).status, 2) << blocks;
    EXPECT_EQ(run_psenv({"df", root_.path(), "--blocks", "1", "--file", "x"}).status, 2);
    if (access("/dev/full", W_OK) == 0) {
        EXPECT_EQ(run_psenv({"df", root_.path(), "--blocks", "4294967295"}, "", {}, "/dev/full").status, 2);
    }
}

TEST_F(DirsearchCommands, LinkFailuresSayWhy)
{
    ASSERT_EQ(symlink("loop", (root_ / "loop").c_str()), 0);
    ToolResult r = run_psenv({"link", root_ / "loop"});
    EXPECT_EQ(r.err, "psenv: cannot resolve '" + root_ / "loop" +
                         "': a cycle of links, more than 40 links, or a path longer than 4095 "
                         "characters\n");
    root_.file("plain");
    r = run_psenv({"link", root_ / "plain/below"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: cannot resolve '" + root_ / "plain/below" + "': Not a directory\n");
}

TEST_F(DirsearchCommands, EveryCommandHasHelp)
{
    for (const char *command : {"find", "access", "match", "link", "df"}) {
        ToolResult r = run_psenv({command, "--help"});
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_EQ(r.out.rfind(std::string("Usage: psenv ") + command, 0), 0u) << command;
        EXPECT_EQ(run_psenv({command, "--bogus"}).status, 2) << command;
    }
}

}  // namespace
