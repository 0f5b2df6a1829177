// The command line of experiment programs: empty file names, the program's
// own name in the diagram, help and version.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "runner_fixture.h"
#include "svg_check.h"

namespace {

namespace fs = std::filesystem;

TEST_F(Runner, EmptyFileNamesAreUsageErrorsBeforeTheRun)
{
    for (const char *empty : {"--svg=", "--svg ''", "--global=", "--global ''"}) {
        Outcome o = one_pulse_run(one_pulse(), empty);
        EXPECT_EQ(o.status, 2) << empty;
        EXPECT_EQ(o.out, "") << empty << ": the run went ahead";
        EXPECT_NE(o.err.find("needs a file name"), std::string::npos) << o.err;
        expect_prefixed(o.err, "onepulse");
    }
}

TEST_F(Runner, TheDiagramIsValidUtf8WhateverTheProgramIsCalled)
{
    const fs::path renamed = dir_ / "one\xFFpulse\xC3";
    fs::create_symlink(ONEPULSE_PROGRAM, renamed);
    const fs::path svg = dir_ / "named.svg";
    Outcome o = run(renamed.c_str(), "--svg '" + svg.string() + "' '" +
                                         parfile(one_pulse()).string() + "'");
    ASSERT_EQ(o.status, 0) << o.err;
    const std::string document = slurp(svg);
    std::string why;
    EXPECT_TRUE(utf8_clean(document, why)) << why;
    EXPECT_NE(document.find(">one\xEF\xBF\xBDpulse\xEF\xBF\xBD \xE2\x80\x94 element 1<"),
              std::string::npos);
}

TEST_F(Runner, AnswersHelpAndVersion)
{
    for (const char *ask : {"-h", "--help"}) {
        Outcome o = run(ONEPULSE_PROGRAM, ask);
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(o.out.rfind("usage: onepulse ", 0), 0u);
        EXPECT_NE(o.out.find("--element N"), std::string::npos);
    }
    Outcome o = run(ONEPULSE_PROGRAM, "--version");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.rfind("onepulse (psenv) ", 0), 0u);
    o = run(ONEPULSE_PROGRAM, "--svg");
    EXPECT_EQ(o.status, 2);
    expect_prefixed(o.err, "onepulse");
}

} // namespace
