// The built program end to end on the bundled examples: the trace, the
// records, the timing events, the diagram and the failures.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "scratch_dir.h"
#include "svg_check.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string slurp(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class Program : public ::testing::Test {
protected:
    static fs::path example(const char *name)
    {
        return fs::path(PSENV_EXAMPLES) / name;
    }

    Outcome run(const std::string &arguments) const
    {
        std::string command = std::string("'") + TWINSCAN_PROGRAM + "' " + arguments + " >'" +
                              (dir_ / "out").string() + "' 2>'" + (dir_ / "err").string() + "'";
        int raw = std::system(command.c_str());
        Outcome outcome;
        outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        outcome.out = slurp(dir_ / "out");
        outcome.err = slurp(dir_ / "err");
        return outcome;
    }

    // A copy of an example with one line replaced.
    fs::path edited(const char *name, const std::string &line, const std::string &replacement) const
    {
        std::string text = slurp(example(name));
        size_t at = text.find(line);
        EXPECT_NE(at, std::string::npos) << line;
        if (at != std::string::npos)
            text.replace(at, line.size(), replacement);
        fs::path copy = dir_ / name;
        std::ofstream(copy) << text;
        return copy;
    }

    ScratchDir scratch_{"twinscan_test"};
    fs::path dir_ = scratch_.path();
};

TEST_F(Program, TracesTheDecoupledExample)
{
    Outcome o = run(example("mode_d.par").string());
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out, "element 1 of 1\n"
                     "  wavl_mix(\"kirtaW16\", \"WALTZ16\", 40, 8.1e-05, 56)\n"
                     "  status(0)\n"
                     "  delay(0.0001)\n"
                     "  genPower(50, 2)\n"
                     "  genPower(56, 1)\n"
                     "  delay(1)\n"
                     "  status(1)\n"
                     "  genRFPulse(9.5e-06, 0, 1e-05, 4e-06, 1)\n"
                     "  setactivercvrs(\"yn\")\n"
                     "  startacq(6e-06)\n"
                     "  acquire(16384, 0.000125)\n"
                     "  endacq()\n"
                     "  delay(1e-06)\n"
                     "  genBlankOnOff(0, 1)\n"
                     "  wavl_xmtron(&{\"kirtaW16\", \"WALTZ16\", 40, 8.1e-05, 56})\n"
                     "  delay(0.001)\n"
                     "  genRFPulse(1.25e-05, 0, 1e-05, 4e-06, 2)\n"
                     "  status(2)\n"
                     "  setactivercvrs(\"ny\")\n"
                     "  startacq(6e-06)\n"
                     "  acquire(16384, 0.000125)\n"
                     "  endacq()\n"
                     "  wavl_xmtroff()\n"
                     "  genBlankOnOff(1, 1)\n"
                     "summary: 2 pulses, 2 acquisitions; delays 1.001101 s, pulses 5e-05 s, "
                     "acquisitions 2.048 s; total 3.049151 s\n");
}

// The library grew scans, indirect dimensions and phase tables; an
// experiment that uses none of them must not notice: every bundled example
// traces and draws exactly as recorded before that work.
TEST_F(Program, BundledExamplesTraceAndDrawExactlyAsRecorded)
{
    struct Case {
        const char *example, *options, *golden;
    };
    const Case cases[] = {
        {"arrayed_d", "", "arrayed_d.run.txt"},
        {"arrayed_d", "--draw text", "arrayed_d.text.txt"},
        {"arrayed_d", "--draw timing", "arrayed_d.timing.txt"},
        {"arrayed_d", "--element 2", "arrayed_d.element2.run.txt"},
        {"arrayed_d", "--element 2 --draw text", "arrayed_d.element2.text.txt"},
        {"arrayed_d", "--element 3 --draw timing", "arrayed_d.element3.timing.txt"},
        {"mode_d", "", "mode_d.run.txt"},
        {"mode_d", "--draw text", "mode_d.text.txt"},
        {"mode_d", "--draw timing", "mode_d.timing.txt"},
        {"mode_p", "", "mode_p.run.txt"},
        {"mode_p", "--draw text", "mode_p.text.txt"},
        {"mode_p", "--draw timing", "mode_p.timing.txt"},
        {"mode_s", "", "mode_s.run.txt"},
        {"mode_s", "--draw text", "mode_s.text.txt"},
        {"mode_s", "--draw timing", "mode_s.timing.txt"},
    };
    for (const Case &c : cases) {
        std::string parfile = example((std::string(c.example) + ".par").c_str()).string();
        Outcome o = run(std::string(c.options) + " " + parfile);
        EXPECT_EQ(o.status, 0) << c.golden << ": " << o.err;
        EXPECT_EQ(o.err, "") << c.golden;
        std::string expected = slurp(fs::path(TWINSCAN_GOLDEN) / c.golden);
        ASSERT_FALSE(expected.empty()) << c.golden;
        EXPECT_EQ(o.out, expected) << c.golden;
    }
}

