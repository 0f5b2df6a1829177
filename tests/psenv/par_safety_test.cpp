// What psenv par set and merge refuse, keep and lock: non-regular targets,
// permissions, hard links, ownership, damaged files, and two editors at once.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "psenv_runner.h"

namespace {

namespace fs = std::filesystem;

const char *const kAlpha = "alpha 0 1 100 0 0 1 1 0 1 64\n1 1 \n0 \n";
const char *const kAlphaSeven = "alpha 0 1 100 0 0 1 1 0 1 64\n1 7 \n0 \n";

class ParSafety : public PsenvRunner {
protected:
    ParSafety() : PsenvRunner("par-safety", 0755) {}

    static ToolResult par(std::vector<std::string> args)
    {
        args.insert(args.begin(), "par");
        return run_psenv(args);
    }

    // Runs `body` in a child as user and group 65534 (when root); the child's
    // exit status is 0 when every expectation in it held.
    static int as_nobody(const std::function<bool()> &body)
    {
        const pid_t child = fork();
        if (child == 0) {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                _exit(3);
            _exit(body() ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

// psenv run in a child with a time limit: a tool that blocks is killed and
// reported as status -1.
ToolResult run_guarded(const std::vector<std::string> &args, int seconds)
{
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);  // so that a hung psenv goes with it
        close(pipe_fds[0]);
        const ToolResult r = run_psenv(args);
        const std::string report = std::to_string(r.status) + "\n" + r.err;
        (void)!::write(pipe_fds[1], report.data(), report.size());
        _exit(0);
    }
    close(pipe_fds[1]);
    ToolResult result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(-child, SIGKILL);
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            close(pipe_fds[0]);
            return result;  // status -1: it hung
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    close(pipe_fds[0]);
    const auto newline = text.find('\n');
    if (newline != std::string::npos) {
        result.status = std::atoi(text.substr(0, newline).c_str());
        result.err = text.substr(newline + 1);
    }
    return result;
}

// ---- what may be replaced -----------------------------------------------------

TEST_F(ParSafety, TargetsThatAreNoRegularFileAreRefusedUntouched)
{
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0644), 0);
    ToolResult r = run_guarded({"par", "set", path("fifo"), "alpha", "2"}, 10);
    EXPECT_EQ(r.status, 1) << "a FIFO target must not block";
    EXPECT_EQ(r.err, "psenv: " + path("fifo") + ": not a regular file; it was left unchanged\n");
    write("src.par", kAlpha);
    r = run_guarded({"par", "merge", path("fifo"), path("src.par"), "--all"}, 10);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(fs::is_fifo(path("fifo")));

