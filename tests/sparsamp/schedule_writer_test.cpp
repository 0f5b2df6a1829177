// The schedule writer never reports a failure as success and never leaves a
// schedule half-written.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "sparsamp_fixture.h"

namespace {

class ScheduleWriter : public SparsampTest {
protected:
    // A schedule of 4096 rows: about 24 KB of text.
    void make_large_schedule()
    {
        set_dimension(1, 4096, 100);
        ASSERT_EQ(CSinit(0, nullptr), 0);
        CSmakeSched();
        ASSERT_EQ(getCSnum(), 4096);
    }

    static constexpr const char *kOld = "0    \n1    \n";

    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs `write` in a child whose files may grow to `limit` bytes; returns
    // the child's wait status.  The child exits with CSwriteStatus().
    template <typename Write>
    int in_limited_child(rlim_t limit, bool ignore_signal, Write write)
    {
        const pid_t child = fork();
        if (child == 0) {
            signal(SIGXFSZ, ignore_signal ? SIG_IGN : SIG_DFL);
            const rlimit small{limit, limit};
            if (setrlimit(RLIMIT_FSIZE, &small) != 0)
                _exit(99);
            write();
            _exit(CSwriteStatus() & 0x7f);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return status;
    }
};

TEST_F(ScheduleWriter, ReplacesTheFileWholeKeepingModeAndLinks)
{
    write_file("sampling.sch", kOld);
    ASSERT_EQ(chmod(path("sampling.sch").c_str(), 0640), 0);
    make_large_schedule();
    CSwriteSched(dir_.c_str());
    EXPECT_EQ(CSwriteStatus(), 0);
    const std::string text = read_file("sampling.sch");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4096);
    struct stat info {};
    ASSERT_EQ(stat(path("sampling.sch").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640U);
    EXPECT_EQ(entries(), std::vector<std::string>{"sampling.sch"}) << "no temporary file is left";

    // Through a link: the link stays, its target gets the rows.
    write_file("real.sch", kOld);
    ASSERT_EQ(symlink("real.sch", path("link.sch").c_str()), 0);
    std::snprintf(getCSname(), CS_NAME_SIZE, "link.sch");
    CSwriteSched(dir_.c_str());
    EXPECT_EQ(CSwriteStatus(), 0);
    ASSERT_EQ(lstat(path("link.sch").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(read_file("real.sch"), text);
}

TEST_F(ScheduleWriter, APlantedTemporaryNameIsNeverFollowed)
{
    write_file("victim", "precious\n");
    const std::string planted = path("sampling.sch") + ".tmp" + std::to_string(getpid());
    ASSERT_EQ(symlink(path("victim").c_str(), planted.c_str()), 0);
    set_dimension(1, 8, 50);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    ASSERT_EQ(CSgetSched(dir_.c_str()), 0);
    EXPECT_EQ(CSwriteStatus(), 0);
    EXPECT_EQ(read_file("victim"), "precious\n");
    EXPECT_EQ(read_file("sampling.sch"), "0    \n2    \n5    \n7    \n");
}

TEST_F(ScheduleWriter, FailuresAreReportedAndKeepTheOldSchedule)
{
    make_large_schedule();
    if (access("/dev/full", W_OK) == 0) {
        std::snprintf(getCSname(), CS_NAME_SIZE, "/dev/full");
        CSwriteSched(nullptr);
        EXPECT_EQ(CSwriteStatus(), ENOSPC);
    }
    std::snprintf(getCSname(), CS_NAME_SIZE, "sampling.sch");
    CSwriteSched((dir_ + "/missing").c_str());
    EXPECT_EQ(CSwriteStatus(), ENOENT);
    CSwriteSched(dir_.c_str());
    EXPECT_EQ(CSwriteStatus(), 0);
    CSwriteSched(std::string(300, 'd').c_str());
    EXPECT_EQ(CSwriteStatus(), ENAMETOOLONG);
    CSwriteSched(nullptr);
    EXPECT_EQ(CSwriteStatus(), EINVAL);

    // A FIFO nobody reads fails at once instead of hanging.
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
    std::snprintf(getCSname(), CS_NAME_SIZE, "fifo");
    CSwriteSched(dir_.c_str());
    EXPECT_EQ(CSwriteStatus(), ENXIO);
    struct stat info {};
    ASSERT_EQ(lstat(path("fifo").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "a FIFO is never replaced";
}

TEST_F(ScheduleWriter, AFullDiskLeavesTheOldScheduleWhole)
{
    write_file("sampling.sch", kOld);
    make_large_schedule();
    // The file size limit stands in for a full disk: writes beyond it fail.
    const int status = in_limited_child(8192, true, [this] { CSwriteSched(dir_.c_str()); });
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 99) << "the file size limit could not be set";
    EXPECT_EQ(WEXITSTATUS(status), EFBIG);
    EXPECT_EQ(read_file("sampling.sch"), kOld);
    EXPECT_EQ(entries(), std::vector<std::string>{"sampling.sch"});
}

TEST_F(ScheduleWriter, AKilledWriteLeavesTheOldScheduleWhole)
{
    write_file("sampling.sch", kOld);
    make_large_schedule();
    // With the signal left at its default the child dies in mid-write.
    const int status = in_limited_child(8192, false, [this] { CSwriteSched(dir_.c_str()); });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(read_file("sampling.sch"), kOld);

    // The killed writer's leftover does not stand in the way of the next write.
    CSwriteSched(dir_.c_str());
    EXPECT_EQ(CSwriteStatus(), 0);
    const std::string text = read_file("sampling.sch");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4096);
}

TEST_F(ScheduleWriter, ReportsPermissionDeniedToAnOrdinaryUser)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to become user 65534";
    make_large_schedule();
    ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(99);
        CSwriteSched(dir_.c_str());
        _exit(CSwriteStatus() & 0x7f);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), EACCES);
    EXPECT_TRUE(entries().empty());
}

}  // namespace