TEST_F(Program, ArrayedExampleRunsEveryElementWithItsOwnValue)
{
    Outcome o = run(example("arrayed_d.par").string());
    ASSERT_EQ(o.status, 0) << o.err;
    for (const char *expected : {"element 1 of 3\n", "\n\nelement 2 of 3\n", "\n\nelement 3 of 3\n"})
        EXPECT_NE(o.out.find(expected), std::string::npos) << expected;
    size_t second = o.out.find("element 2 of 3");
    size_t third = o.out.find("element 3 of 3");
    EXPECT_EQ(o.out.find("wavl_mix", second), std::string::npos);
    EXPECT_NE(o.out.find("  delay(0.002)\n", second), std::string::npos);
    EXPECT_NE(o.out.find("  delay(0.004)\n", third), std::string::npos);
    EXPECT_EQ(o.out.find("  delay(0.002)\n"), o.out.find("  delay(0.002)\n", second));
    EXPECT_NE(o.out.find("wavl_xmtron", third), std::string::npos);
}

TEST_F(Program, DrawsTextRecordsExactly)
{
    Outcome o = run("--draw text " + example("mode_p.par").string());
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out,
              "87 status  0 1 0 A 0 \n"
              "10 delay  1 0 1 1.0e-4 0.000100000 \n"
              "60 decpower  2 0 1 pwxlvl 50.000000000 \n"
              "60 obspower  1 0 1 tpwr 56.000000000 \n"
              "10 delay  1 0 1 d1 1.000000000 \n"
              "87 status  0 1 0 B 1 \n"
              "10 delay  1 0 1 d2 0.001000000 \n"
              "82 simpulse  2 0 1 1 rof1 0.000010000 rof2 0.000004000  1 oph 0 pw 0.000009500  "
              "2 oph 0 pwx 0.000012500 \n"
              "87 status  0 1 0 C 2 \n");

    o = run("--draw text " + example("mode_d.par").string());
    EXPECT_NE(o.out.find("2 obsunblank  1 1 0 on 1 \nwavl_xmtron 1 &H1dec kirtaW16 WALTZ16\n"),
              std::string::npos);
    EXPECT_NE(o.out.find("wavl_xmtroff 1\n2 obsblank  1 1 0 on 0 \n"), std::string::npos);
}

TEST_F(Program, DrawsTimingEvents)
{
    Outcome o = run("--draw timing " + example("mode_s.par").string());
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "87 0\n10 1 0.0001\n60 0\n60 0\n10 1 1\n87 0\n"
                     "48 3 9.5e-06 1e-05 4e-06\n163 0\n137 0\n1 2 16384 0.000125\n12 0\n"
                     "10 1 1e-06\n10 1 0.001\n48 3 1.25e-05 1e-05 4e-06\n87 0\n"
                     "163 0\n137 0\n1 2 16384 0.000125\n12 0\n");
}

TEST_F(Program, WritesAWellFormedDiagramOfTheFirstElement)
{
    fs::path svg = dir_ / "seq.svg";
    Outcome o = run("--svg '" + svg.string() + "' " + example("arrayed_d.par").string());
    ASSERT_EQ(o.status, 0) << o.err;
    std::string document = slurp(svg);
    std::string why;
    EXPECT_TRUE(well_formed(document, why)) << why;
    EXPECT_NE(document.find(">1 ms<"), std::string::npos);
    EXPECT_EQ(document.find(">d2 "), std::string::npos) << "twinscan names none of its delays";
    EXPECT_NE(document.find("WALTZ16 decoupling"), std::string::npos);

    o = run("--svg '" + (dir_ / "missing" / "seq.svg").string() + "' " +
            example("mode_s.par").string());
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("cannot write"), std::string::npos);
}

