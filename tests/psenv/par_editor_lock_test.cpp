// One editor at a time: psenv par edits of files in one directory take its
// lock, wait for it a while, and lose no update.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "par_safety.h"

namespace {

// ---- one editor at a time ------------------------------------------------------

TEST_F(ParSafety, TwoEditorsLoseNoUpdate)
{
    write("p.par", "d1 0 1 0 0 0 1 1 0 1 64\n1 0 \n0 \n"
                   "nt 0 1 0 0 0 1 1 0 1 64\n1 0 \n0 \n");
    constexpr int kRounds = 25;
    std::vector<pid_t> editors;
    for (const char *name : {"d1", "nt"}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int lost = 0;
            for (int i = 1; i <= kRounds; ++i) {
                const std::string value = std::to_string(i);
                if (run_psenv({"par", "set", path("p.par"), name, value}).status != 0)
                    _exit(2);
                // Only this editor changes `name`: it never goes back.
                if (run_psenv({"par", "get", path("p.par"), name}).out != value + "\n")
                    ++lost;
            }
            _exit(lost == 0 ? 0 : 1);
        }
        editors.push_back(child);
    }
    for (pid_t editor : editors) {
        int status = 0;
        ASSERT_EQ(waitpid(editor, &status, 0), editor);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    EXPECT_EQ(par({"get", path("p.par"), "d1"}).out, std::to_string(kRounds) + "\n");
    EXPECT_EQ(par({"get", path("p.par"), "nt"}).out, std::to_string(kRounds) + "\n");
    EXPECT_EQ(entries(), std::vector<std::string>{"p.par"});
}

// True while someone holds the lock psenv takes (the directory's flock).
bool directory_locked(const std::string &dir)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    const bool locked = flock(fd, LOCK_EX | LOCK_NB) != 0;
    close(fd);
    return locked;
}

TEST_F(ParSafety, ASecondEditorWaitsThenGivesUpAndAKilledHolderLeavesNoLock)
{
    // A file big enough that an edit takes a while.
    std::string big;
    for (int i = 0; i < 200000; ++i)
        big += "p" + std::to_string(i) + " 0 1 0 0 0 1 1 0 1 64\n1 1 \n0 \n";
    write("big.par", big);
    write("p.par", kAlpha);

    const char *tool = std::getenv("PSENV_TOOL");
    const std::string target = path("big.par");
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execl(tool, tool, "par", "set", target.c_str(), "p1", "5", static_cast<char *>(nullptr));
        _exit(127);
    }
    // Wait for the editor to hold its lock.
    bool held = false;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!held && std::chrono::steady_clock::now() < until &&
           waitpid(holder, nullptr, WNOHANG) == 0)
        held = directory_locked(dir_);
    if (!held) {
        kill(holder, SIGKILL);
        waitpid(holder, nullptr, 0);
        GTEST_SKIP() << "the edit ended before its lock could be seen";
    }
    // Another file of the directory waits for it and gives up, named.
    ToolResult r = par({"set", path("p.par"), "alpha", "7", "--wait", "0.2"});
    // The first editor may have finished meanwhile on a fast machine.
    if (r.status != 0) {
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "psenv: " + path("p.par") +
                             ": another editor of a file in its directory still holds the lock "
                             "after 0.2 s; it was left unchanged\n");
        EXPECT_EQ(read("p.par"), kAlpha);
    }
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);

    const auto begin = std::chrono::steady_clock::now();
    r = par({"set", path("p.par"), "alpha", "7", "--wait", "5"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(4))
        << "the killed editor's lock outlived it";
    EXPECT_EQ(read("p.par"), kAlphaSeven);
    const std::string now = read("big.par");
    EXPECT_TRUE(now == big || now.find("p1 0 1 0 0 0 1 1 0 1 64\n1 5 \n") != std::string::npos);
}

TEST_F(ParSafety, WaitMustBeSecondsInRange)
{
    write("p.par", kAlpha);
    for (const char *bad : {"-1", "nan", "1e9", "x", " 1"})
        EXPECT_EQ(par({"set", path("p.par"), "alpha", "2", "--wait", bad}).status, 2) << bad;
    EXPECT_EQ(read("p.par"), kAlpha);
}

}  // namespace
