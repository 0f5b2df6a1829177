// Whole-tree saves: order, what is left out, and what a failing save leaves
// on disk (fault injection through the file-call seam).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>
#include <string>
#include <vector>

#include "io_seam.h"
#include "save_support.h"
#include "tree_fixture.h"
#include "treekeep_internal.h"

namespace {

class Saving : public TreeTest {
protected:
    void TearDown() override
    {
        treekeep_set_io_calls(nullptr);
        TreeTest::TearDown();
    }

    // Root m with children e and t, inserted so that m stays on top.
    static void build_met(int tree)
    {
        make_real(tree, "m", {1});
        make_string(tree, "e", {"x"});
        make_real(tree, "t", {2, 3});
    }

    std::string temporary_of(const std::string &target) const
    {
        return target + std::to_string(getpid());
    }

    SaveDir dir_;
};

constexpr const char *kMet = "m 0 1 0 0 0 0 0 0 1 64\n1 1 \n0 \n"
                             "e 0 2 0 0 0 0 0 0 1 64\n1 \"x\"\n0 \n"
                             "t 0 1 0 0 0 0 0 0 1 64\n2 2 3 \n0 \n";

TEST_F(Saving, RecordsInPreOrder)
{
    build_met(1);
    SymbolNode *root = *getTreeRootByIndex(1);
    ASSERT_STREQ(root->name, "m");
    ASSERT_STREQ(root->left->name, "e");
    ASSERT_STREQ(root->right->name, "t");
    std::string target = dir_ / "current.par";
    EXPECT_EQ(P_save(1, target.c_str()), P_OK);
    EXPECT_EQ(read_file(target), kMet);
    EXPECT_EQ(dir_.listing(), "current.par\n");
}

TEST_F(Saving, PreOrderOverDeeperTree)
{
    for (const char *name : {"d", "b", "f", "a", "c", "e", "g"})
        make_real(2, name, {});
    std::string target = dir_ / "p";
    ASSERT_EQ(P_save(2, target.c_str()), P_OK);
    // Each record here is three lines; the first letters give the order.
    std::istringstream lines(*read_file(target));
    std::string order, line;
    for (int number = 0; std::getline(lines, line); ++number)
        if (number % 3 == 0)
            order += line.substr(0, 1);
    EXPECT_EQ(order, "dbacfeg");
}

TEST_F(Saving, EmptyTreeGivesEmptyFileAndReplacesOld)
{
    std::string target = dir_ / "empty";
    write_file(target, "old contents\n");
    EXPECT_EQ(P_save(3, target.c_str()), P_OK);
    EXPECT_EQ(read_file(target), "");
}

TEST_F(Saving, DollarNamesAndRefusedNamesAreNeverWritten)
{
    varInfo *hidden = make_real(1, "$tmp", {1});
    hidden->prot = P_PROT_UNSHARED;
    make_real(1, "bad-name", {2});  // the component holds it, goodName refuses it
    make_real(1, "ok", {3});
    make_real(1, "x$", {4});  // '$' only counts at the start
    std::string target = dir_ / "f";
    EXPECT_EQ(P_save(1, target.c_str()), P_OK);
    EXPECT_EQ(read_file(target), "ok 0 1 0 0 0 0 0 0 1 64\n1 3 \n0 \n"
                                 "x$ 0 1 0 0 0 0 0 0 1 64\n1 4 \n0 \n");
}

TEST_F(Saving, UnsharedGlobalWritesOnlyUnsharedParameters)
{
    make_real(0, "m", {1})->prot = P_PROT_UNSHARED | 1;
    make_string(0, "e", {"x"})->prot = P_PROT_SELECTIVE;
    make_real(0, "t", {2, 3})->prot = -1;  // every bit, 0x8000 among them
    make_real(0, "$u", {})->prot = P_PROT_UNSHARED;
    make_real(1, "other", {})->prot = P_PROT_UNSHARED;  // not in "global"
    std::string target = dir_ / "global";
    EXPECT_EQ(P_saveUnsharedGlobal(target.c_str()), P_OK);
    EXPECT_EQ(read_file(target), "m 0 1 0 0 0 0 0 32769 1 64\n1 1 \n0 \n"
                                 "t 0 1 0 0 0 0 0 -1 1 64\n2 2 3 \n0 \n");

    P_treereset(0);
    make_real(0, "shared", {})->prot = 0x7fff;
    EXPECT_EQ(P_saveUnsharedGlobal(target.c_str()), P_OK);
    EXPECT_EQ(read_file(target), "");
}

TEST_F(Saving, MissingTreeTouchesNothing)
{
    std::string target = dir_ / "keep";
    write_file(target, "previous\n");
    EXPECT_EQ(P_save(9, target.c_str()), P_NOTREE);
    EXPECT_EQ(P_save(-1, (dir_ / "new").c_str()), P_NOTREE);
    EXPECT_EQ(read_file(target), "previous\n");
    EXPECT_EQ(dir_.listing(), "keep\n");
}

TEST_F(Saving, TemporaryCannotBeCreated)
{
    make_real(1, "a", {});
    std::string target = dir_ / "no/such/dir/file";
    EXPECT_EQ(P_save(1, target.c_str()), P_NOFILE);
    EXPECT_EQ(P_save(1, ""), P_NOFILE);
    EXPECT_EQ(P_save(1, nullptr), P_NOFILE);
}

TEST_F(Saving, LongPathsHaveNoBound)
{
    make_real(1, "a", {5});
    std::string deep = dir_.path();
    for (int level = 0; level < 12; ++level) {
        deep += "/" + std::string(60, static_cast<char>('a' + level));
        ASSERT_EQ(mkdir(deep.c_str(), 0700), 0);
    }
    std::string target = deep + "/" + std::string(200, 'z');
    ASSERT_GT(target.size(), 900u);
    EXPECT_EQ(P_save(1, target.c_str()), P_OK);
    EXPECT_EQ(read_file(target), "a 0 1 0 0 0 0 0 0 1 64\n1 5 \n0 \n");
}

TEST_F(Saving, TemporaryIsTargetFollowedByProcessId)
{
    make_real(1, "a", {});
    std::string target = dir_ / "named";
    static std::string opened;
    static std::string renamed_from;
    treekeep_io_calls calls = *treekeep_system_io();
    calls.open_call = [](const char *path, const char *mode) {
        opened = path;
        return treekeep_system_io()->open_call(path, mode);
    };
    calls.rename_call = [](const char *from, const char *to) {
        renamed_from = from;
        return treekeep_system_io()->rename_call(from, to);
    };
    treekeep_set_io_calls(&calls);
    EXPECT_EQ(P_save(1, target.c_str()), P_OK);
    EXPECT_EQ(opened, temporary_of(target));
    EXPECT_EQ(renamed_from, temporary_of(target));
}

// Fault injection: each case makes one call fail and checks that the result
// is a write error, the target keeps its bytes and no temporary remains.
class SaveFaults : public Saving {
protected:
    void SetUp() override
    {
        Saving::SetUp();
        for (int i = 0; i < 40; ++i)
            make_string(1, ("p" + std::to_string(i)).c_str(), {"value", "with \"quote\""});
        target_ = dir_ / "params";
        write_file(target_, "the previous file\n");
        calls_ = *treekeep_system_io();
        sink_ = BudgetSink{};
        sink_.budget = 1L << 40;
    }

