// A scratch directory for the replacement tests, and whole-file reads.
#ifndef PSENV_TESTS_UTIL_SCRATCH_H
#define PSENV_TESTS_UTIL_SCRATCH_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>

class Scratch : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "psenv-util-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string path(const std::string &name) const { return dir_ + "/" + name; }

    // The directory's entries, sorted, separated by blanks.
    std::string listing() const
    {
        std::set<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(dir_))
            names.insert(entry.path().filename().string());
        std::string text;
        for (const auto &name : names)
            text += (text.empty() ? "" : " ") + name;
        return text;
    }

    static std::optional<std::string> read(const std::string &file)
    {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            return std::nullopt;
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    static void write(const std::string &file, const std::string &bytes)
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }

    std::string dir_;
};

#endif
