// The atomic replacement: what every failure leaves on disk (faults injected
// through the call table), the temporary names, links, FIFOs and devices,
// owner and mode.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "psenv_util/file_replacement.h"
#include "scratch.h"

namespace {

using psenv::util::FileCalls;
using psenv::util::FileReplacement;
using psenv::util::ReplacementOptions;
using psenv::util::replace_file;

// The system's calls, each recorded; the one named in `failing` fails with
// `error` ("write": the new file's writes fail).
struct Faults {
    static inline std::string failing;
    static inline int error = 0;
    static inline std::vector<std::string> made;

    static bool hit(const char *call)
    {
        made.emplace_back(call);
        if (failing != call)
            return false;
        errno = error;
        return true;
    }
    static const FileCalls &system() { return psenv::util::system_file_calls(); }
};

// Writes refused by the device, as on a full disk; unbuffered, so that the
// failure shows in the write itself.
FILE *failing_writes(FILE *real)
{
    cookie_io_functions_t io{};
    io.write = [](void *, const char *, size_t) -> ssize_t {
        errno = Faults::error;
        return -1;
    };
    io.close = [](void *cookie) { return std::fclose(static_cast<FILE *>(cookie)); };
    FILE *stream = fopencookie(real, "w", io);
    setvbuf(stream, nullptr, _IONBF, 0);
    return stream;
}

const FileCalls &faulty_calls()
{
    static const FileCalls calls = [] {
        FileCalls c = Faults::system();
        c.create = [](const char *path) -> FILE * {
            Faults::made.emplace_back(std::string("create ") + path);
            if (Faults::failing == "create") {
                errno = Faults::error;
                return nullptr;
            }
            FILE *real = Faults::system().create(path);
            return real != nullptr && Faults::failing == "write" ? failing_writes(real) : real;
        };
        c.flush = [](FILE *s) { return Faults::hit("flush") ? EOF : Faults::system().flush(s); };
        c.sync = [](FILE *s) { return Faults::hit("sync") ? -1 : Faults::system().sync(s); };
        c.close = [](FILE *s) {
            const int closed = Faults::system().close(s);
            return Faults::hit("close") ? EOF : closed;
        };
        c.rename = [](const char *from, const char *to) {
            return Faults::hit("rename") ? -1 : Faults::system().rename(from, to);
        };
        c.chown = [](FILE *s, uid_t owner, gid_t group) {
            return Faults::hit("chown") ? -1 : Faults::system().chown(s, owner, group);
        };
        c.chmod = [](FILE *s, mode_t mode) {
            return Faults::hit("chmod") ? -1 : Faults::system().chmod(s, mode);
        };
        return c;
    }();
    return calls;
}

class Replacement : public Scratch {
protected:
    void SetUp() override
    {
        Scratch::SetUp();
        Faults::failing.clear();
        Faults::made.clear();
        target_ = path("target");
        write(target_, "old\n");
    }

    ReplacementOptions faulty(const std::string &temporary = "") const
    {
        ReplacementOptions options;
        options.calls = &faulty_calls();
        options.temporary = temporary;
        return options;
    }

