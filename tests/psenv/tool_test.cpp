// The psenv sched tool end to end.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "sparsamp_fixture.h"

namespace {

class SchedTool : public SparsampTest {
protected:
    void SetUp() override
    {
        SparsampTest::SetUp();
        if (std::getenv("PSENV_TOOL") == nullptr)
            GTEST_SKIP() << "PSENV_TOOL names no built psenv";
    }

    struct Run {
        int status;
        std::string out;
        std::string err;
    };

    Run run(const std::string &arguments) const { return run_limited(0, arguments); }

    // With `blocks` > 0, files may grow to that many blocks of the shell's
    // "ulimit -f" (512 or 1024 bytes).
    Run run_limited(int blocks, const std::string &arguments) const
    {
        const std::string limit = blocks > 0 ? "ulimit -f " + std::to_string(blocks) + "; " : "";
        const std::string command = limit + std::string(std::getenv("PSENV_TOOL")) + " " +
                                    arguments + " >" + path("out.txt") + " 2>" + path("err.txt");
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file("out.txt"), read_file("err.txt")};
    }

    // Well-formedness checked by an independent XML parser.
    bool well_formed(const std::string &file) const
    {
        const std::string command =
            "python3 -c \"import sys, xml.etree.ElementTree as E; "
            "r = E.parse(sys.argv[1]).getroot(); sys.exit(0 if r.tag.endswith('svg') else 1)\" " +
            path(file);
        return std::system(command.c_str()) == 0;
    }
};

