// The fixture of the psenv par command tests: the sample parameter file in a
// scratch directory, `psenv par` in short, the rows of a `show` table, and
// the small records the tests build their files from.
#ifndef PSENV_TESTS_PSENV_PAR_TOOL_H
#define PSENV_TESTS_PSENV_PAR_TOOL_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "psenv_runner.h"

class ParTool : public PsenvRunner {
protected:
    ParTool() : PsenvRunner("par-tool", 0755) {}
    void SetUp() override
    {
        PsenvRunner::SetUp();
        if (IsSkipped())
            return;
        const char *source = std::getenv("PSENV_SOURCE_DIR");
        ASSERT_NE(source, nullptr) << "PSENV_SOURCE_DIR does not reach the tests";
        sample_ = read_path(std::string(source) + "/examples/params/sample.par");
        ASSERT_FALSE(sample_.empty());
        write("sample.par", sample_);
    }

    ToolResult par(std::vector<std::string> args) const
    {
        args.insert(args.begin(), "par");
        return run_psenv(args);
    }

    static std::vector<std::string> lines(const std::string &text)
    {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            out.push_back(line);
        return out;
    }

    // The row of `name` in a `show` table ("" when absent).
    static std::string row(const std::string &table, const std::string &name)
    {
        for (const std::string &line : lines(table))
            if (line.rfind(name + " ", 0) == 0)
                return line;
        return "";
    }

    std::string sample_;
};

// Records the tests build their small files from, written
// as the format lays them out.
const char *const kRealA = "alpha 0 1 10 0 0 1 1 0 1 64\n2 1 2 \n0 \n";
const char *const kStrB = "beta 0 2 0 0 0 1 1 0 1 64\n1 \"b\"\n0 \n";
const char *const kRealC = "gamma 0 1 10 0 0 1 1 0 1 64\n1 3 \n0 \n";

// Destination: one parameter guarded by 0x4000, one plain.
const char *const kDest = "guard 0 1 10 0 0 1 1 16384 1 64\n1 1 \n0 \n"
                          "plain 0 1 10 0 0 1 1 0 1 64\n1 1 \n0 \n";
// Source: new values for both, one marked and one unmarked new parameter.
const char *const kSource = "guard 0 1 10 0 0 1 1 16384 1 64\n1 9 \n0 \n"
                            "plain 0 1 10 0 0 1 1 0 1 64\n1 9 \n0 \n"
                            "marked 0 2 0 0 0 1 1 16388 0 64\n1 \"m\"\n0 \n"
                            "unmarked 0 1 0 0 0 1 1 0 1 64\n1 5 \n0 \n";

#endif