    std::string target_;
};

TEST_F(Replacement, EveryFailingCallLeavesTheOldFileAndNoTemporary)
{
    const std::pair<const char *, int> faults[] = {
        {"create", EACCES}, {"write", ENOSPC}, {"chown", EPERM}, {"chmod", EROFS},
        {"flush", ENOSPC},  {"sync", EIO},     {"close", EIO},   {"rename", EXDEV}};
    for (const auto &[call, error] : faults) {
        for (const std::string temporary : {"", "given.new"}) {
            Faults::failing = call;
            Faults::error = error;
            EXPECT_EQ(replace_file(target_, std::string(10000, 'n'),
                                   faulty(temporary.empty() ? "" : path(temporary))),
                      error)
                << call << " " << temporary;
            EXPECT_EQ(read(target_), "old\n") << call;
            EXPECT_EQ(listing(), "target") << call << " " << temporary;
        }
    }
}

TEST_F(Replacement, AttributesThenFlushSyncCloseAndRenameLast)
{
    ASSERT_EQ(replace_file(target_, "new\n", faulty()), 0);
    const std::vector<std::string> order = {
        "create " + target_ + ".tmp" + std::to_string(getpid()), "chown", "chmod", "flush",
        "sync", "close", "rename"};
    EXPECT_EQ(Faults::made, order);
    EXPECT_EQ(read(target_), "new\n");
    EXPECT_EQ(listing(), "target");
}

TEST_F(Replacement, StreamingAbandonsUnlessCommitted)
{
    {
        FileReplacement file(target_);
        ASSERT_NE(file.stream(), nullptr);
        std::fputs("half", file.stream());
        EXPECT_EQ(listing(), "target " + file.temporary().substr(dir_.size() + 1));
    }
    EXPECT_EQ(read(target_), "old\n");
    EXPECT_EQ(listing(), "target");

    FileReplacement file(target_);
    std::fputs("written, then a failure of the caller's own", file.stream());
    file.fail(ENOSPC);
    EXPECT_EQ(file.commit(), ENOSPC);
    EXPECT_EQ(file.stream(), nullptr);
    EXPECT_EQ(read(target_), "old\n");
    EXPECT_EQ(listing(), "target");
}

// A unique name is never opened once taken; a given one is the
// replacement's: what stands there goes (a link itself, not its pointee).
TEST_F(Replacement, TakenTemporaryNames)
{
    write(path("victim"), "not yours\n");
    const std::string unique = target_ + ".tmp" + std::to_string(getpid());
    ASSERT_EQ(symlink(path("victim").c_str(), unique.c_str()), 0);
    EXPECT_EQ(replace_file(target_, "new\n", faulty()), 0);
    EXPECT_EQ(Faults::made.at(1), "create " + unique + ".1");
    EXPECT_EQ(read(path("victim")), "not yours\n");
    EXPECT_EQ(read(target_), "new\n");
    ASSERT_EQ(unlink(unique.c_str()), 0);

    const std::string given = path("given");
    ASSERT_EQ(symlink(path("victim").c_str(), given.c_str()), 0);
    EXPECT_EQ(replace_file(target_, "newer\n", faulty(given)), 0);
    EXPECT_EQ(read(path("victim")), "not yours\n");
    EXPECT_EQ(read(target_), "newer\n");
    EXPECT_EQ(listing(), "target victim");

    // A directory cannot be removed: the new file's fault, not the target's.
    ASSERT_EQ(mkdir(given.c_str(), 0700), 0);
    FileReplacement file(target_, faulty(given));
    EXPECT_EQ(file.stream(), nullptr);
    EXPECT_EQ(file.error(), EISDIR);
    EXPECT_FALSE(file.target_at_fault());
    EXPECT_EQ(read(target_), "newer\n");
}

TEST_F(Replacement, FifoAndDevicesAreWrittenInPlaceWithoutBlocking)
{
    alarm(20);  // a hang ends the program instead of the suite
    const std::string fifo = path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(replace_file(fifo, "nobody reads\n"), ENXIO);

    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(replace_file(fifo, "read\n"), 0);
    char got[16] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 5);
    EXPECT_STREQ(got, "read\n");
    close(reader);
    struct stat info {};
    ASSERT_EQ(lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    EXPECT_EQ(replace_file("/dev/null", "gone\n"), 0);
    if (access("/dev/full", W_OK) == 0) {
        EXPECT_EQ(replace_file("/dev/full", "no room\n"), ENOSPC);
    }

    // Refused instead: nothing is touched.
    ReplacementOptions refuse;
    refuse.write_special_in_place = false;
    FileReplacement refused(fifo, refuse);
    EXPECT_EQ(refused.stream(), nullptr);
    EXPECT_EQ(refused.error(), EINVAL);
    EXPECT_TRUE(refused.target_at_fault());
    ASSERT_EQ(mkdir(path("sub").c_str(), 0700), 0);
    EXPECT_EQ(replace_file(path("sub"), "x", refuse), EISDIR);
    EXPECT_EQ(listing(), "fifo sub target");
    alarm(0);
}

TEST_F(Replacement, LinksFollowedOrReplaced)
{
    const std::string file = path("file");
    const std::string link = path("link");
    write(file, "linked\n");
    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    ASSERT_EQ(symlink("file", link.c_str()), 0);

    EXPECT_EQ(replace_file(link, "through\n"), 0);
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(read(file), "through\n");

    ASSERT_EQ(symlink("nowhere", path("dangling").c_str()), 0);
    FileReplacement dangling(path("dangling"));
    EXPECT_EQ(dangling.error(), ENOENT);
    EXPECT_TRUE(dangling.target_at_fault());

    ReplacementOptions itself;
    itself.follow_links = false;
    const mode_t previous = umask(022);
    EXPECT_EQ(replace_file(link, "instead\n", itself), 0);
    umask(previous);
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    EXPECT_EQ(read(link), "instead\n");
    EXPECT_EQ(read(file), "through\n");
    EXPECT_EQ(listing(), "dangling file link target");
}

TEST_F(Replacement, OwnerAndModeKept)
{
    const mode_t previous = umask(027);
    EXPECT_EQ(replace_file(path("new"), "fresh\n"), 0);
    umask(previous);
    struct stat info {};
    ASSERT_EQ(stat(path("new").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    ASSERT_EQ(chmod(target_.c_str(), 0604), 0);
    EXPECT_EQ(replace_file(target_, "new\n"), 0);
    ASSERT_EQ(stat(target_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0604u);

    if (geteuid() != 0)
        GTEST_SKIP() << "changes of owner need root";
    // Set-id bits survive the change of owner, which comes first.
    ASSERT_EQ(chown(target_.c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(target_.c_str(), 06750), 0);
    EXPECT_EQ(replace_file(target_, "theirs\n"), 0);
    ASSERT_EQ(stat(target_.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_EQ(info.st_mode & 07777, 06750u);

    // A user who cannot give the new file root's ownership leaves it alone.
    ASSERT_EQ(chown(target_.c_str(), 0, 0), 0);
    ASSERT_EQ(chmod(target_.c_str(), 0666), 0);
    ASSERT_EQ(chmod(dir_.c_str(), 0777), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(99);
        _exit(replace_file(target_, "intruder\n") & 0x7f);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), EPERM);
    EXPECT_EQ(read(target_), "theirs\n");
    EXPECT_EQ(listing(), "new target");
}

}  // namespace
