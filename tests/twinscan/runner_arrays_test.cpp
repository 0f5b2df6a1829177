// Arrayed parameters in experiment programs: how arrays nest, join and
// combine, their mistakes, and --element picking one element to show.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "runner_fixture.h"

namespace {

namespace fs = std::filesystem;

TEST_F(Runner, ArraysNestJoinAndCombine)
{
    Parameters p = one_pulse();
    p["pw"] = "1e-05 2e-05";
    p["d1"] = "0.001 0.002 0.003 0.004";
    p["rof1"] = "1e-06 2e-06";

    p["array"] = "\"pw,d1\"";
    Outcome o = one_pulse_run(p);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(occurrences(o.out, " of 8\n"), 8u);
    // The last name varies fastest.
    EXPECT_NE(o.out.find("element 3 of 8\narrayed: pw 1e-05, d1 0.003\n  status(0)\n  delay(0.003)"),
              std::string::npos)
        << o.out;
    EXPECT_NE(o.out.find("element 5 of 8\narrayed: pw 2e-05, d1 0.001\n"), std::string::npos);

    p["array"] = "\"(pw,rof1)\"";
    o = one_pulse_run(p);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(occurrences(o.out, " of 2\n"), 2u);
    EXPECT_NE(o.out.find("arrayed: pw 2e-05, rof1 2e-06\n"), std::string::npos);
    EXPECT_NE(o.out.find("genRFPulse(2e-05, 0, 2e-06, "), std::string::npos);

    p["array"] = "\" ( pw , rof1 ) , d1 \"";
    o = one_pulse_run(p);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(occurrences(o.out, " of 8\n"), 8u);
    EXPECT_NE(o.out.find("element 8 of 8\narrayed: pw 2e-05, rof1 2e-06, d1 0.004\n"),
              std::string::npos)
        << o.out;
}

TEST_F(Runner, ArrayMistakesEndTheRunBeforeTheSequence)
{
    Parameters p = one_pulse();
    p["pw"] = "1e-05 2e-05";
    p["d1"] = "0.001 0.002 0.003";
    const std::pair<const char *, const char *> cases[] = {
        {"\"pw,nosuch\"", "parameter \"nosuch\" does not exist"},
        {"\"pw,d1,pw\"", "parameter \"pw\" is listed twice"},
        {"\"(pw,pw)\"", "parameter \"pw\" is listed twice"},
        {"\"(pw,d1)\"", "\"pw\" has 2 values and \"d1\" has 3"},
        {"\"(pw,d1\"", "a parenthesis is not closed"},
        {"\"pw,,d1\"", "an empty name"},
        {"\"pw,\"", "an empty name"},
        {"\"(pw)d1\"", "a comma must follow a closing parenthesis"},
    };
    for (const auto &[array, message] : cases) {
        p["array"] = array;
        Outcome o = one_pulse_run(p);
        EXPECT_EQ(o.status, 1) << array;
        EXPECT_EQ(o.out, "") << array;
        EXPECT_EQ(o.err.rfind("onepulse: array: ", 0), 0u) << o.err;
        EXPECT_NE(o.err.find(message), std::string::npos) << array << ": " << o.err;
    }
}

TEST_F(Runner, ElementPicksWhatIsShownAndDrawn)
{
    Parameters p = one_pulse();
    p["array"] = "\"d1\"";
    p["d1"] = "0.25 0.5 0.75";

    Outcome o = one_pulse_run(p, "--element 2");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.rfind("element 2 of 3\narrayed: d1 0.5\n  status(0)\n", 0), 0u) << o.out;
    EXPECT_EQ(occurrences(o.out, "element "), 1u);

    fs::path svg = dir_ / "two.svg";
    o = one_pulse_run(p, "--element=3 --svg '" + svg.string() + "'");
    ASSERT_EQ(o.status, 0) << o.err;
    std::string document = slurp(svg);
    EXPECT_NE(document.find(">onepulse \xE2\x80\x94 element 3<"), std::string::npos);
    EXPECT_NE(document.find(">750 ms<"), std::string::npos);

    for (const char *bad : {"--element 4", "--element 0", "--element -1", "--element 2x",
                            "--element=", "--element 1e0"}) {
        o = one_pulse_run(p, bad);
        EXPECT_EQ(o.status, 2) << bad;
        EXPECT_EQ(o.out, "") << bad;
        expect_prefixed(o.err, "onepulse");
    }
}

} // namespace