    void expect_failed_cleanly(int result)
    {
        EXPECT_EQ(result, P_WRITE);
        EXPECT_EQ(read_file(target_), "the previous file\n");
        EXPECT_EQ(dir_.listing(), "params\n");
    }

    // Opens the temporary for real behind a stream with a byte budget.
    void use_budget_stream()
    {
        calls_.open_call = [](const char *path, const char *) -> FILE * {
            sink_.fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
            return sink_.fd >= 0 ? open_budget_stream(&sink_) : nullptr;
        };
        // Such a stream has no descriptor of its own.
        calls_.sync_call = [](FILE *) { return fsync(sink_.fd); };
        treekeep_set_io_calls(&calls_);
    }

    std::string target_;
    treekeep_io_calls calls_{};
    static BudgetSink sink_;
};

BudgetSink SaveFaults::sink_;

TEST_F(SaveFaults, WriteErrorAtEveryRecord)
{
    // Where each record starts in a complete save.
    use_budget_stream();
    ASSERT_EQ(P_save(1, (dir_ / "complete").c_str()), P_OK);
    std::string complete = *read_file(dir_ / "complete");
    ASSERT_EQ(sink_.accepted, complete);
    std::filesystem::remove(dir_ / "complete");

    std::vector<long> starts;
    for (std::size_t at = complete.find("p"); at != std::string::npos; at = complete.find("\np", at + 1))
        starts.push_back(static_cast<long>(at == 0 ? 0 : at + 1));
    ASSERT_EQ(starts.size(), 40u);
    for (long start : starts) {
        for (long into : {0L, 1L, 30L}) {
            sink_ = BudgetSink{};
            sink_.budget = start + into;
            expect_failed_cleanly(P_save(1, target_.c_str()));
        }
    }
}

TEST_F(SaveFaults, FlushFailure)
{
    calls_.flush_call = [](FILE *) {
        errno = ENOSPC;
        return EOF;
    };
    treekeep_set_io_calls(&calls_);
    expect_failed_cleanly(P_save(1, target_.c_str()));
}

TEST_F(SaveFaults, SyncFailure)
{
    static int syncs = 0;
    calls_.sync_call = [](FILE *) {
        ++syncs;
        errno = EIO;
        return -1;
    };
    treekeep_set_io_calls(&calls_);
    expect_failed_cleanly(P_save(1, target_.c_str()));
    EXPECT_EQ(syncs, 1);
}

TEST_F(SaveFaults, CloseFailure)
{
    calls_.close_call = [](FILE *stream) {
        std::fclose(stream);
        errno = EIO;
        return EOF;
    };
    treekeep_set_io_calls(&calls_);
    expect_failed_cleanly(P_save(1, target_.c_str()));
}

TEST_F(SaveFaults, RenameFailureKeepsTargetAndRemovesTemporary)
{
    static int unlinks_of_target = 0;
    static std::string target;
    target = target_;
    calls_.rename_call = [](const char *, const char *) {
        errno = EXDEV;
        return -1;
    };
    calls_.unlink_call = [](const char *path) {
        if (target == path)
            ++unlinks_of_target;
        return treekeep_system_io()->unlink_call(path);
    };
    treekeep_set_io_calls(&calls_);
    expect_failed_cleanly(P_save(1, target_.c_str()));
    EXPECT_EQ(unlinks_of_target, 0);
}

TEST_F(SaveFaults, SuccessNeverRemovesTheTarget)
{
    // The new file takes the target's place by rename alone, so the target
    // path never stops existing.
    static int unlinks = 0;
    static int order = 0, synced_at = 0, closed_at = 0, renamed_at = 0;
    calls_.unlink_call = [](const char *path) {
        ++unlinks;
        return treekeep_system_io()->unlink_call(path);
    };
    calls_.sync_call = [](FILE *stream) {
        synced_at = ++order;
        return treekeep_system_io()->sync_call(stream);
    };
    calls_.close_call = [](FILE *stream) {
        closed_at = ++order;
        return treekeep_system_io()->close_call(stream);
    };
    calls_.rename_call = [](const char *from, const char *to) {
        renamed_at = ++order;
        return treekeep_system_io()->rename_call(from, to);
    };
    treekeep_set_io_calls(&calls_);
    EXPECT_EQ(P_save(1, target_.c_str()), P_OK);
    EXPECT_EQ(unlinks, 0);
    EXPECT_EQ(synced_at, 1);
    EXPECT_EQ(closed_at, 2);
    EXPECT_EQ(renamed_at, 3);
    EXPECT_NE(read_file(target_), "the previous file\n");
    EXPECT_EQ(dir_.listing(), "params\n");
}

TEST_F(SaveFaults, UnsharedSaveFailsTheSameWay)
{
    for (int i = 0; i < 5; ++i)
        make_real(0, ("u" + std::to_string(i)).c_str(), {1})->prot = P_PROT_UNSHARED;
    use_budget_stream();
    sink_.budget = 40;
    expect_failed_cleanly(P_saveUnsharedGlobal(target_.c_str()));
}


// What the save finds at the temporary name and at the target.
class SaveTargets : public Saving {
protected:
    void SetUp() override
    {
        Saving::SetUp();
        make_real(1, "a", {5});
        target_ = dir_ / "params";
    }

