// The fixture of the tests that run the built psenv on files of their own: a
// scratch directory for those files, ways to write and read them, and the
// test skipped where no psenv was built.  A fixture that sets up more calls
// PsenvRunner::SetUp() first and returns when IsSkipped().
#ifndef PSENV_TESTS_SUPPORT_PSENV_RUNNER_H
#define PSENV_TESTS_SUPPORT_PSENV_RUNNER_H

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "psenv_run.h"
#include "scratch_dir.h"

class PsenvRunner : public ::testing::Test {
protected:
    // `stem` names the scratch directory, so a leftover tells which tests
    // left it; tests that let an unprivileged child in give a wider `mode`.
    explicit PsenvRunner(std::string_view stem, mode_t mode = 0700) : scratch_(stem, mode) {}

    void SetUp() override
    {
        if (std::getenv("PSENV_TOOL") == nullptr)
            GTEST_SKIP() << "PSENV_TOOL names no built psenv";
    }

    std::string path(const std::string &name) const { return dir_ + "/" + name; }

    static std::string read_path(const std::string &file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The whole of a scratch file ("" when it is missing).
    std::string read(const std::string &name) const { return read_path(path(name)); }

    // Writes `text` as the whole of a scratch file and gives it `mode`.
    void write(const std::string &name, const std::string &text, mode_t mode = 0644) const
    {
        std::ofstream(path(name), std::ios::binary) << text;
        chmod(path(name).c_str(), mode);
    }

    // Names in the scratch directory, sorted: a save must leave no temporary file.
    std::vector<std::string> entries() const { return scratch_.entries(); }

    // Whether this psenv computes point spread functions: built without the
    // FFT library, `sched psf` still has its help but refuses the work.
    static bool psf_built()
    {
        return run_psenv({"sched", "psf", "--help"}).status == 0 &&
               run_psenv({"sched", "psf", "x", "--ni", "2"}).status != 2;
    }

    // The rest of the report's line that begins with `label` ("" when no
    // line past the first does).
    static std::string line_after(const std::string &text, const std::string &label)
    {
        const std::size_t at = text.find("\n" + label);
        if (at == std::string::npos)
            return "";
        const std::size_t from = at + 1 + label.size();
        return text.substr(from, text.find('\n', from) - from);
    }

    ScratchDir scratch_;
    const std::string dir_ = scratch_.path();
};

#endif
