// The files of experiment programs: parameter files that did not load
// cleanly, and trace and diagram writes that fail, are killed or go to a FIFO.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "runner_fixture.h"
#include "svg_check.h"

namespace {

namespace fs = std::filesystem;

TEST_F(Runner, FilesThatDidNotLoadCleanlyRunNothing)
{
    fs::path empty = dir_ / "empty.par";
    std::ofstream{empty};
    fs::path noise = dir_ / "noise.par";
    {
        std::ofstream out(noise, std::ios::binary);
        unsigned state = 12345;
        for (int i = 0; i < 400; ++i) {
            state = state * 1103515245u + 12345u;
            out.put(static_cast<char>(state >> 16));
        }
    }
    for (const fs::path &bad : {empty, noise, dir_}) {
        Outcome o = run(ONEPULSE_PROGRAM, "'" + bad.string() + "'");
        EXPECT_EQ(o.status, 1) << bad;
        EXPECT_EQ(o.out, "") << bad;
        EXPECT_NE(o.err, "") << bad;
        expect_prefixed(o.err, "onepulse");
    }
    Outcome o = run(ONEPULSE_PROGRAM, "--global '" + empty.string() + "' '" +
                                          parfile(one_pulse()).string() + "'");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
}

// A file cut right after a count loads without a word from the store; only
// the byte check tells it from a whole file, and the run must not go ahead.
TEST_F(Runner, FilesCutShortRunNothing)
{
    const std::string whole = slurp(parfile(one_pulse()));
    const std::string cut = whole.substr(0, whole.rfind("\n0 \n") + 2);
    fs::path cut_file = dir_ / "cut.par";
    std::ofstream(cut_file, std::ios::binary) << cut;
    Outcome o = run(ONEPULSE_PROGRAM, "'" + cut_file.string() + "'");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find(cut_file.string() + ":"), std::string::npos) << o.err;
    expect_prefixed(o.err, "onepulse");
}

TEST_F(Runner, AFailedWriteOfTheTraceIsAFailure)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    std::string command = std::string("'") + ONEPULSE_PROGRAM + "' '" +
                          parfile(one_pulse()).string() + "' >/dev/full 2>'" +
                          (dir_ / "err").string() + "'";
    int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_EQ(slurp(dir_ / "err").rfind("onepulse: standard output: ", 0), 0u);
}

// A file size limit stands in for a full disk: the diagram's write fails part
// way.  With the limit's signal left to kill the runner, it also stands in
// for a kill in the middle of the write.
TEST_F(Runner, AFailedOrKilledDiagramWriteLeavesTheOldDiagram)
{
    const fs::path svg = dir_ / "old.svg";
    const std::string old_diagram = "<svg>the old diagram</svg>\n";
    std::ofstream(svg) << old_diagram;
    const std::string run_line = std::string("'") + ONEPULSE_PROGRAM + "' --svg '" +
                                 svg.string() + "' '" + parfile(one_pulse()).string() +
                                 "' >/dev/null 2>'" + (dir_ / "err").string() + "'";

    int raw = std::system(("trap '' XFSZ; ulimit -f 2; " + run_line).c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_EQ(slurp(dir_ / "err").rfind("onepulse: cannot write " + svg.string() + ": ", 0), 0u)
        << slurp(dir_ / "err");
    EXPECT_EQ(slurp(svg), old_diagram);
    std::vector<std::string> left;
    for (const auto &entry : fs::directory_iterator(dir_))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"err", "exp.par", "old.svg"}))
        << "a failed write leaves nothing behind";

    raw = std::system(("ulimit -f 2; " + run_line).c_str());
    EXPECT_FALSE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
    EXPECT_EQ(slurp(svg), old_diagram);
}

TEST_F(Runner, AFifoAsTheDiagramIsWrittenInPlaceOrRefusedWithoutWaiting)
{
    const fs::path pipe = dir_ / "pipe.svg";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string args = "--svg '" + pipe.string() + "' '" + parfile(one_pulse()).string() + "'";

    // Nobody reads: refused at once instead of waiting for a reader forever.
    int raw = std::system(("timeout 20 '" + std::string(ONEPULSE_PROGRAM) + "' " + args +
                           " >/dev/null 2>'" + (dir_ / "err").string() + "'")
                              .c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1) << "124 is the timeout: the runner waited";
    EXPECT_EQ(slurp(dir_ / "err").rfind("onepulse: cannot write " + pipe.string() + ": ", 0), 0u)
        << slurp(dir_ / "err");

    // A reader: the diagram goes through the FIFO, which stays a FIFO.
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    Outcome o = run(ONEPULSE_PROGRAM, args);
    EXPECT_EQ(o.status, 0) << o.err;
    std::string document;
    char buffer[4096];
    for (ssize_t got; (got = ::read(reader, buffer, sizeof buffer)) > 0;)
        document.append(buffer, static_cast<size_t>(got));
    ::close(reader);
    std::string why;
    EXPECT_TRUE(well_formed(document, why)) << why;
    struct stat info {};
    ASSERT_EQ(::lstat(pipe.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

} // namespace
