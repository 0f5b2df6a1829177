// A scratch directory tree for file-system tests, removed afterwards, and a
// way to run a check without root's privileges.
#ifndef PSENV_TESTS_DIRSEARCH_SCRATCH_DIR_H
#define PSENV_TESTS_DIRSEARCH_SCRATCH_DIR_H

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "dirsearch-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        path_ = pattern;
        chmod(path_.c_str(), 0755);  // reachable by the unprivileged child
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    const std::string &path() const { return path_; }
    std::string operator/(const std::string &relative) const { return path_ + "/" + relative; }

    // Creates the file (and its directories) with the given mode.
    std::string file(const std::string &relative, mode_t mode = 0644) const
    {
        std::string full = *this / relative;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full) << "x\n";
        chmod(full.c_str(), mode);
        return full;
    }

    std::string dir(const std::string &relative, mode_t mode = 0755) const
    {
        std::string full = *this / relative;
        std::filesystem::create_directories(full);
        chmod(full.c_str(), mode);
        return full;
    }

private:
    std::string path_;
};

// Runs `check` in a forked child that has dropped to uid and gid 65534 (when
// the test runs as root, where access() would grant everything) and returns
// the child's result, or -1 when the child could not run.
inline int run_unprivileged(const std::function<int()> &check)
{
    pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        _exit(check());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

#endif
