// Helpers shared by the harnesses: a scratch directory that lives as long as
// the fuzzing process, files written from the input, and silenced sinks.
#ifndef PSENV_FUZZ_SUPPORT_H
#define PSENV_FUZZ_SUPPORT_H

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "errsink.h"

namespace fuzz {

// Stops the harness loudly: libFuzzer records the input as a crash.
[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "harness check failed: %s\n", what);
    std::abort();
}

inline void check(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}

// A per-process directory, removed at exit.  Prefers /dev/shm so that the
// file traffic of millions of runs stays in memory.
class ScratchDir {
public:
    static const std::string &path()
    {
        static ScratchDir dir;
        return dir.path_;
    }

private:
    ScratchDir()
    {
        const char *base = std::getenv("PSENV_FUZZ_TMP");
        if (base == nullptr || *base == '\0') {
            struct stat info {};
            base = (stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) &&
                    access("/dev/shm", W_OK) == 0)
                       ? "/dev/shm"
                       : "/tmp";
        }
        std::string pattern = std::string(base) + "/psenv_fuzz_XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            fail("cannot create the scratch directory");
        path_ = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string path_;
};

// Path of `name` in the scratch directory.
inline std::string scratch(const char *name)
{
    return ScratchDir::path() + "/" + name;
}

// Replaces the file at `path` with exactly `size` bytes of `data`.
inline void write_file(const std::string &path, const std::uint8_t *data, std::size_t size)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    check(file != nullptr, "cannot create a scratch file");
    if (size > 0)
        check(std::fwrite(data, 1, size, file) == size, "cannot fill a scratch file");
    check(std::fclose(file) == 0, "cannot close a scratch file");
}

// Keeps loader messages out of the fuzzer's output.
inline void silence_messages()
{
    Werrprintf_set_hook([](const char *, void *) {}, nullptr);
}

}  // namespace fuzz

#endif
