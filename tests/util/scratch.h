// The replacement tests' fixture: the shared scratch directory, its listing
// and whole-file reads.
#ifndef PSENV_TESTS_UTIL_SCRATCH_H
#define PSENV_TESTS_UTIL_SCRATCH_H

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "scratch_dir.h"

class Scratch : public ::testing::Test {
protected:
    std::string path(const std::string &name) const { return scratch_ / name; }

    // The directory's entries, sorted, separated by blanks.
    std::string listing() const
    {
        std::string text;
        for (const auto &name : scratch_.entries())
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

    ScratchDir scratch_{"psenv-util"};
    const std::string dir_ = scratch_.path();
};

#endif
