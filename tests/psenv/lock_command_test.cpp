// End to end: psenv lock.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "lock_table_fixture.h"
#include "psenv_run.h"

namespace {

class LockCommand : public LockTableTest {
protected:
    ToolResult lock(std::vector<std::string> args)
    {
        args.insert(args.begin(), "lock");
        return run_psenv(args);
    }

    // A parameter file that sets "Console" (written as the store writes it).
    std::string console_file(const std::string &type) const
    {
        const std::string path = root_ + "/console.par";
        std::ofstream(path) << "Console 0 2 0 0 0 1 2 0 1 64\n1 \"" << type << "\"\n0 \n";
        return path;
    }
};

TEST_F(LockCommand, ArdelOperations)
{
    write_table("# key synthif sense lockref\n400 10.0 + 50.0\n");
    const std::vector<std::string> at = {"--key", "400", "--systemdir", root_};
    auto with = [&](std::vector<std::string> args) {
        args.insert(args.end(), at.begin(), at.end());
        return lock(args);
    };
    ToolResult r = with({"offset", "--lockfreq", "61.4"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "21.4\n");
    EXPECT_EQ(r.err, "");
    r = with({"word", "--lockfreq=61.4", "--console", "ardel"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "8975810\n");
    r = with({"freq", "--word", "8975810", "--console", "ardel"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "61.39999866485596\n");
    r = with({"ddsi", "--lockfreq", "61.4"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0x40356666 0x66666666\n");
}

TEST_F(LockCommand, SystemdirFromTheEnvironment)
{
    write_table("400 10.0 - 50.0\n");
    ToolResult r = run_psenv({"lock", "word", "--key", "400", "--lockfreq", "61.4", "--console",
                              "ardel"},
                             "", {{"PSENV_SYSTEMDIR", root_}});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "587202\n");
}

TEST_F(LockCommand, QuilmarNeedsNoTable)
{
    ToolResult r = lock({"word", "--key", "200", "--lockfreq", "30.7", "--console", "quilmar",
                         "--systemdir", root_ + "/missing"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1148903751\n");
    r = lock({"freq", "--key", "200", "--word", "1", "--console", "quilmar"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: lock freq needs an ardel console, not 'quilmar'\n");
}

TEST_F(LockCommand, TableProblemsAreReportedNotFatal)
{
    const std::vector<std::string> offset = {"offset", "--key", "400", "--lockfreq", "61.4",
                                             "--systemdir", root_};
    ToolResult r = lock(offset);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: cannot open the lock-frequency table '" + table_path() +
                         "': No such file or directory\n");

    write_table("300 10.0 + 50.0\n400 10.0 + 50.0");  // the last line has no newline
    r = lock(offset);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "psenv: no row for key 400 in '" + table_path() + "'\n");

    write_table("  \n400 10.0 + 50.0\n");
    r = lock({"word", "--key", "400", "--lockfreq", "61.4", "--console", "ardel", "--systemdir",
              root_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "psenv: '" + table_path() + "': PSG: Error in lockfreqtab file.\n");

    r = lock({"offset", "--key", "400", "--lockfreq", "61.4", "--systemdir",
              "/" + std::string(233, 'd')});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("longer than 233 characters"), std::string::npos);
}

TEST_F(LockCommand, DebugLines)
{
    write_table("400 10.0 + 50.0\n");
    ToolResult r = lock({"freq", "--key", "400", "--word", "8975810", "--console", "ardel",
                         "--systemdir", root_, "--debug"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "psenv: lockfreqtab: synthif=10 lksense= + lockref=50\n"
                     "psenv: gettmpfreqsign ardel(): locksynth = 21.404 \n");
    EXPECT_EQ(r.out, "61.39999866485596\n");
}

TEST_F(LockCommand, ConsoleFromAParameterFile)
{
    write_table("400 10.0 + 50.0\n");
    ToolResult r = lock({"word", "--key", "400", "--lockfreq", "61.4", "--params",
                         console_file("quilmar"), "--systemdir", root_});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1141470154\n");

    r = lock({"word", "--key", "400", "--lockfreq", "61.4", "--params", console_file("Ardel"),
              "--systemdir", root_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: unsupported console 'Ardel' (ardel or quilmar)\n");

    const std::string missing = root_ + "/none.par";
    r = lock({"word", "--key", "400", "--lockfreq", "61.4", "--params", missing});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + missing + ": No such file or directory\n");

    const std::string empty = root_ + "/empty.par";
    std::ofstream(empty).flush();
    r = lock({"word", "--key", "400", "--lockfreq", "61.4", "--params", empty});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: no Console parameter in '" + empty + "'\n");
}

// The system's reason, not the store's "No such file", for every file that
// cannot be read; a file that cannot be read whole is no console at all.
TEST_F(LockCommand, ParameterFileFailuresSayWhyAndFail)
{
    write_table("400 10.0 + 50.0\n");
    auto word_with = [&](const std::string &params) {
        return lock({"word", "--key", "400", "--lockfreq", "61.4", "--params", params,
                     "--systemdir", root_});
    };
    const std::string loop = root_ + "/loop.par";
    ASSERT_EQ(symlink("loop.par", loop.c_str()), 0);
    ToolResult r = word_with(loop);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + loop + ": Too many levels of symbolic links\n");
    r = word_with(root_);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + root_ + ": Is a directory\n");

    // Console is read before the damage, but the file is not used.
    const std::string cut = root_ + "/cut.par";
    std::ofstream(cut) << "Console 0 2 0 0 0 1 2 0 1 64\n1 \"quilmar\"\n0 \nsfrq 0 1 0 0 0 1 2 0 1 64\n1 4x0 \n0 \n";
    r = word_with(cut);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "psenv: " + cut + ":5: record 2: 'sfrq': value 1 of 1 '4x0' is not a number\n"
                     "psenv: " + cut + ": the parameter file is damaged; it was not used\n");

    if (geteuid() != 0)
        return;
    const std::string locked = console_file("quilmar");
    ASSERT_EQ(chmod(locked.c_str(), 0600), 0);
    ASSERT_EQ(chmod(root_.c_str(), 0755), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(3);
        const ToolResult denied = word_with(locked);
        _exit(denied.status == 1 && denied.err == "psenv: " + locked + ": Permission denied\n" ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "permission denied is worded so";
}

TEST_F(LockCommand, NumbersAreStrict)
{
    write_table("400 10.0 + 50.0\n");
    for (const char *lockfreq : {"nan", "inf", "-inf", "infinity", "1e400", " 61.4", "61.4 ",
                                 "0x3d", "0x1p3", "61,4", "", "+-1", "1e", "."}) {
        const ToolResult r = lock({"word", "--key", "400", "--lockfreq", lockfreq, "--console",
                                   "quilmar", "--systemdir", root_});
        EXPECT_EQ(r.status, 2) << lockfreq;
        EXPECT_EQ(r.out, "") << lockfreq;
        EXPECT_EQ(r.err.rfind("psenv: bad --lockfreq '", 0), 0u) << r.err;
    }
    for (const char *key : {" 400", "400.0", "0x190", "+ 400"})
        EXPECT_EQ(lock({"offset", "--key", key, "--lockfreq", "61.4", "--systemdir", root_}).status,
                  2) << key;
    for (const char *word : {" 1", "1.0", "0x10", "-2147483649"})
        EXPECT_EQ(lock({"freq", "--key", "400", "--word", word, "--console", "ardel",
                        "--systemdir", root_}).status,
                  2) << word;
    // A word the module would clamp to the 32-bit range is refused, not printed.
    for (const char *far : {"76.75", "-1e300", "1e300"}) {
        const ToolResult r = lock({"word", "--key", "200", "--lockfreq", far, "--console",
                                   "quilmar", "--systemdir", root_});
        EXPECT_EQ(r.status, 2) << far;
        EXPECT_EQ(r.err.rfind("psenv: --lockfreq " + std::string(far) + " gives a synthesizer word outside", 0), 0u) << r.err;
    }
    EXPECT_EQ(lock({"word", "--key", "400", "--lockfreq", "1e9", "--console", "ardel",
                    "--systemdir", root_}).status, 2);
    EXPECT_EQ(lock({"word", "--key", "200", "--lockfreq", "39.9", "--console", "quilmar",
                    "--systemdir", root_}).out, "2136746229\n");
    // Kept: a sign, a point, an exponent.
    ToolResult r = lock({"offset", "--key", "+400", "--lockfreq", "+6.14e1", "--systemdir", root_});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "21.4\n");
}

TEST_F(LockCommand, UsageErrors)
{
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"turn"},
        {"offset", "--lockfreq", "61.4"},
        {"offset", "--key", "4e2", "--lockfreq", "61.4"},
        {"offset", "--key", "99999999999", "--lockfreq", "61.4"},
        {"offset", "--key", "400"},
        {"offset", "--key", "400", "--lockfreq", "fast"},
        {"offset", "--key", "400", "--word", "3"},
        {"freq", "--key", "400", "--lockfreq", "61.4", "--console", "ardel"},
        {"freq", "--key", "400", "--word", "2147483648", "--console", "ardel"},
        {"word", "--key", "400", "--lockfreq", "61.4"},
        {"word", "--key", "400", "--lockfreq", "61.4", "--console", "ardel ", "--params", "x"},
        {"word", "--key", "400", "--lockfreq", "61.4", "--console", "Ardel"},
        {"word", "extra", "--key", "400", "--lockfreq", "61.4", "--console", "ardel"},
        {"word", "--frequency", "61.4"},
    };
    for (const auto &args : bad) {
        ToolResult r = lock(args);
        std::string shown;
        for (const auto &a : args)
            shown += a + " ";
        EXPECT_EQ(r.status, 2) << shown;
        EXPECT_EQ(r.err.rfind("psenv: ", 0), 0u) << shown;
        EXPECT_EQ(r.out, "") << shown;
    }
    ToolResult r = lock({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: psenv lock offset", 0), 0u);
    EXPECT_EQ(lock({"word", "--help"}).status, 0);
}

}  // namespace