TEST_F(Program, DrawsEachArrayedElementAfterItsHeader)
{
    Outcome o = run("--draw text " + example("arrayed_d.par").string());
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.rfind("element 1 of 3\narrayed: d2 0.001\n87 status  0 1 0 A 0 \n", 0), 0u);
    EXPECT_NE(o.out.find("\n\nelement 3 of 3\narrayed: d2 0.004\n87 status"), std::string::npos);

    // The elements before the picked one still run, silently: the waveform
    // made at element 1 is the one element 2 draws.
    o = run("--draw=text --element=2 " + example("arrayed_d.par").string());
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.rfind("element 2 of 3\narrayed: d2 0.002\n87 status", 0), 0u) << o.out;
    EXPECT_EQ(o.out.find("element 1"), std::string::npos);
    EXPECT_EQ(o.out.find("element 3"), std::string::npos);
    EXPECT_NE(o.out.find("wavl_xmtron 1 &H1dec kirtaW16 WALTZ16\n"), std::string::npos);
    EXPECT_NE(o.out.find("d2 0.002000000"), std::string::npos);
}

TEST_F(Program, DecouplingRequestEndsTheRunAtTheAbort)
{
    fs::path parfile = edited("mode_s.par", "1 \"nnnn\"", "1 \"nnny\"");
    Outcome o = run(parfile.string());
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "element 1 of 1\n"
                     "dm should be set to 'nnnn' and homo should set to 'n'\n"
                     "  psg_abort(1)\n");
    EXPECT_NE(o.err.find("aborted"), std::string::npos);
}

TEST_F(Program, ReceiverWarningKeepsTheRunGoing)
{
    fs::path parfile = edited("mode_s.par", "1 \"yy\"", "1 \"yyy\"");
    Outcome o = run(parfile.string());
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.rfind("element 1 of 1\nrcvrs parameter should be set to 'yy'\n  status(0)\n", 0),
              0u);
}

TEST_F(Program, ReportsFilesAndUsageErrors)
{
    Outcome o = run("'" + (dir_ / "nothing.par").string() + "'");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "twinscan: " + (dir_ / "nothing.par").string() + ": No such file or directory\n");
    EXPECT_EQ(o.out, "");

    o = run("--global '" + (dir_ / "nothing.par").string() + "' " + example("mode_s.par").string());
    EXPECT_EQ(o.status, 1);

    for (const char *arguments : {"", "--draw", "--draw pictures x.par", "--bogus x.par",
                                  "a.par b.par", "--draw text --svg x.svg x.par"}) {
        o = run(arguments);
        EXPECT_EQ(o.status, 2) << arguments;
        EXPECT_EQ(o.err.rfind("twinscan: ", 0), 0u) << arguments;
    }
    o = run("--help");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.rfind("usage: twinscan ", 0), 0u);
}

// The decoupled example arrayed over d1 and d2, `d1_count` x `d2_count`
// elements.
std::string arrayed_example(const std::string &text, int d1_count, int d2_count)
{
    auto values = [](int count) {
        std::string list = std::to_string(count);
        for (int i = 1; i <= count; ++i)
            list += " " + std::to_string(i) + "e-06";
        return list + " \n";
    };
    std::string edited = text;
    auto replace = [&](const std::string &what, const std::string &with) {
        size_t at = edited.find(what);
        EXPECT_NE(at, std::string::npos) << what;
        if (at != std::string::npos)
            edited.replace(at, what.size(), with);
    };
    replace("1 \"d2\"\n", "1 \"d1,d2\"\n");
    replace("d1 0 1 10000 0 0 1 1 0 1 64\n1 1 \n", "d1 0 1 10000 0 0 1 1 0 1 64\n" + values(d1_count));
    replace("3 0.001 0.002 0.004 \n", values(d2_count));
    return edited;
}

TEST_F(Program, ExperimentsOfMoreThanAMillionElementsAreRefusedBeforeTheyRun)
{
    const std::string text = slurp(example("arrayed_d.par"));
    const fs::path at_limit = dir_ / "million.par";
    std::ofstream(at_limit) << arrayed_example(text, 1000, 1000);
    Outcome o = run("--draw text --element 1 '" + at_limit.string() + "'");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.rfind("element 1 of 1000000\narrayed: d1 1e-06, d2 1e-06\n", 0), 0u);

    const fs::path beyond = dir_ / "beyond.par";
    std::ofstream(beyond) << arrayed_example(text, 1001, 1000);
    for (const char *options : {"", "--draw text --element 1 "}) {
        o = run(options + ("'" + beyond.string() + "'"));
        EXPECT_EQ(o.status, 1) << options;
        EXPECT_EQ(o.out, "") << options;
        EXPECT_EQ(o.err, "twinscan: array: the experiment has 1001000 elements; a run takes at "
                         "most 1000000\n");
    }
}

} // namespace
