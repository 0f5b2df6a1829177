#include "schedule_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace psenv::plan {
namespace {

std::string failure(const std::string &what, const std::string &path)
{
    return what + " '" + path + "': " + std::strerror(errno);
}

bool write_all(int fd, const std::string &text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Owner and mode of the replaced file, or the umask's default for a new one.
bool take_over_attributes(int fd, const std::string &path)
{
    struct stat old {};
    if (::stat(path.c_str(), &old) != 0) {
        if (errno != ENOENT)
            return false;
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return ::fchmod(fd, 0666 & ~mask) == 0;
    }
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM)
        return false;
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

}  // namespace

std::string schedule_text(const Columns &columns)
{
    std::string text;
    const std::size_t rows = columns.empty() ? 0 : columns.front().size();
    char field[16];
    for (std::size_t i = 0; i < rows; ++i) {
        for (const auto &column : columns) {
            std::snprintf(field, sizeof field, "%-4d ", column[i]);
            text += field;
        }
        text += '\n';
    }
    return text;
}

bool write_schedule_file(const std::string &path, const Columns &columns, std::string &reason)
{
    return replace_file(path, schedule_text(columns), reason);
}

bool replace_file(const std::string &path, const std::string &text, std::string &reason)
{
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        reason = failure("cannot create a temporary file beside", path);
        return false;
    }
    bool ok = take_over_attributes(fd, path);
    if (!ok)
        reason = failure("cannot keep the owner and mode of", path);
    if (ok && !(ok = write_all(fd, text)))
        reason = failure("cannot write", temporary);
    if (ok && !(ok = ::fsync(fd) == 0))
        reason = failure("cannot sync", temporary);
    if (::close(fd) != 0 && ok) {
        ok = false;
        reason = failure("cannot close", temporary);
    }
    if (ok && !(ok = ::rename(temporary.c_str(), path.c_str()) == 0))
        reason = failure("cannot rename the temporary file over", path);
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

}  // namespace psenv::plan
