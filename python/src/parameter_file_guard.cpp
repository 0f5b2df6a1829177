#include "parameter_file_guard.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "cli.h"
#include "cmd_par.h"
#include "par_edit.h"
#include "parfile_check.h"
#include "treekeep.h"

namespace psenv::python {
namespace {

// The whole file, read without blocking: a FIFO or a device is refused
// before it is read.
std::string read_regular_file(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw FileFailure(errno, path);
    struct stat info {};
    int reason = fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    if (reason == 0 && !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw FileFailure(EINVAL, path, "not a regular file");
    }
    std::string bytes;
    if (reason == 0) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
        char block[1 << 16];
        for (;;) {
            const ssize_t got = ::read(fd, block, sizeof block);
            if (got > 0) {
                bytes.append(block, static_cast<std::size_t>(got));
            } else if (got == 0) {
                break;
            } else if (errno != EINTR) {
                reason = errno;
                break;
            }
        }
    }
    ::close(fd);
    if (reason != 0)
        throw FileFailure(reason, path);
    return bytes;
}

// The tool's refusals name its options; a Python caller has arguments.
std::string in_python_words(std::string text)
{
    for (std::size_t at = text.find("--force"); at != std::string::npos; at = text.find("--force", at))
        text.replace(at, 7, "force=True");
    return text;
}

}  // namespace

CheckedFile check_parameter_file(const std::string &path)
{
    CheckedFile checked;
    checked.bytes = read_regular_file(path);
    const ParfileReport report = check_parfile_report(checked.bytes, true);
    for (const ParfileProblem &problem : report.problems)
        checked.problems.emplace_back(problem.line,
                                      "record " + std::to_string(problem.record) + ": " + problem.message);
    checked.damaged = report.damaged();
    checked.names.reserve(report.records.size());
    for (const ParfileRecord &record : report.records)
        checked.names.push_back(record.name);
    return checked;
}

double default_edit_wait()
{
    return par::kDefaultLockWait;
}

void save_parameter_file(const std::string &path, bool force, double wait,
                         const std::optional<std::string> &expected,
                         const std::function<void(int tree)> &fill)
{
    ErrorCapture errors;
    bool made = false;
    bool saved = false;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 && errno == ENOENT) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            throw FileFailure(errno, path);
        ::close(fd);
        made = true;
    }
    struct RemoveUnlessSaved {
        const std::string &path;
        const bool &made;
        const bool &saved;
        ~RemoveUnlessSaved()
        {
            if (made && !saved)
                ::unlink(path.c_str());
        }
    } cleanup{path, made, saved};

    const auto edit = par::begin_edit(path, force, wait);
    if (!edit)
        throw SaveRefused(in_python_words(errors.text()));
    if (expected && read_regular_file(edit->file()) != *expected)
        throw SaveRefused(path + ": the file changed since it was loaded; load it again (it was "
                                 "left unchanged)");
    P_treereset(par::kTreeA);
    fill(par::kTreeA);
    if (par::reject_unsavable(par::kTreeA, path) || !par::save_file(par::kTreeA, path, edit->file())) {
        P_treereset(par::kTreeA);
        throw SaveRefused(in_python_words(errors.text()));
    }
    P_treereset(par::kTreeA);
    saved = true;
}

}  // namespace psenv::python
