#include "psenv_util/file_replacement.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <new>

namespace psenv::util {
namespace {

std::string directory_of(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The directory entry must reach the disk too, or a crash can bring the old
// file back after the rename was done.
void sync_directory(const std::string &path) noexcept
{
    try {
        const int fd = ::open(directory_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return;
        ::fsync(fd);
        ::close(fd);
    } catch (const std::bad_alloc &) {
        // Without the sync the new file is in place all the same.
    }
}

// Devices and pipes cannot be synced; that is no loss.
bool unsyncable(int error_number) { return error_number == EINVAL || error_number == EROFS; }

}  // namespace

FileReplacement::FileReplacement(const std::string &path, ReplacementOptions options)
    : calls_(options.calls != nullptr ? *options.calls : system_file_calls()),
      follow_links_(options.follow_links),
      special_in_place_(options.write_special_in_place)
{
    try {
        target_ = path;
        if (!examine(path)) {
            target_at_fault_ = true;
            return;
        }
        if (in_place_) {
            stream_ = calls_.open_in_place(target_.c_str());
            if (stream_ == nullptr) {
                error_ = errno != 0 ? errno : EIO;
                target_at_fault_ = true;
            }
            return;
        }
        create(options);
    } catch (const std::bad_alloc &) {
        // Names are made before anything is created, so nothing is left.
        error_ = ENOMEM;
        target_at_fault_ = false;
    }
}

// What stands at the path decides how it is replaced: a regular file hands
// on its attributes, a FIFO or device is written in place or refused.
bool FileReplacement::examine(const std::string &path)
{
    struct stat info {};
    errno = 0;
    const bool listed = calls_.lstat(path.c_str(), &info) == 0;
    if (!listed) {
        // Without links to follow, whatever keeps the path from being looked
        // at shows again when the new file is created beside it.
        if (!follow_links_ || errno == ENOENT)
            return true;
        error_ = errno != 0 ? errno : EIO;
        return false;
    }
    if (S_ISLNK(info.st_mode)) {
        if (!follow_links_)
            return true;
        const std::unique_ptr<char, decltype(&std::free)> resolved(
            ::realpath(path.c_str(), nullptr), &std::free);
        if (resolved == nullptr || calls_.lstat(resolved.get(), &info) != 0) {
            error_ = errno != 0 ? errno : EIO;
            return false;
        }
        target_ = resolved.get();
    }
    if (S_ISREG(info.st_mode)) {
        old_ = info;
        replacing_ = true;
        return true;
    }
    if (!special_in_place_) {
        error_ = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    in_place_ = true;
    return true;
}

void FileReplacement::create(const ReplacementOptions &options)
{
    errno = 0;
    if (!options.temporary.empty()) {
        // The name is the replacement's: what stands there (a leftover of a
        // killed writer, or something planted) is removed, never followed.
        // What cannot be removed (a directory) leaves the name taken.
        temporary_ = options.temporary;
        stream_ = calls_.create(temporary_.c_str());
        if (stream_ == nullptr && errno == EEXIST &&
            (calls_.unlink(temporary_.c_str()) == 0 || errno == ENOENT))
            stream_ = calls_.create(temporary_.c_str());
    } else {
        // A name that is taken is never reused: another one is tried.
        const std::string base = target_ + ".tmp" + std::to_string(::getpid());
        for (int attempt = 0; attempt < 100; ++attempt) {
            temporary_ = attempt == 0 ? base : base + "." + std::to_string(attempt);
            stream_ = calls_.create(temporary_.c_str());
            if (stream_ != nullptr || errno != EEXIST)
                break;
        }
    }
    if (stream_ == nullptr) {
        error_ = errno != 0 ? errno : EIO;
        temporary_.clear();  // not ours to remove
    }
}

FileReplacement::~FileReplacement()
{
    if (stream_ != nullptr)
        calls_.close(stream_);
    stream_ = nullptr;
    abandon();
}

void FileReplacement::fail(int error_number)
{
    if (error_ == 0)
        error_ = error_number != 0 ? error_number : EIO;
}

// Ownership first: a change of owner may clear set-id bits.
bool FileReplacement::keep_attributes()
{
    return calls_.chown(stream_, old_.st_uid, old_.st_gid) == 0 &&
           calls_.chmod(stream_, old_.st_mode & 07777) == 0;
}

void FileReplacement::abandon()
{
    if (!temporary_.empty())
        calls_.unlink(temporary_.c_str());
    temporary_.clear();
}

int FileReplacement::commit()
{
    if (stream_ == nullptr)
        return error_ != 0 ? error_ : EBADF;
    // A write that failed without the caller noticing still fails the whole.
    if (error_ == 0 && std::ferror(stream_))
        fail(EIO);
    errno = 0;
    if (error_ == 0 && replacing_ && !keep_attributes())
        fail(errno);
    if (error_ == 0 && (calls_.flush(stream_) != 0 || std::ferror(stream_)))
        fail(errno);
    if (error_ == 0 && calls_.sync(stream_) != 0 && !(in_place_ && unsyncable(errno)))
        fail(errno);
    std::FILE *stream = stream_;
    stream_ = nullptr;
    if (calls_.close(stream) != 0)
        fail(errno);
    if (error_ == 0 && !temporary_.empty()) {
        if (calls_.rename(temporary_.c_str(), target_.c_str()) != 0) {
            fail(errno);
        } else {
            temporary_.clear();
            sync_directory(target_);
        }
    }
    abandon();
    return error_;
}

int replace_file(const std::string &path, std::string_view content,
                 const ReplacementOptions &options)
{
    FileReplacement file(path, options);
    if (file.stream() == nullptr)
        return file.error();
    errno = 0;
    if (!content.empty() &&
        (std::fwrite(content.data(), 1, content.size(), file.stream()) != content.size() ||
         std::ferror(file.stream())))
        file.fail(errno);
    return file.commit();
}

}  // namespace psenv::util