    // A link to a device is followed to the device, which stays one.
    fs::create_symlink("/dev/null", path("null.par"));
    r = par({"set", path("null.par"), "alpha", "2", "--force"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("null.par") + ": not a regular file; it was left unchanged\n");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    r = par({"set", dir_, "alpha", "2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + dir_ + ": Is a directory\n");
    // A FIFO as the source of a merge is refused too, not waited on.
    write("dest.par", kAlpha);
    r = run_guarded({"par", "merge", path("dest.par"), path("fifo"), "--all"}, 10);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(read("dest.par"), kAlpha);
    EXPECT_EQ(entries(), (std::vector<std::string>{"dest.par", "fifo", "null.par", "src.par"}));
}

TEST_F(ParSafety, WriteProtectedAndHardLinkedFilesNeedForce)
{
    write("ro.par", kAlpha, 0444);
    ToolResult r = par({"set", path("ro.par"), "alpha", "7"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("ro.par") +
                         ": Permission denied (mode 0444; --force replaces it anyway); it was "
                         "left unchanged\n");
    EXPECT_EQ(read("ro.par"), kAlpha);
    r = par({"set", path("ro.par"), "alpha", "7", "--force"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read("ro.par"), kAlphaSeven);
    EXPECT_EQ(fs::status(path("ro.par")).permissions(), fs::perms(0444));

    write("a.par", kAlpha);
    ASSERT_EQ(link(path("a.par").c_str(), path("b.par").c_str()), 0);
    write("src.par", kAlphaSeven);
    r = par({"merge", path("a.par"), path("src.par"), "--all"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("a.par") +
                         ": it has 2 hard links, which replacing it would split (--force "
                         "replaces it anyway); it was left unchanged\n");
    r = par({"set", path("a.par"), "alpha", "7", "--force"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read("a.par"), kAlphaSeven);
    EXPECT_EQ(read("b.par"), kAlpha);  // the other name keeps the old file
}

TEST_F(ParSafety, OwnerGroupAndModeOfTheReplacedFileAreKept)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give the file away";
    write("p.par", kAlpha, 0640);
    ASSERT_EQ(chown(path("p.par").c_str(), 65534, 65534), 0);
    const ToolResult r = par({"set", path("p.par"), "alpha", "7"});
    ASSERT_EQ(r.status, 0) << r.err;
    struct stat info {};
    ASSERT_EQ(stat(path("p.par").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(read("p.par"), kAlphaSeven);
}

// psenv run as user and group 65534 (the caller must be root); status -1
// when the child could not become that user.
ToolResult run_as_nobody(const std::vector<std::string> &args)
{
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(pipe_fds[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(3);
        const ToolResult r = run_psenv(args);
        const std::string report = std::to_string(r.status) + "\n" + r.err;
        (void)!::write(pipe_fds[1], report.data(), report.size());
        _exit(0);
    }
    close(pipe_fds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    close(pipe_fds[0]);
    waitpid(child, nullptr, 0);
    ToolResult result;
    const auto newline = text.find('\n');
    if (newline != std::string::npos) {
        result.status = std::atoi(text.substr(0, newline).c_str());
        result.err = text.substr(newline + 1);
    }
    return result;
}

// --force is offered only to whom it can help: root, or the owner who may
// make a new file in the directory and give it the file's group.
TEST_F(ParSafety, ForceIsOfferedOnlyWhereItCanHelp)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to make a second user's view";
    const std::string open_dir = path("open");
    ASSERT_EQ(mkdir(open_dir.c_str(), 0777), 0);
    ASSERT_EQ(chmod(open_dir.c_str(), 0777), 0);
    const auto place = [](const std::string &file, mode_t mode, uid_t owner) {
        std::ofstream(file) << kAlpha;
        return chown(file.c_str(), owner, owner) == 0 && chmod(file.c_str(), mode) == 0;
    };
    const auto refusal = [](const std::string &file, const std::string &why) {
        return "psenv: " + file + ": " + why + "; it was left unchanged\n";
    };

    // Another user's file: --force would fail at giving the new file its owner.
    const std::string roots = open_dir + "/roots.par";
    ASSERT_TRUE(place(roots, 0644, 0));
    ToolResult r = run_as_nobody({"par", "set", roots, "alpha", "7"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, refusal(roots, "Permission denied (mode 0644; only its owner or root may "
                                    "replace it)"));
    const std::string linked = open_dir + "/linked.par";
    ASSERT_TRUE(place(linked, 0666, 0));
    ASSERT_EQ(link(linked.c_str(), (open_dir + "/other.par").c_str()), 0);
    r = run_as_nobody({"par", "set", linked, "alpha", "7"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, refusal(linked, "it has 2 hard links, which replacing it would split (only "
                                     "its owner or root may replace it)"));

    // One's own file in a directory one may not write: no new file there.
    const std::string own_closed = path("own.par");
    ASSERT_TRUE(place(own_closed, 0444, 65534));
    r = run_as_nobody({"par", "set", own_closed, "alpha", "7"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, refusal(own_closed, "Permission denied (mode 0444; its directory " +
                                             fs::canonical(dir_).string() +
                                             " is not writable either)"));

    // One's own file in one's own group and a writable directory: it helps.
    const std::string own_open = open_dir + "/own.par";
    ASSERT_TRUE(place(own_open, 0444, 65534));
    r = run_as_nobody({"par", "set", own_open, "alpha", "7"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, refusal(own_open, "Permission denied (mode 0444; --force replaces it "
                                       "anyway)"));
    r = run_as_nobody({"par", "set", own_open, "alpha", "7", "--force"});
    EXPECT_EQ(r.status, 0) << r.err;

    std::ifstream in(own_open);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), kAlphaSeven);
    for (const std::string &file : {roots, linked, own_closed}) {
        std::ifstream unchanged(file);
        std::stringstream before;
        before << unchanged.rdbuf();
        EXPECT_EQ(before.str(), kAlpha) << file;
    }
}

TEST_F(ParSafety, AnotherUsersFileInAWritableDirectoryStaysTheirs)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to make a second user's view";
    chmod(dir_.c_str(), 0777);
    write("p.par", kAlpha, 0644);  // root's, readable by all
    const std::string target = path("p.par");
    const int status = as_nobody([&] {
        const ToolResult refused = run_psenv({"par", "set", target, "alpha", "7"});
        const ToolResult forced = run_psenv({"par", "set", target, "alpha", "7", "--force"});
        return refused.status == 1 &&
               refused.err.find("Permission denied (mode 0644") != std::string::npos &&
               forced.status == 1 &&
               forced.err == "psenv: " + target +
                                 ": cannot save: Operation not permitted; it was left unchanged\n";
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(read("p.par"), kAlpha);
    EXPECT_EQ(entries(), std::vector<std::string>{"p.par"});
    struct stat info {};
    ASSERT_EQ(stat(path("p.par").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 0u);
}

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
