#include "parameter_file_guard.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <string>

#include "treekeep.h"
#include "treekeep_files.h"
#include "treekeep_values.h"
#include "vartree.h"

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

// The store's refusals name the psenv program's option; a Python caller has
// an argument.
std::string in_python_words(std::string text)
{
    for (std::size_t at = text.find("--force"); at != std::string::npos; at = text.find("--force", at))
        text.replace(at, 7, "force=True");
    return text;
}

// An edit handle released on every path.
struct EditHandle {
    P_edit *edit = nullptr;
    ~EditHandle() { P_editend(edit); }
    std::string message() const
    {
        const char *text = edit != nullptr ? P_editmessage(edit) : nullptr;
        return in_python_words(text != nullptr ? text : "the edit failed");
    }
};

// The tree a save is filled in, as `psenv par set` fills it.
constexpr int kSaveTree = VARTREE_PROCESSED;

// "<path>: parameter 'NAME' cannot be saved ..." for every name a save would
// drop, one to a line; empty when it keeps them all.
std::string unsavable_names(int tree, const std::string &path)
{
    struct Report {
        const std::string &path;
        std::string text;
    } report{path, {}};
    auto add = [](const char *name, void *context) {
        auto &into = *static_cast<Report *>(context);
        if (!into.text.empty())
            into.text += '\n';
        into.text += into.path + ": parameter '" + name +
                     "' cannot be saved to a file; the file was left unchanged";
    };
    if (P_unsavable(tree, add, &report) == P_MALLOC)
        throw std::bad_alloc();
    return report.text;
}

}  // namespace

CheckedFile check_parameter_file(const std::string &path)
{
    CheckedFile checked;
    checked.bytes = read_regular_file(path);
    P_filecheck check{};
    const int verdict = P_checkbytes(checked.bytes.data(), checked.bytes.size(),
                                     P_CHECK_FIND_REPEATS, &check);
    struct Release {
        P_filecheck &check;
        ~Release() { P_freecheck(&check); }
    } release{check};
    if (verdict == P_FILE_NOMEM)
        throw std::bad_alloc();
    for (std::size_t i = 0; i < check.problemCount; ++i)
        checked.problems.emplace_back(check.problems[i].line,
                                      "record " + std::to_string(check.problems[i].record) + ": " +
                                          check.problems[i].text);
    checked.damaged = verdict == P_CHECK_DAMAGED;
    checked.names.reserve(check.recordCount);
    for (std::size_t i = 0; i < check.recordCount; ++i)
        checked.names.emplace_back(check.records[i].name);
    return checked;
}

double default_edit_wait()
{
    return 10.0;  // as `psenv par set`
}

void save_parameter_file(const std::string &path, bool force, double wait,
                         const std::optional<std::string> &expected,
                         const std::function<void(int tree)> &fill)
{
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

    EditHandle handle;
    const int begun = P_editbegin(path.c_str(), force ? P_EDIT_FORCE : 0, wait, &handle.edit);
    if (begun == P_FILE_NOMEM)
        throw std::bad_alloc();
    if (begun != 0)
        throw SaveRefused(handle.message());
    if (expected && read_regular_file(P_editfile(handle.edit)) != *expected)
        throw SaveRefused(path + ": the file changed since it was loaded; load it again (it was "
                                 "left unchanged)");
    P_treereset(kSaveTree);
    struct ResetTree {
        ~ResetTree() { P_treereset(kSaveTree); }
    } reset;
    fill(kSaveTree);
    if (const std::string unsavable = unsavable_names(kSaveTree, path); !unsavable.empty())
        throw SaveRefused(unsavable);
    if (P_editsave(handle.edit, kSaveTree) != 0)
        throw SaveRefused(handle.message());
    saved = true;
}

}  // namespace psenv::python
