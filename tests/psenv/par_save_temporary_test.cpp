// The temporary file of a psenv par save ("<file><pid>"): what already stands
// at its name, names with no room for it, and signals while it is synced.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "par_safety.h"

namespace {

namespace fs = std::filesystem;

// psenv run as a child whose pid is known before it starts: the save's
// temporary name is "<file><pid>", and exec keeps the pid.  `before_exec`
// runs in the child with that pid (false ends the child with 126), which
// is stored in `started`.
ToolResult run_with_pid(const std::vector<std::string> &args,
                        const std::function<bool(pid_t)> &before_exec, pid_t &started)
{
    ToolResult result;
    const char *tool = std::getenv("PSENV_TOOL");
    std::string err_file = "/tmp/psenv-pid-err-XXXXXX";
    const int err_fd = mkstemp(err_file.data());
    if (tool == nullptr || err_fd < 0)
        return result;
    const pid_t child = fork();
    if (child == 0) {
        if (!before_exec(getpid()))
            _exit(126);
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(err_fd, 2);
        std::vector<char *> argv{const_cast<char *>(tool)};
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        execv(tool, argv.data());
        _exit(127);
    }
    close(err_fd);
    started = child;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    result.err = slurp_and_remove(err_file);
    return result;
}

// The store's save removes whatever stands at "<file><pid>"; a user's
// numbered file there (exp beside exp4321) must survive, so the tools look
// first and refuse, touching nothing.
TEST_F(ParSafety, WhatStandsAtTheTemporaryNameIsRefusedUntouched)
{
    write("exp", kAlpha);
    write("victim", "precious\n");
    write("src.par", kAlphaSeven);
    const std::string target = fs::canonical(path("exp")).string();
    struct Case {
        const char *kind;
        std::function<bool(const std::string &)> make;
    };
    const Case cases[] = {
        {"a file",
         [](const std::string &name) {
             std::ofstream(name) << "numbered run\n";
             return true;
         }},
        {"a symbolic link",
         [this](const std::string &name) {
             return symlink(path("victim").c_str(), name.c_str()) == 0;
         }},
        {"a directory", [](const std::string &name) { return mkdir(name.c_str(), 0700) == 0; }},
    };
    for (const Case &c : cases) {
        for (const auto &args : {std::vector<std::string>{"par", "set", path("exp"), "alpha", "7"},
                                 std::vector<std::string>{"par", "merge", path("exp"),
                                                          path("src.par"), "--all", "--force"}}) {
            pid_t pid = 0;
            const ToolResult r = run_with_pid(
                args, [&](pid_t own) { return c.make(target + std::to_string(own)); }, pid);
            const std::string temporary = target + std::to_string(pid);
            EXPECT_EQ(r.status, 1) << c.kind << " " << args[1];
            EXPECT_EQ(r.err, "psenv: " + path("exp") + ": a save writes the new file first as " +
                                 temporary + ", where " + c.kind +
                                 " already stands; rename or remove " + temporary +
                                 ", then try again; it was left unchanged\n");
            EXPECT_EQ(read("exp"), kAlpha);
            if (std::string(c.kind) == "a file") {
                EXPECT_EQ(read(fs::path(temporary).filename().string()), "numbered run\n");
            }
            EXPECT_TRUE(fs::is_symlink(temporary) || fs::exists(temporary)) << c.kind;
            std::error_code ignored;
            fs::remove(temporary, ignored);
        }
    }
    EXPECT_EQ(read("victim"), "precious\n");
    EXPECT_EQ(entries(), (std::vector<std::string>{"exp", "src.par", "victim"}));

    // With the name free the same edit goes through.
    ASSERT_EQ(par({"set", path("exp"), "alpha", "7"}).status, 0);
    EXPECT_EQ(read("exp"), kAlphaSeven);
}

// A name the save cannot extend by a process id is refused before anything
// is read or locked, with its length, rather than failing at the save's end
// with "File name too long"; the limits do not depend on the editor's pid.
TEST_F(ParSafety, NamesWithoutRoomForTheTemporaryNameAreRefusedUpFront)
{
    const std::string longest(245, 'n');
    const std::string too_long(246, 'n');
    write(longest, kAlpha);
    write(too_long, kAlpha);
    ToolResult r = par({"set", path(too_long), "alpha", "7"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path(too_long) +
                         ": its file name is 246 bytes long; a save writes the new file first "
                         "under that name followed by up to 10 digits, so at most 245 bytes can "
                         "be saved here; rename it to a shorter name; it was left unchanged\n");
    write("src.par", kAlphaSeven);
    EXPECT_EQ(par({"merge", path(too_long), path("src.par"), "--all"}).status, 1);
    EXPECT_EQ(read(too_long), kAlpha);
    r = par({"set", path(longest), "alpha", "7"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read(longest), kAlphaSeven);

    // The whole path: at most PATH_MAX - 1 - 10 bytes.
    const std::size_t most = PATH_MAX - 1 - 10;
    std::string deep = fs::canonical(dir_).string();
    while (deep.size() + 1 + 200 + 1 + 100 < most) {
        deep += "/" + std::string(200, 'd');
        ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
    }
    const std::string fits = deep + "/" + std::string(most - deep.size() - 1, 'f');
    const std::string over = deep + "/" + std::string(most - deep.size(), 'o');
    ASSERT_EQ(fits.size(), most);
    std::ofstream(fits) << kAlpha;
    std::ofstream(over) << kAlpha;
    r = par({"set", over, "alpha", "7"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + over + ": its path " + over + " is " +
                         std::to_string(most + 1) +
                         " bytes long; a save writes the new file first under that path followed "
                         "by up to 10 digits, so at most " +
                         std::to_string(most) +
                         " bytes can be saved; move it to a shorter path; it was left unchanged\n");
    r = par({"set", fits, "alpha", "7"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::ifstream in_fits(fits), in_over(over);
    std::stringstream fits_text, over_text;
    fits_text << in_fits.rdbuf();
    over_text << in_over.rdbuf();
    EXPECT_EQ(fits_text.str(), kAlphaSeven);
    EXPECT_EQ(over_text.str(), kAlpha);
}

// ---- signals during a save -----------------------------------------------------

// Waits up to `seconds` for one byte on `fd`; false when none came.
bool byte_arrives(int fd, int seconds)
{
    pollfd wait_for{fd, POLLIN, 0};
    char byte = 0;
    return poll(&wait_for, 1, seconds * 1000) == 1 && ::read(fd, &byte, 1) == 1;
}

// A signal while the save syncs its temporary file removes that file and
// ends psenv by the same signal; the target keeps its old content.  The save
// is held at its fsync by a preloaded stand-in, so nothing is left to timing.
TEST_F(ParSafety, SignalsInTheMiddleOfASaveLeaveNoTemporaryFile)
{
    const std::string asan = std::getenv("ASAN_OPTIONS") != nullptr ? std::getenv("ASAN_OPTIONS") : "";
    // The stand-in comes before a sanitizer's runtime in the library list.
    const std::string asan_options = asan + (asan.empty() ? "" : ":") + "verify_asan_link_order=0";
    write("src.par", kAlphaSeven);
    struct Case {
        int send;           // the signal sent first
        int ignored;        // a signal psenv inherits as ignored, or 0
        int then;           // the signal that must end it
        const char *command;
    };
    const Case cases[] = {
        {SIGINT, 0, SIGINT, "set"},
        {SIGTERM, 0, SIGTERM, "set"},
        {SIGHUP, 0, SIGHUP, "merge"},
        // Started under nohup: SIGHUP stays ignored, SIGTERM still cleans up.
        {SIGHUP, SIGHUP, SIGTERM, "set"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(strsignal(c.then)) + " " + c.command);
        write("p.par", kAlpha);
        int notify[2];
        ASSERT_EQ(pipe(notify), 0);
        const std::vector<std::string> args =
            std::string(c.command) == "set"
                ? std::vector<std::string>{"par", "set", path("p.par"), "alpha", "7"}
                : std::vector<std::string>{"par", "merge", path("p.par"), path("src.par"),
                                           "--all"};
        const char *tool = std::getenv("PSENV_TOOL");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(notify[0]);
            // The test's own dispositions (a background job ignores SIGINT)
            // must not decide what psenv does.
            for (int sig : {SIGINT, SIGTERM, SIGHUP})
                signal(sig, sig == c.ignored ? SIG_IGN : SIG_DFL);
            const int null = ::open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            setenv("PSENV_PAUSE_FSYNC_FD", std::to_string(notify[1]).c_str(), 1);
            setenv("LD_PRELOAD", PSENV_PAUSE_IN_FSYNC, 1);
            setenv("ASAN_OPTIONS", asan_options.c_str(), 1);
            std::vector<char *> argv{const_cast<char *>(tool)};
            for (const std::string &arg : args)
                argv.push_back(const_cast<char *>(arg.c_str()));
            argv.push_back(nullptr);
            execv(tool, argv.data());
            _exit(127);
        }
        close(notify[1]);
        const bool paused = byte_arrives(notify[0], 30);
        close(notify[0]);
        if (!paused) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            FAIL() << "the save never reached its fsync";
        }
        const std::string temporary = "p.par" + std::to_string(child);
        EXPECT_EQ(entries(), (std::vector<std::string>{"p.par", temporary, "src.par"}));
        EXPECT_EQ(read(temporary), kAlphaSeven);
        // An ignored signal first; the ending one after it is delivered
        // later, so the status says which one ended psenv.
        kill(child, c.send);
        if (c.then != c.send)
            kill(child, c.then);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
        EXPECT_EQ(WTERMSIG(status), c.then);
        EXPECT_EQ(read("p.par"), kAlpha);
        EXPECT_EQ(entries(), (std::vector<std::string>{"p.par", "src.par"}));
    }
}

}  // namespace
