// Fixture for the sparse sampling tests: parameters in tree 1, a scratch
// directory, capture of the standard error stream, and schedule snapshots.
#ifndef PSENV_TESTS_SPARSAMP_FIXTURE_H
#define PSENV_TESTS_SPARSAMP_FIXTURE_H

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cs_record.h"
#include "scratch_dir.h"
#include "sparsamp.h"
#include "tree_fixture.h"

class SparsampTest : public TreeTest {
protected:
    void SetUp() override
    {
        TreeTest::SetUp();
        // Every test starts from an empty configuration with no held schedule.
        ASSERT_EQ(CSinit(0, nullptr), 0);
    }

public:
    // ni/CSdensity of candidate j (1..10), active.
    static void set_dimension(int j, double ni, double density)
    {
        const std::string suffix = j == 1 ? "" : std::to_string(j);
        make_real(1, ("ni" + suffix).c_str(), {ni});
        make_real(1, ("CSdensity" + suffix).c_str(), {density});
    }

    static void set_text(const char *name, const char *value) { make_string(1, name, {value}); }
    static void set_real(const char *name, double value) { make_real(1, name, {value}); }

protected:
    // The rows of the held schedule, row by row.
    static std::vector<std::vector<int>> rows()
    {
        std::vector<std::vector<int>> result;
        for (int i = 0; i < getCSnum(); ++i) {
            std::vector<int> row;
            for (int k = 0; k < getCSdimension(); ++k)
                row.push_back(static_cast<int>(getCSval(k, i)));
            result.push_back(row);
        }
        return result;
    }

    std::string path(const std::string &name) const { return dir_ + "/" + name; }

    void write_file(const std::string &name, const std::string &content) const
    {
        std::ofstream(path(name), std::ios::binary) << content;
    }

    std::string read_file(const std::string &name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Runs `action` with the standard error stream going to a file; returns
    // what was written.
    template <typename Action>
    std::string capture_stderr(Action action) const
    {
        const std::string file = path("stderr.txt");
        std::fflush(stderr);
        const int saved = dup(2);
        std::FILE *sink = std::fopen(file.c_str(), "w");
        dup2(fileno(sink), 2);
        action();
        std::fflush(stderr);
        dup2(saved, 2);
        close(saved);
        std::fclose(sink);
        return read_file("stderr.txt");
    }

    ScratchDir scratch_{"sparsamp_test"};
    std::string dir_ = scratch_.path();
};

#endif
