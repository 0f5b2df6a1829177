// Helpers of the saving tests: a scratch directory, whole-file reads, and
// streams whose writes fail after a set number of bytes.
#ifndef PSENV_TESTS_TREEKEEP_SAVE_SUPPORT_H
#define PSENV_TESTS_TREEKEEP_SAVE_SUPPORT_H

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "scratch_dir.h"

// The saving tests' scratch directory, listed one name per line.
class SaveDir : public ScratchDir {
public:
    SaveDir() : ScratchDir("treekeep-save") {}

    // Names of the entries, sorted, one per line.
    std::string listing() const
    {
        std::string text;
        for (const auto &name : entries())
            text += name + "\n";
        return text;
    }
};

// The file's bytes, or nothing when it cannot be opened.
inline std::optional<std::string> read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void write_file(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A stream that passes `budget` bytes to `fd` (or drops them for fd -1)
// and fails every write after that.  Unbuffered, so a failure shows in the
// write that meets it rather than in a later flush.
struct BudgetSink {
    int fd = -1;
    long budget = 0;
    std::string accepted;
};

inline FILE *open_budget_stream(BudgetSink *sink)
{
    cookie_io_functions_t calls{};
    calls.write = [](void *cookie, const char *bytes, size_t size) -> ssize_t {
        auto *sink = static_cast<BudgetSink *>(cookie);
        if (static_cast<long>(size) > sink->budget)
            return -1;
        if (sink->fd >= 0 && ::write(sink->fd, bytes, size) != static_cast<ssize_t>(size))
            return -1;
        sink->budget -= static_cast<long>(size);
        sink->accepted.append(bytes, size);
        return static_cast<ssize_t>(size);
    };
    calls.close = [](void *cookie) -> int {
        auto *sink = static_cast<BudgetSink *>(cookie);
        int result = sink->fd >= 0 ? ::close(sink->fd) : 0;
        sink->fd = -1;
        return result;
    };
    FILE *stream = fopencookie(sink, "w", calls);
    if (stream != nullptr)
        setvbuf(stream, nullptr, _IONBF, 0);
    return stream;
}

#endif