TEST_F(SchedTool, MakeWritesTheScheduleAndSummarises)
{
    const Run r = run("sched make --ni 8 --density 50 --dir " + dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file("sampling.sch"), "0    \n2    \n5    \n7    \n");
    EXPECT_NE(r.out.find("d2   increments 8, sampled 4, density 50%"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("grid:          8 points (8)"), std::string::npos);
    EXPECT_NE(r.out.find("points:        4"), std::string::npos);
    EXPECT_NE(r.out.find("seed:          169, grid order"), std::string::npos);

    const Run drawn = run("sched make --ni 8 --density 50 --seed -2 --name " + path("x.sch"));
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    EXPECT_EQ(read_file("x.sch"), "0    \n2    \n1    \n7    \n");
    EXPECT_NE(drawn.out.find("seed:          -2, drawing order"), std::string::npos);

    const Run two = run("sched make --ni 64 --density 25 --ni3 32 --density3 50 --dir " + dir_);
    ASSERT_EQ(two.status, 0) << two.err;
    EXPECT_NE(two.out.find("d4   increments 32"), std::string::npos) << two.out;
    EXPECT_NE(two.out.find("grid:          2048 points (64 x 32)"), std::string::npos);
}

TEST_F(SchedTool, MakeLoadsAParameterFileBeforeTheOptions)
{
    // ni 8, CSdensity 50 and CStype "generated" from the file: the same
    // schedule as from the options alone.
    write_file("exp.par",
               "ni 0 1 1000000 0 0 2 0 0 1 64\n1 8 \n0 \n"
               "CSdensity 0 1 100 0 0 2 0 0 1 64\n1 50 \n0 \n"
               "CStype 0 2 0 0 0 2 0 0 1 64\n1 \"generated\"\n0 \n");
    Run r = run("sched make --params " + path("exp.par") + " --dir " + dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file("sampling.sch"), "0    \n2    \n5    \n7    \n");
    EXPECT_NE(r.out.find("increments 8, sampled 4, density 50%"), std::string::npos) << r.out;

    // An option given as well wins over the file.
    r = run("sched make --params " + path("exp.par") + " --density 25 --dir " + dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("increments 8, sampled 2, density 25%"), std::string::npos) << r.out;

    r = run("sched make --params " + path("none.par") + " --dir " + dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("none.par") + ": No such file or directory\n");

    // A damaged file says where it broke and ends the command: a schedule
    // from part of the parameters would be a wrong one.
    write_file("bad.par", "ni 0 1 1000000 0 0 2 0 0 1 64\n1 8 \n0 \n"
                          "CSdensity 0 1 100 0 0 2 0 0 1 64\n1 fifty \n0 \n");
    std::remove(path("sampling.sch").c_str());
    r = run("sched make --params " + path("bad.par") + " --density 50 --dir " + dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("bad.par") +
                         ":5: record 2: 'CSdensity': value 1 of 1 'fifty' is not a number\n"
                         "psenv: " + path("bad.par") +
                         ": the parameter file is damaged; it was not used\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(std::filesystem::exists(path("sampling.sch")));

    r = run("sched make --params " + dir_ + " --ni 8 --density 50 --dir " + dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + dir_ + ": Is a directory\n");
}

TEST_F(SchedTool, MakeNeverCallsAFailedWriteASuccess)
{
    write_file("sampling.sch", "0    \n1    \n");
    Run r = run("sched make --ni 8 --density 50 --name /dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "psenv: cannot write schedule file '/dev/full': No space left on device\n");

    // A file size limit stands in for a full disk: the old schedule stays.
    r = run_limited(16, "sched make --ni 20000 --density 100 --dir " + dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: cannot write schedule file '" + dir_ +
                         "/sampling.sch': File too large\n");
    EXPECT_EQ(read_file("sampling.sch"), "0    \n1    \n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()), 3)
        << "only sampling.sch, out.txt and err.txt";

    r = run("sched make --ni 8 --density 50 --dir " + dir_ + "/missing");
    EXPECT_EQ(r.err, "psenv: cannot write schedule file '" + dir_ +
                         "/missing/sampling.sch': No such file or directory\n");
}

TEST_F(SchedTool, MakeOnAFullFileSystem)
{
    const std::string mounted = path("small");
    std::filesystem::create_directory(mounted);
    if (geteuid() != 0 ||
        std::system(("mount -t tmpfs -o size=64k tmpfs " + mounted + " 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "no small tmpfs could be mounted (needs root and the right to mount)";
    write_file("small/sampling.sch", "0    \n1    \n");
    const Run r = run("sched make --ni 500000 --density 100 --dir " + mounted);
    std::system(("umount " + mounted).c_str());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: cannot write schedule file '" + mounted +
                         "/sampling.sch': No space left on device\n");
}

TEST_F(SchedTool, MakeReportsMemoryRunningOut)
{
    // Within the 1 GiB limit, beyond what the address space allows.
    const std::string limit = "ulimit -v 300000; ";
    if (std::system((limit + std::getenv("PSENV_TOOL") + " --version >/dev/null 2>&1").c_str()) != 0)
        GTEST_SKIP() << "the tool does not start under an address space limit (sanitizers)";
    write_file("sampling.sch", "0    \n1    \n");
    const std::string command = limit + std::getenv("PSENV_TOOL") +
                                " sched make --ni 15000 --density 50 --ni2 15000 --density2 50 --dir " +
                                dir_ + " 2>" + path("err.txt");
    const int raw = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_EQ(read_file("err.txt"),
              "psenv: the schedule could not be made: memory ran out (it needs 643.7 MiB)\n");
    EXPECT_EQ(read_file("sampling.sch"), "0    \n1    \n");
}

TEST_F(SchedTool, MakeRefusesSchedulesBeyondTheLimit)
{
    Run r = run("sched make --ni 46340 --density 100 --ni2 46340 --density2 100 --dir " + dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: the schedule would need 18.0 GiB of memory (a grid of 2147395600 "
                     "points, 2147395600 rows) and a file of up to 26.0 GiB; the limit is 1 GiB: "
                     "give --max-points 2147395600 to allow it\n");
    r = run("sched make --ni 40000 --density 50 --ni2 40000 --density2 50 --dir " + dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("4.5 GiB of memory"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(path("sampling.sch")));

    // --max-points sets the limit in grid points, either way.
    r = run("sched make --ni 64 --density 50 --max-points 63 --dir " + dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("the limit is 63 grid points: give --max-points 64"), std::string::npos)
        << r.err;
    r = run("sched make --ni 64 --density 50 --max-points 64 --dir " + dir_);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "") << "no progress when standard error is no terminal";
}

TEST_F(SchedTool, MakeTakesOnlyWholeFiniteNumbersInRange)
{
    for (const char *bad : {"--ni 64.7", "--ni ' 64'", "--ni 0x40", "--ni -3", "--ni 1e3",
                            "--ni 2147483647", "--seed 1e30", "--seed nan", "--seed 2.5",
                            "--seed 2147483648", "--density inf", "--density nan",
                            "--density 0", "--density 100.5", "--density 0x1p3",
                            "--density ''", "--max-points 0", "--max-points 1.5"}) {
        const std::string arguments = std::string(bad).rfind("--ni ", 0) == 0
                                          ? std::string(bad) + " --density 50"
                                          : "--ni 64 " + std::string(bad);
        const Run r = run("sched make " + arguments + " --dir " + dir_);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_EQ(r.err.rfind("psenv: --", 0), 0u) << bad << ": " << r.err;
        EXPECT_NE(r.err.find("' is not "), std::string::npos) << bad << ": " << r.err;
    }
    // Forms kept: a sign, a decimal point and an exponent where a real is meant.
    EXPECT_EQ(run("sched make --ni +64 --density 2.5e1 --seed -7 --dir " + dir_).status, 0);
}

TEST_F(SchedTool, MakeRefusesAnEmptyDirectoryOrName)
{
    // Without the check, --dir '' put the file at the root of the file system.
    const bool was_there = std::filesystem::exists("/sampling.sch");
    for (const char *arguments : {"--ni 8 --density 50 --dir ''",
                                  "--ni 8 --density 50 --dir '' --name s.sch",
                                  "--ni 8 --density 50 --name ''",
                                  "--method poisson-gap --ni 8 --points 4 --dir ''",
                                  "--method poisson-gap --ni 8 --points 4 --name ''"}) {
        const Run r = run(std::string("sched make ") + arguments);
        EXPECT_EQ(r.status, 2) << arguments;
        EXPECT_EQ(r.out, "") << arguments;
        EXPECT_EQ(r.err.rfind("psenv: --", 0), 0u) << arguments << ": " << r.err;
    }
    EXPECT_EQ(run("sched make --ni 8 --density 50 --dir ''").err,
              "psenv: --dir needs a directory (. for the current one)\n"
              "psenv: Try 'psenv sched make --help'.\n");
    if (!was_there && std::filesystem::exists("/sampling.sch")) {
        std::remove("/sampling.sch");  // left by a faulty build, not by anyone else
        ADD_FAILURE() << "a schedule was written to /sampling.sch";
    }
}

TEST_F(SchedTool, FailedOutputIsAFailure)
{
    write_file("s.sch", "0\n1\n");
    for (const std::string &command : {"sched show " + path("s.sch"),
                                      "sched make --ni 8 --density 50 --dir " + dir_,
                                      std::string("sched --help")}) {
        const int raw = std::system((std::string(std::getenv("PSENV_TOOL")) + " " + command +
                                     " >/dev/full 2>" + path("err.txt")).c_str());
        EXPECT_EQ(WEXITSTATUS(raw), 1) << command;
        EXPECT_EQ(read_file("err.txt"),
                  "psenv: error writing standard output: No space left on device\n")
            << command;
    }
}

TEST_F(SchedTool, MakeReadsFileTypesAndReportsFailures)
{
    write_file("sampling.sch", "0 0\n1 1\n");
    Run r = run("sched make --type i --ni 8 --density 50 --ni2 4 --density2 50 --dir " + dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("points:        2"), std::string::npos) << r.out;

    r = run("sched make --type d --ni 8 --density 50 --dir " + dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("psenv: schedule file"), std::string::npos) << r.err;

    r = run("sched make --ni 8 --density 50 --dir " + dir_ + "/missing");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("psenv: cannot write schedule file"), std::string::npos) << r.err;

    r = run("sched make --ni 65536 --density 50 --ni2 65536 --density2 50 --dir " + dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("2^31"), std::string::npos) << r.err;

    r = run("sched make --ni 1 --density 50 --dir " + dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no sparse dimension"), std::string::npos);

    EXPECT_EQ(run("sched make --ni eight --density 50").status, 2);
    EXPECT_EQ(run("sched make --type x --ni 8 --density 50").status, 2);
    EXPECT_EQ(run("sched make --bogus 1").status, 2);
    EXPECT_EQ(run("sched frobnicate").status, 2);
    EXPECT_EQ(run("sched").status, 2);
    for (const char *help : {"sched --help", "sched make --help", "sched show --help",
                             "sched plot --help"}) {
        const Run h = run(help);
        EXPECT_EQ(h.status, 0) << help;
        EXPECT_NE(h.out.find("Usage: psenv sched"), std::string::npos) << help;
    }
}

TEST_F(SchedTool, ShowListsRowsAndStatistics)
{
    write_file("s.sch", "# comment\n0 0\n3 0\n0 1\n7 1\n");
    const Run r = run("sched show " + path("s.sch"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("   row     d2     d3\n     0      0      0\n     1      3      0\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("4 rows, 2 dimensions"), std::string::npos);
    EXPECT_NE(r.out.find("dimension 1 (d2): 3 distinct increments in 0..7, largest gap 4, "
                         "first quarter 1 of 2 sampled (50.0%)"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("dimension 2 (d3): 2 distinct increments in 0..1, largest gap 1, "
                         "first quarter 1 of 1 sampled (100.0%)"),
              std::string::npos);

    write_file("empty.sch", "\n");
    const Run empty = run("sched show " + path("empty.sch"));
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("no data row"), std::string::npos);
    EXPECT_EQ(run("sched show " + path("none.sch")).status, 1);
    write_file("wide.sch", "1 2 3 4 5 6 7 8 9 10 11\n");
    EXPECT_EQ(run("sched show --no-rows " + path("wide.sch")).status, 0);
    EXPECT_EQ(run("sched show").status, 2);
}

TEST_F(SchedTool, PlotWritesWellFormedSvgForEveryShape)
{
    ASSERT_EQ(run("sched make --ni 64 --density 25 --name " + path("one.sch")).status, 0);
    ASSERT_EQ(run("sched make --ni 16 --density 25 --ni2 12 --density2 50 --name " +
                  path("two.sch")).status, 0);
    ASSERT_EQ(run("sched make --ni 8 --density 50 --ni2 6 --density2 50 --ni3 5 --density3 60 "
                  "--name " + path("three.sch")).status, 0);
    write_file("odd <&>.sch", "0 0\n-3 2\n");
    for (const char *name : {"one", "two", "three"}) {
        const Run r = run(std::string("sched plot ") + path(std::string(name) + ".sch") +
                          " --svg " + path(std::string(name) + ".svg"));
        ASSERT_EQ(r.status, 0) << name << r.err;
        EXPECT_TRUE(well_formed(std::string(name) + ".svg")) << name;
    }
    const std::string three = read_file("three.svg");
    EXPECT_NE(three.find("d4 increment (dimension 3)"), std::string::npos);
    EXPECT_NE(three.find("d3 increment (dimension 2)"), std::string::npos);

    ASSERT_EQ(run("sched plot " + path("three.sch") + " --dims 3,1 --svg " + path("p.svg")).status, 0);
    EXPECT_TRUE(well_formed("p.svg"));
    ASSERT_EQ(run("sched plot '" + path("odd <&>.sch") + "' --svg " + path("odd.svg")).status, 0);
    EXPECT_TRUE(well_formed("odd.svg"));

    EXPECT_EQ(run("sched plot " + path("three.sch") + " --dims 1,1 --svg x.svg").status, 2);
    EXPECT_EQ(run("sched plot " + path("three.sch") + " --dims '1, 2' --svg x.svg").status, 2);
    EXPECT_EQ(run("sched plot " + path("three.sch") + " --dims 1.0,2 --svg x.svg").status, 2);
    EXPECT_EQ(run("sched plot " + path("three.sch") + " --dims 1,4 --svg x.svg").status, 2);
    EXPECT_EQ(run("sched plot " + path("one.sch") + " --dims 1,2 --svg x.svg").status, 2);
    EXPECT_EQ(run("sched plot " + path("one.sch")).status, 2);
    const Run r = run("sched plot " + path("one.sch") + " --svg " + dir_ + "/no/x.svg");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: cannot write '" + dir_ + "/no/x.svg': No such file or directory\n");
}

TEST_F(SchedTool, PlotTextsAreValidUtf8)
{
    // A name in Latin-1 (0xE9) and a stray continuation byte (0x80).
    const std::string name = "caf\xE9 \x80<x>.sch";
    write_file(name, "0 0\n3 2\n");
    const Run r = run("sched plot '" + path(name) + "' --svg " + path("u.svg"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(well_formed("u.svg"));
    const std::string svg = read_file("u.svg");
    EXPECT_NE(svg.find("caf\xEF\xBF\xBD \xEF\xBF\xBD&lt;x&gt;.sch"), std::string::npos);

    // Well-formed sequences are kept as they are.
    write_file("\xC3\xA9t\xC3\xA9.sch", "0\n2\n");
    ASSERT_EQ(run("sched plot '" + path("\xC3\xA9t\xC3\xA9.sch") + "' --svg " + path("v.svg")).status, 0);
    EXPECT_NE(read_file("v.svg").find("\xC3\xA9t\xC3\xA9.sch"), std::string::npos);
}

TEST_F(SchedTool, PlotReplacesTheOutputWhole)
{
    write_file("s.sch", "0 0\n3 2\n");
    write_file("old.svg", "old");
    ASSERT_EQ(chmod(path("old.svg").c_str(), 0640), 0);
    ASSERT_EQ(run("sched plot " + path("s.sch") + " --svg " + path("old.svg")).status, 0);
    EXPECT_TRUE(well_formed("old.svg"));
    struct stat info {};
    ASSERT_EQ(stat(path("old.svg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640U);

    const Run full = run("sched plot " + path("s.sch") + " --svg /dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "psenv: cannot write '/dev/full': No space left on device\n");
    const Run dir = run("sched show " + dir_);
    EXPECT_EQ(dir.status, 1);
    EXPECT_EQ(dir.err, "psenv: cannot open schedule file '" + dir_ + "': Is a directory\n");
}

}  // namespace
