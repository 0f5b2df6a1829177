// Experiment programs built from a user's sequence file: a plain run, and
// the checks of the values the sequence and its primitives are given, run on
// the one-pulse example and on a probe sequence.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "runner_fixture.h"
#include "svg_check.h"

namespace {

namespace fs = std::filesystem;

TEST_F(Runner, OnePulseRunsWithTheLibrarysDefaultsAndCountsComplexPoints)
{
    Outcome o = one_pulse_run(one_pulse());
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_NE(o.out.find("  acquire(16384, 0.000125)\n"), std::string::npos);
    EXPECT_NE(o.out.find("summary: 1 pulse, 1 acquisition; delays 1 s, pulses 2.4e-05 s, "
                         "acquisitions 1.024 s; total 2.024024 s\n"),
              std::string::npos)
        << o.out;

    fs::path svg = dir_ / "one.svg";
    o = one_pulse_run(one_pulse(), "--svg='" + svg.string() + "'");
    ASSERT_EQ(o.status, 0) << o.err;
    std::string document = slurp(svg);
    std::string why;
    EXPECT_TRUE(well_formed(document, why)) << why;
    EXPECT_NE(document.find(">onepulse \xE2\x80\x94 element 1<"), std::string::npos);
    EXPECT_NE(document.find(">8192 complex points, 1.024 s<"), std::string::npos);
}

TEST_F(Runner, ASequenceWithoutRenditionsCannotBeDrawn)
{
    for (const char *draw : {"--draw text", "--draw=timing"}) {
        Outcome o = one_pulse_run(one_pulse(), draw);
        EXPECT_EQ(o.status, 1) << draw;
        EXPECT_NE(o.err.find("onepulse: no display rendition"), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "") << draw;
    }
}

TEST_F(Runner, RefusesValuesTheHardwareWouldRefuseBeforeTheSequence)
{
    struct Case {
        const char *name, *value, *message;
    };
    const Case cases[] = {
        {"pw", "-1e-05", "pw = -1e-05: a pulse width must be finite and not negative"},
        {"d1", "-2", "d1 = -2: a duration must be finite and not negative"},
        {"rof1", "-1e-06", "rof1 = -1e-06: a duration"},
        {"alfa", "-1", "alfa = -1: a duration"},
        {"sw", "0", "sw = 0: a spectral width must be finite and positive"},
        {"np", "16385", "np = 16385: the points count real and imaginary values"},
        {"np", "0", "np = 0: "},
        {"np", "100.5", "np = 100.5: "},
        {"oph", "1.5", "oph = 1.5: a phase must be a whole number"},
        // Beyond 32 bits the written variable would be 0.
        {"oph", "3e+09", "oph = 3e+09: a phase must be a whole number from -2147483648 to "
                         "2147483647"},
        {"oph", "-2147483649", "oph = -2.14748365e+09: a phase must be a whole number"},
        {"OBSch", "4294967297", "OBSch = 4.2949673e+09: a channel must be a finite number from "
                                "-2147483648 to 2147483647"},
        {"DECch", "-1e309", "DECch = -inf: a channel must be"},
        {"OBSch", "2147483647.5", "OBSch = 2.14748365e+09: a channel must be"},
    };
    fs::path svg = dir_ / "never.svg";
    for (const Case &c : cases) {
        Parameters p = one_pulse();
        p[c.name] = c.value;
        Outcome o = one_pulse_run(p, "--svg '" + svg.string() + "'");
        EXPECT_EQ(o.status, 1) << c.name << " " << c.value;
        EXPECT_EQ(o.err.rfind(std::string("onepulse: element 1: ") + c.message, 0), 0u) << o.err;
        EXPECT_EQ(o.out.find("status(0)"), std::string::npos) << "the sequence was called";
        EXPECT_FALSE(fs::exists(svg)) << "a failed run drew a diagram";
    }
}

TEST_F(Runner, PhasesAndChannelsAtTheEdgesOf32BitsAreWrittenExactly)
{
    Parameters p = one_pulse();
    p["oph"] = "2147483647";
    p["OBSch"] = "-2147483648";
    Outcome o = one_pulse_run(p);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("genRFPulse(1e-05, 2147483647, 1e-05, 4e-06, -2147483648)"),
              std::string::npos)
        << o.out;
    p["oph"] = "-2147483648";
    p["OBSch"] = "2.4"; // channels are rounded, as ever
    o = one_pulse_run(p);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("genRFPulse(1e-05, -2147483648, 1e-05, 4e-06, 2)"), std::string::npos)
        << o.out;
}

TEST_F(Runner, ChecksTheArrayedValueOfEachElement)
{
    Parameters p = one_pulse();
    p["array"] = "\"pw\"";
    p["pw"] = "1e-05 -1e-05";
    fs::path svg = dir_ / "never.svg";
    Outcome o = one_pulse_run(p, "--svg '" + svg.string() + "'");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "onepulse: element 2: pw = -1e-05: a pulse width must be finite and not "
                     "negative\n");
    EXPECT_NE(o.out.find("element 1 of 2\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(svg));
}

TEST_F(Runner, RefusesBadValuesAtThePrimitive)
{
    struct Case {
        const char *name, *value, *message;
    };
    const Case cases[] = {
        {"probe_delay", "-0.5", "delay: time = -0.5: a duration must be finite and not negative"},
        {"probe_delay", "1e309", "delay: time = inf: "},
        {"probe_power", "-1e309", "genPower: power = -inf: a power level must be finite"},
        {"probe_points", "7", "acquire: points = 7: the points count real and imaginary"},
    };
    for (const Case &c : cases) {
        Parameters p = one_pulse();
        p["probe_delay"] = "0.1";
        p["probe_power"] = "30";
        p["probe_points"] = "64";
        p[c.name] = c.value;
        fs::path svg = dir_ / "never.svg";
        Outcome o = run(PROBE_PROGRAM, "--svg '" + svg.string() + "' '" + parfile(p).string() + "'");
        EXPECT_EQ(o.status, 1) << c.name;
        EXPECT_EQ(o.err.rfind(std::string("probe: element 1: ") + c.message, 0), 0u) << o.err;
        EXPECT_FALSE(fs::exists(svg));
    }
    Parameters fine = one_pulse();
    fine["probe_delay"] = "0.1";
    fine["probe_power"] = "30";
    fine["probe_points"] = "64";
    fine.erase("sw"); // missing sw: the variable is 0 and the dwell infinite
    Outcome o = run(PROBE_PROGRAM, "'" + parfile(fine).string() + "'");
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("probe: element 1: acquire: dwell = inf: a dwell time must be finite "
                         "and positive"),
              std::string::npos)
        << o.err;
}

TEST_F(Runner, WarnsOnceAboutEachMissingParameterTheSequenceReads)
{
    Parameters p = one_pulse();
    p.erase("tof");
    p["array"] = "\"d1\"";
    p["d1"] = "1 2 3";
    Outcome o = one_pulse_run(p);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "onepulse: warning: parameter \"tof\" does not exist; it reads as 0\n");
}

} // namespace
