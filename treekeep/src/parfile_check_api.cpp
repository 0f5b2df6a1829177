// The strict check as the C interface hands it out: lists in memory of the
// C library, so that any caller can release them, and the file read with
// care for what is not a regular file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "parfile_check.h"
#include "treekeep_files.h"

namespace {

char *copyText(const std::string &text)
{
    // Cut at a NUL byte, as a C text must be.
    const std::size_t length = std::strlen(text.c_str());
    char *copy = static_cast<char *>(std::malloc(length + 1));
    if (copy != nullptr) {
        std::memcpy(copy, text.c_str(), length);
        copy[length] = '\0';
    }
    return copy;
}

template <class T>
T *allocateList(std::size_t count)
{
    if (count == 0)
        return nullptr;
    return static_cast<T *>(std::calloc(count, sizeof(T)));
}

// `report` into the caller's `check`; false when memory runs out, with
// `check` left empty.
bool handOut(const treekeep::FileReport &report, P_filecheck *check)
{
    P_filecheck made{};
    made.problems = allocateList<P_problem>(report.problems.size());
    made.records = allocateList<P_filerecord>(report.records.size());
    bool complete = (made.problems != nullptr || report.problems.empty()) &&
                    (made.records != nullptr || report.records.empty());
    for (std::size_t i = 0; complete && i < report.problems.size(); ++i) {
        const treekeep::FileProblem &problem = report.problems[i];
        made.problems[i] = {problem.line, problem.record, problem.repeat ? 1 : 0,
                            copyText(problem.message)};
        made.problemCount = i + 1;
        complete = made.problems[i].text != nullptr;
    }
    for (std::size_t i = 0; complete && i < report.records.size(); ++i) {
        const treekeep::FileRecord &record = report.records[i];
        made.records[i] = {record.line, record.protection, copyText(record.name)};
        made.recordCount = i + 1;
        complete = made.records[i].name != nullptr;
    }
    if (!complete) {
        P_freecheck(&made);
        return false;
    }
    *check = made;
    return true;
}

int verdict(const treekeep::FileReport &report)
{
    if (report.damaged())
        return P_CHECK_DAMAGED;
    return report.problems.empty() ? P_CHECK_WHOLE : P_CHECK_REPEATED;
}

int checkInto(std::string_view bytes, int flags, P_filecheck *check)
{
    try {
        const treekeep::FileReport report =
            treekeep::checkFileBytes(bytes, (flags & P_CHECK_FIND_REPEATS) != 0);
        if (check != nullptr && !handOut(report, check))
            return P_FILE_NOMEM;
        return verdict(report);
    } catch (const std::bad_alloc &) {
        return P_FILE_NOMEM;
    }
}

// The bytes of the file at `path`: 0, or a failure code with `error`.
int readWhole(const char *path, std::string &bytes, int &error)
{
    // Non-blocking, so that a FIFO is found out by fstat instead of waiting
    // for a writer.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return P_FILE_UNREADABLE;
    }
    struct stat info {};
    int code = 0;
    if (fstat(fd, &info) != 0) {
        error = errno;
        code = P_FILE_UNREADABLE;
    } else if (!S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? EISDIR : 0;
        code = P_FILE_NOTREGULAR;
    }
    char buffer[65536];
    while (code == 0) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = errno;
            code = P_FILE_UNREADABLE;
        } else if (got == 0) {
            break;
        } else {
            try {
                bytes.append(buffer, static_cast<std::size_t>(got));
            } catch (const std::bad_alloc &) {
                code = P_FILE_NOMEM;
            }
        }
    }
    ::close(fd);
    return code;
}

}  // namespace

extern "C" int P_checkbytes(const char *bytes, size_t length, int flags, P_filecheck *check)
{
    if (check != nullptr)
        *check = P_filecheck{};
    if (bytes == nullptr && length != 0)
        return P_FILE_INVALID;
    return checkInto(std::string_view(bytes != nullptr ? bytes : "", length), flags, check);
}

extern "C" int P_checkfile(const char *path, int flags, P_filecheck *check, int *error)
{
    if (check != nullptr)
        *check = P_filecheck{};
    int failure = 0;
    int code = P_FILE_INVALID;
    if (path != nullptr) {
        try {
            std::string bytes;
            code = readWhole(path, bytes, failure);
            if (code == 0)
                code = checkInto(bytes, flags, check);
        } catch (const std::bad_alloc &) {
            code = P_FILE_NOMEM;
        }
    }
    if (error != nullptr)
        *error = failure;
    return code;
}

extern "C" void P_freecheck(P_filecheck *check)
{
    if (check == nullptr)
        return;
    for (std::size_t i = 0; i < check->problemCount; ++i)
        std::free(check->problems[i].text);
    for (std::size_t i = 0; i < check->recordCount; ++i)
        std::free(check->records[i].name);
    std::free(check->problems);
    std::free(check->records);
    *check = P_filecheck{};
}

extern "C" const char *P_checkfailure(int code, int error)
{
    switch (code) {
    case P_FILE_UNREADABLE:
        return std::strerror(error);
    case P_FILE_NOTREGULAR:
        return error != 0 ? std::strerror(error) : "not a regular file";
    case P_FILE_NOMEM:
        return std::strerror(ENOMEM);
    case P_FILE_INVALID:
        return std::strerror(EINVAL);
    default:
        return nullptr;
    }
}

extern "C" size_t P_printable(const char *text, size_t length, char *buffer, size_t size)
{
    // Escaped byte by byte, so that nothing needs memory of its own.
    std::size_t total = 0;
    for (std::size_t i = 0; text != nullptr && i < length; ++i) {
        char piece[treekeep::kLongestEscape];
        const std::size_t pieceLength = treekeep::escapedByte(text[i], piece);
        for (std::size_t k = 0; k < pieceLength; ++k, ++total)
            if (total + 1 < size)
                buffer[total] = piece[k];
    }
    if (size != 0)
        buffer[total < size ? total : size - 1] = '\0';
    return total;
}