    std::string target_;
    static constexpr const char *kSaved = "a 0 1 0 0 0 0 0 0 1 64\n1 5 \n0 \n";
};

TEST_F(SaveTargets, WhatIsPlantedAtTheTemporaryNameIsRemovedNotFollowed)
{
    const std::string victim = dir_ / "victim";
    write_file(victim, "not yours\n");
    write_file(target_, "old\n");
    ASSERT_EQ(symlink(victim.c_str(), temporary_of(target_).c_str()), 0);
    EXPECT_EQ(P_save(1, target_.c_str()), P_OK);
    EXPECT_EQ(read_file(victim), "not yours\n");
    struct stat info {};
    ASSERT_EQ(lstat(target_.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(read_file(target_), kSaved);

    // A dangling link and a leftover file go the same way.
    ASSERT_EQ(symlink((dir_ / "nowhere").c_str(), temporary_of(target_).c_str()), 0);
    EXPECT_EQ(P_save(1, target_.c_str()), P_OK);
    write_file(temporary_of(target_), "leftover of a killed save\n");
    EXPECT_EQ(P_save(1, target_.c_str()), P_OK);
    EXPECT_EQ(read_file(target_), kSaved);
    EXPECT_EQ(dir_.listing(), "params\nvictim\n");
}

// A temporary file that cannot be created is P_NOFILE however the name
// stays taken: a directory there, or a name taken again after its removal.
TEST_F(SaveTargets, TemporaryNameThatStaysTakenIsNoFile)
{
    write_file(target_, "old\n");
    ASSERT_EQ(mkdir(temporary_of(target_).c_str(), 0700), 0);
    const std::string inside = temporary_of(target_) + "/kept";
    write_file(inside, "inside\n");
    EXPECT_EQ(P_save(1, target_.c_str()), P_NOFILE);
    EXPECT_EQ(P_saveUnsharedGlobal(target_.c_str()), P_NOFILE);
    EXPECT_EQ(read_file(target_), "old\n");
    EXPECT_EQ(read_file(inside), "inside\n");
    ASSERT_EQ(unlink(inside.c_str()), 0);
    ASSERT_EQ(rmdir(temporary_of(target_).c_str()), 0);

    static int opens = 0;
    treekeep_io_calls calls = *treekeep_system_io();
    calls.open_call = [](const char *, const char *) -> FILE * {
        ++opens;
        errno = EEXIST;
        return nullptr;
    };
    treekeep_set_io_calls(&calls);
    EXPECT_EQ(P_save(1, target_.c_str()), P_NOFILE);
    EXPECT_EQ(opens, 2);
    EXPECT_EQ(read_file(target_), "old\n");
    EXPECT_EQ(dir_.listing(), "params\n");
}

TEST_F(SaveTargets, TargetThatIsNoRegularFileIsLeftAlone)
{
    ASSERT_EQ(mkfifo(target_.c_str(), 0600), 0);
    EXPECT_EQ(P_save(1, target_.c_str()), P_WRITE);
    struct stat info {};
    ASSERT_EQ(lstat(target_.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    const std::string dir = dir_ / "sub";
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    EXPECT_EQ(P_save(1, dir.c_str()), P_WRITE);
    EXPECT_EQ(dir_.listing(), "params\nsub\n");
}

// The link itself is what the rename replaces; the file it pointed to, and
// its mode, stay as they were.  A dangling link is replaced the same way.
TEST_F(SaveTargets, SymbolicLinkAtTheTargetIsReplacedItself)
{
    const std::string file = dir_ / "file";
    const std::string link = dir_ / "link";
    write_file(file, "linked\n");
    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
    const mode_t previous = umask(022);
    EXPECT_EQ(P_save(1, link.c_str()), P_OK);
    umask(previous);
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    EXPECT_EQ(read_file(link), kSaved);
    EXPECT_EQ(read_file(file), "linked\n");
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    const std::string dangling = dir_ / "dangling";
    ASSERT_EQ(symlink((dir_ / "nowhere").c_str(), dangling.c_str()), 0);
    EXPECT_EQ(P_save(1, dangling.c_str()), P_OK);
    EXPECT_EQ(read_file(dangling), kSaved);
    EXPECT_EQ(dir_.listing(), "dangling\nfile\nlink\n");
}

TEST_F(SaveTargets, NewFileTakesTheModeOfTheUmaskAndAReplacementTheOldOnes)
{
    const mode_t previous = umask(027);
    EXPECT_EQ(P_save(1, target_.c_str()), P_OK);
    umask(previous);
    struct stat info {};
    ASSERT_EQ(stat(target_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    ASSERT_EQ(chmod(target_.c_str(), 0604), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(target_.c_str(), 65534, 65534), 0);
    }
    EXPECT_EQ(P_save(1, target_.c_str()), P_OK);
    ASSERT_EQ(stat(target_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    if (root) {
        EXPECT_EQ(info.st_uid, 65534u);
        EXPECT_EQ(info.st_gid, 65534u);
    }
}

TEST_F(SaveTargets, OwnerOrModeThatCannotBeKeptFailsTheSave)
{
    write_file(target_, "old\n");
    treekeep_io_calls calls = *treekeep_system_io();
    calls.chown_call = [](FILE *, uid_t, gid_t) {
        errno = EPERM;
        return -1;
    };
    treekeep_set_io_calls(&calls);
    EXPECT_EQ(P_save(1, target_.c_str()), P_WRITE);
    EXPECT_EQ(read_file(target_), "old\n");
    EXPECT_EQ(dir_.listing(), "params\n");

    calls = *treekeep_system_io();
    calls.chmod_call = [](FILE *, mode_t) {
        errno = EROFS;
        return -1;
    };
    treekeep_set_io_calls(&calls);
    EXPECT_EQ(P_save(1, target_.c_str()), P_WRITE);
    EXPECT_EQ(read_file(target_), "old\n");
    EXPECT_EQ(dir_.listing(), "params\n");
}

}  // namespace
