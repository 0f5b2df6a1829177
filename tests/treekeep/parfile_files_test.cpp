// The C interface of parameter-file integrity (treekeep_files.h): who owns
// the lists, which code says what, and the refusals, lock and save of the
// guarded edit.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <string>

#include "save_support.h"
#include "sink_capture.h"
#include "tree_fixture.h"
#include "treekeep.h"
#include "treekeep_files.h"

extern "C" int treekeep_files_c11_check(const char *bytes, long *first_line, long *records);
extern "C" int treekeep_files_c11_refusal(const char *path, char *message, size_t size);

namespace {

constexpr const char *kAlpha = "alpha 0 1 100 0 0 1 1 0 1 64\n1 1 \n0 \n";
constexpr const char *kBeta = "beta 0 2 0 0 0 1 1 0 1 64\n1 \"b\"\n0 \n";

// Runs `check` in a child process, as user 65534 when this one is root;
// the child's exit status.
template <class Check>
int as_other_user(Check check)
{
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(99);
        _exit(check());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

TEST(FileCheckSeam, VerdictsListsAndTheirRelease)
{
    const std::string whole = std::string(kAlpha) + kBeta;
    const std::string repeated = whole + kAlpha;
    const std::string damaged = whole + "gamma 0 1";

    long line = -1;
    long records = -1;
    EXPECT_EQ(treekeep_files_c11_check(whole.c_str(), &line, &records), P_CHECK_WHOLE);
    EXPECT_EQ(line, 0);
    EXPECT_EQ(records, 2);
    EXPECT_EQ(treekeep_files_c11_check(repeated.c_str(), &line, &records), P_CHECK_REPEATED);
    EXPECT_EQ(line, 7);
    EXPECT_EQ(records, 3);
    EXPECT_EQ(treekeep_files_c11_check(damaged.c_str(), &line, &records), P_CHECK_DAMAGED);
    EXPECT_EQ(line, 7);

    // Repeats are found only when asked for; the answer alone needs no list.
    EXPECT_EQ(P_checkbytes(repeated.data(), repeated.size(), 0, nullptr), P_CHECK_WHOLE);
    EXPECT_EQ(P_checkbytes(nullptr, 0, 0, nullptr), P_CHECK_WHOLE);
    P_filecheck check{};
    EXPECT_EQ(P_checkbytes(nullptr, 3, 0, &check), P_FILE_INVALID);
    EXPECT_EQ(check.problems, nullptr);
    EXPECT_EQ(check.recordCount, 0u);

    ASSERT_EQ(P_checkbytes(damaged.data(), damaged.size(), P_CHECK_FIND_REPEATS, &check),
              P_CHECK_DAMAGED);
    ASSERT_EQ(check.problemCount, 1u);
    EXPECT_STREQ(check.problems[0].text, "'gamma': the file ends inside the header (2 of 11 fields)");
    EXPECT_EQ(check.problems[0].record, 3);
    EXPECT_EQ(check.problems[0].repeat, 0);
    ASSERT_EQ(check.recordCount, 3u);
    EXPECT_STREQ(check.records[2].name, "gamma");
    EXPECT_EQ(check.records[2].line, 7);
    P_freecheck(&check);
    EXPECT_EQ(check.problems, nullptr);
    EXPECT_EQ(check.records, nullptr);
    P_freecheck(nullptr);

    // A record name with a NUL byte is damage, and its copy ends there.
    const std::string nul = std::string("a") + '\0' + "b 0 1 0 0 0 0 0 0 1 64\n0 \n0 \n";
    ASSERT_EQ(P_checkbytes(nul.data(), nul.size(), 0, &check), P_CHECK_DAMAGED);
    ASSERT_EQ(check.recordCount, 1u);
    EXPECT_STREQ(check.records[0].name, "a");
    P_freecheck(&check);
}

using FileCheckLoads = TreeTest;

TEST_F(FileCheckLoads, NumbersLongerThanTheLoadersReadAreDamage)
{
    // The loaders' scan takes at most 1023 characters of a number; the check
    // passes exactly what loads without a message.
    const auto file = [](std::size_t digits) {
        return "n 0 1 0 0 0 0 0 0 1 64\n1 " + std::string(digits, '1') + " \n0 \n";
    };
    SaveDir dir;
    const auto loads_quietly = [&](const std::string &bytes) {
        write_file(dir / "n.par", bytes);
        const SinkCapture sink;
        return P_read(1, (dir / "n.par").c_str()) == P_OK && sink.text().empty();
    };
    const std::string longest = file(1023);
    EXPECT_EQ(P_checkbytes(longest.data(), longest.size(), 0, nullptr), P_CHECK_WHOLE);
    EXPECT_TRUE(loads_quietly(longest));
    const std::string longer = file(1024);
    EXPECT_FALSE(loads_quietly(longer));
    P_filecheck check{};
    ASSERT_EQ(P_checkbytes(longer.data(), longer.size(), 0, &check), P_CHECK_DAMAGED);
    ASSERT_EQ(check.problemCount, 1u);
    EXPECT_EQ(check.problems[0].line, 2);
    EXPECT_NE(std::string(check.problems[0].text).find("value 1 of 1"), std::string::npos);
    P_freecheck(&check);
}

TEST(FileCheckSeam, FilesThatCannotBeReadHaveTheirOwnCodes)
{
    SaveDir dir;
    chmod(dir.path().c_str(), 0755);
    int error = -1;
    P_filecheck check{};
    EXPECT_EQ(P_checkfile((dir / "missing").c_str(), 0, &check, &error), P_FILE_UNREADABLE);
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(P_checkfile(dir.path().c_str(), 0, &check, &error), P_FILE_NOTREGULAR);
    EXPECT_EQ(error, EISDIR);
    EXPECT_STREQ(P_checkfailure(P_FILE_NOTREGULAR, error), "Is a directory");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(P_checkfile((dir / "fifo").c_str(), 0, &check, &error), P_FILE_NOTREGULAR);
    EXPECT_EQ(error, 0);
    EXPECT_STREQ(P_checkfailure(P_FILE_NOTREGULAR, 0), "not a regular file");
    EXPECT_EQ(P_checkfile(nullptr, 0, &check, &error), P_FILE_INVALID);
    EXPECT_EQ(P_checkfailure(P_CHECK_DAMAGED, 0), nullptr);
    EXPECT_EQ(check.problemCount, 0u);

    // A file the caller may not read is unreadable, not damaged.
    write_file(dir / "private.par", kAlpha);
    chmod((dir / "private.par").c_str(), 0000);
    const std::string path = dir / "private.par";
    EXPECT_EQ(as_other_user([&] {
                  int cause = 0;
                  const int code = P_checkfile(path.c_str(), 0, nullptr, &cause);
                  return code == P_FILE_UNREADABLE && cause == EACCES ? 0 : 1;
              }),
              0);
    write_file(dir / "whole.par", kAlpha);
    EXPECT_EQ(P_checkfile((dir / "whole.par").c_str(), 0, nullptr, nullptr), P_CHECK_WHOLE);
}

TEST(FileCheckSeam, PrintableEscapesAndMeasuresLikeSnprintf)
{
    const char text[] = "a\\b\n\x1b\x7f\xc3\xa9";
    const std::size_t length = sizeof text - 1;
    const std::string escaped = "a\\\\b\\n\\x1b\\x7f\xc3\xa9";
    EXPECT_EQ(P_printable(text, length, nullptr, 0), escaped.size());
    char buffer[64];
    EXPECT_EQ(P_printable(text, length, buffer, sizeof buffer), escaped.size());
    EXPECT_EQ(std::string(buffer), escaped);
    char small[6];
    EXPECT_EQ(P_printable(text, length, small, sizeof small), escaped.size());
    EXPECT_EQ(std::string(small), escaped.substr(0, 5));
    EXPECT_EQ(P_printable(nullptr, 0, buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "");
}

class EditSeam : public TreeTest {
protected:
    void SetUp() override
    {
        TreeTest::SetUp();
        chmod(dir_.path().c_str(), 0755);
        target_ = dir_ / "params.par";
        write_file(target_, std::string(kAlpha) + kBeta);
    }

    // The code of a begin of `path`, its message into `message`.
    int refusal(const std::string &path, int flags, std::string &message, double wait = 0.0)
    {
        P_edit *edit = nullptr;
        const int code = P_editbegin(path.c_str(), flags, wait, &edit);
        const char *words = P_editmessage(edit);
        message = words != nullptr ? words : "";
        P_editend(edit);
        return code;
    }

    SaveDir dir_;
    std::string target_;
};

TEST_F(EditSeam, RefusalsAreCodesWithTheWordsAUserReads)
{
    char words[256];
    const std::string missing = dir_ / "missing.par";
    EXPECT_EQ(treekeep_files_c11_refusal(missing.c_str(), words, sizeof words), P_FILE_SYSTEM);
    EXPECT_EQ(std::string(words), missing + ": No such file or directory");

    std::string message;
    EXPECT_EQ(refusal(dir_.path(), 0, message), P_FILE_NOTREGULAR);
    EXPECT_EQ(message, dir_.path() + ": Is a directory");
    ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(refusal(dir_ / "fifo", 0, message), P_FILE_NOTREGULAR);
    EXPECT_EQ(message, dir_ / "fifo" + ": not a regular file; it was left unchanged");

    // Forcing lifts the refusals that protect intent, never those of damage.
    ASSERT_EQ(link(target_.c_str(), (dir_ / "second").c_str()), 0);
    EXPECT_EQ(refusal(target_, 0, message), P_EDIT_HARDLINKED);
    EXPECT_NE(message.find("it has 2 hard links"), std::string::npos) << message;
    EXPECT_EQ(refusal(target_, P_EDIT_FORCE, message), 0);
    EXPECT_EQ(message, "");
    unlink((dir_ / "second").c_str());
    chmod(target_.c_str(), 0444);
    EXPECT_EQ(refusal(target_, 0, message), P_EDIT_READONLY);
    EXPECT_EQ(message.rfind(target_ + ": Permission denied (mode 0444; ", 0), 0u) << message;
    EXPECT_EQ(refusal(target_, P_EDIT_FORCE, message), 0);
    chmod(target_.c_str(), 0644);

    write_file(target_, std::string(kAlpha) + kAlpha);
    EXPECT_EQ(refusal(target_, 0, message), P_EDIT_REPEATED);
    P_edit *edit = nullptr;
    ASSERT_EQ(P_editbegin(target_.c_str(), P_EDIT_FORCE, 0.0, &edit), 0);
    ASSERT_EQ(P_editcheck(edit)->problemCount, 1u);  // told even when forced
    EXPECT_NE(P_editcheck(edit)->problems[0].repeat, 0);
    P_editend(edit);
    write_file(target_, std::string(kAlpha) + "cut 0 1");
    EXPECT_EQ(refusal(target_, P_EDIT_FORCE, message), P_EDIT_DAMAGED);
    EXPECT_EQ(message, target_ + ": the file is damaged; it was left unchanged");

    write_file(target_, kAlpha);
    const std::string temporary = target_ + std::to_string(getpid());
    write_file(temporary, "mine");
    EXPECT_EQ(refusal(target_, P_EDIT_FORCE, message), P_EDIT_TEMPORARY);
    EXPECT_NE(message.find("where a file already stands"), std::string::npos) << message;
    EXPECT_EQ(read_file(temporary), "mine");
    unlink(temporary.c_str());

    EXPECT_EQ(refusal(target_, 0, message, std::nan("")), P_FILE_INVALID);
    EXPECT_EQ(refusal(target_, 0, message, -1.0), P_FILE_INVALID);
    EXPECT_EQ(message, target_ + ": Invalid argument");
    EXPECT_EQ(P_editbegin(target_.c_str(), 0, 0.0, nullptr), P_FILE_INVALID);
    EXPECT_EQ(P_editbegin(nullptr, 0, 0.0, &edit), P_FILE_INVALID);
    EXPECT_EQ(edit, nullptr);
    EXPECT_EQ(P_editsave(nullptr, 1), P_FILE_INVALID);
    P_editend(nullptr);
}

TEST_F(EditSeam, TheLockIsHeldFromBeginToEndAndTheSaveReplacesTheFile)
{
    chmod(target_.c_str(), 0640);
    P_edit *edit = nullptr;
    ASSERT_EQ(P_editbegin(target_.c_str(), 0, 0.0, &edit), 0);
    EXPECT_EQ(P_editmessage(edit), nullptr);
    EXPECT_EQ(std::string(P_edittemporary(edit)),
              std::string(P_editfile(edit)) + std::to_string(getpid()));

    // A second editor in the directory waits, then gives up.
    write_file(dir_ / "other.par", kBeta);
    std::string message;
    EXPECT_EQ(refusal(dir_ / "other.par", 0, message, 0.05), P_EDIT_BUSY);
    EXPECT_EQ(message, dir_ / "other.par" +
                           ": another editor of a file in its directory still holds the lock "
                           "after 0.05 s; it was left unchanged");

    ASSERT_EQ(P_read(1, P_editfile(edit)), P_OK);
    ASSERT_EQ(P_setreal(1, "alpha", 7.0, 1), P_OK);

    // Something at the temporary name stops the save and stays as it was.
    const std::string temporary = P_edittemporary(edit);
    write_file(temporary, "mine");
    EXPECT_EQ(P_editready(edit), P_EDIT_TEMPORARY);
    EXPECT_EQ(P_editsave(edit, 1), P_EDIT_TEMPORARY);
    EXPECT_EQ(read_file(temporary), "mine");
    EXPECT_EQ(read_file(target_), std::string(kAlpha) + kBeta);
    unlink(temporary.c_str());

    // The store's own codes come back with its words.
    EXPECT_EQ(P_editsave(edit, 17), P_NOTREE);
    EXPECT_EQ(std::string(P_editmessage(edit)), target_ + ": Tree doesn't exist");

    ASSERT_EQ(P_editsave(edit, 1), P_OK);
    EXPECT_EQ(P_editmessage(edit), nullptr);
    EXPECT_NE(read_file(target_)->find("alpha 0 1 100 0 0 1 1 0 1 64\n1 7 \n"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(stat(target_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    // Still open after the save; the lock goes with the end.
    const int probe = open(dir_.path().c_str(), O_RDONLY | O_DIRECTORY);
    EXPECT_EQ(flock(probe, LOCK_EX | LOCK_NB), -1);
    P_editend(edit);
    EXPECT_EQ(flock(probe, LOCK_EX | LOCK_NB), 0);
    close(probe);
    EXPECT_EQ(refusal(dir_ / "other.par", 0, message), 0);
}

}  // namespace
