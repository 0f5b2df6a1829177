#include "file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace sparsamp {
namespace {

int open_retrying(const char *path, int flags, mode_t mode)
{
    int fd = -1;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

std::string directory_of(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The directory entry must reach the disk too, or a crash can bring the old
// file back after the rename was reported done.
int sync_directory(const std::string &path)
{
    const int fd = open_retrying(directory_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0)
        return errno;
    const int result = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return result;
}

}  // namespace

FileReplacement::FileReplacement(const std::string &path) : target_(path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) == nullptr) {
            error_ = errno;
            return;
        }
        target_ = resolved;
    }
    const bool exists = ::stat(target_.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) {
        error_ = errno;
        return;
    }
    int fd = -1;
    if (exists && !S_ISREG(info.st_mode)) {
        // Not blocking on a FIFO nobody reads: that is a failure, not a hang.
        fd = open_retrying(target_.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC, 0);
        if (fd >= 0)
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    } else {
        // A name left by a killed writer, or planted, is never reused.
        const std::string base = target_ + ".tmp" + std::to_string(::getpid());
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            temporary_ = attempt == 0 ? base : base + "." + std::to_string(attempt);
            fd = open_retrying(temporary_.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST)
                break;
        }
        if (fd >= 0 && exists) {
            const bool owner_kept =
                (info.st_uid == ::geteuid() && info.st_gid == ::getegid()) ||
                ::fchown(fd, info.st_uid, info.st_gid) == 0;
            if (!owner_kept || ::fchmod(fd, info.st_mode & 07777) != 0) {
                error_ = errno;
                ::close(fd);
                ::unlink(temporary_.c_str());
                temporary_.clear();
                return;
            }
        }
        if (fd < 0)
            temporary_.clear();
    }
    if (fd < 0) {
        error_ = errno;
        return;
    }
    stream_ = ::fdopen(fd, "w");
    if (stream_ == nullptr) {
        error_ = errno;
        ::close(fd);
        abandon();
    }
}

FileReplacement::~FileReplacement()
{
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    abandon();
}

void FileReplacement::fail(int error_number)
{
    if (error_ == 0)
        error_ = error_number != 0 ? error_number : EIO;
}

void FileReplacement::abandon()
{
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

int FileReplacement::commit()
{
    if (stream_ == nullptr)
        return error_ != 0 ? error_ : EBADF;
    if (error_ == 0 && (std::fflush(stream_) != 0 || std::ferror(stream_)))
        fail(errno);
    // Devices and pipes written in place cannot be synced; that is no loss.
    if (error_ == 0 && ::fsync(::fileno(stream_)) != 0 &&
        !(temporary_.empty() && (errno == EINVAL || errno == EROFS)))
        fail(errno);
    std::FILE *stream = stream_;
    stream_ = nullptr;
    if (std::fclose(stream) != 0)
        fail(errno);
    if (error_ == 0 && !temporary_.empty()) {
        if (::rename(temporary_.c_str(), target_.c_str()) != 0)
            fail(errno);
        else {
            temporary_.clear();
            if (const int synced = sync_directory(target_); synced != 0)
                fail(synced);
        }
    }
    abandon();
    return error_;
}

}  // namespace sparsamp
