// What psenv par set and merge may replace, and whose file it stays:
// targets that are no regular file, write protection, hard links, owners,
// and to whom --force is offered.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "par_safety.h"

namespace {

namespace fs = std::filesystem;

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

}  // namespace
