// The tests' one scratch directory: made unique under the temporary
// directory, removed with everything in it when the owner goes away.  Tests
// that let an unprivileged child in give a wider mode.
#ifndef PSENV_TESTS_SUPPORT_SCRATCH_DIR_H
#define PSENV_TESTS_SUPPORT_SCRATCH_DIR_H

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

class ScratchDir {
public:
    // `stem` names the directory ("<stem>-XXXXXX"), so a leftover tells whose
    // it was.  A directory that cannot be made ends the test program: nothing
    // of a test means anything without it.
    explicit ScratchDir(std::string_view stem = "psenv-test", mode_t mode = 0700)
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (std::string(stem) + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror(pattern.c_str());
            std::abort();
        }
        path_ = pattern;
        chmod(path_.c_str(), mode);
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

    // Creates the file (and its directories) holding "x\n", with the given mode.
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

    // Names of the entries, sorted.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};

#endif
