// Experiments end to end through the built runners: the increments of
// indirect dimensions and their quadrature components, sparse schedules,
// scans and phase cycles, decoupling on the decoupler channel, the
// experiment's time, and the values refused before anything runs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "run_program.h"

namespace {

namespace fs = std::filesystem;
using psgtest::occurrences;
using psgtest::Outcome;
using psgtest::slurp;
using psgtest::with_real;
using psgtest::with_text;

class Experiment : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/experiment_test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string hmqc() { return slurp(fs::path(HMQC_EXAMPLE) / "hmqc.par"); }

    // The HMQC parameters of a small 2D: `ni` increments, two quadrature
    // components, `nt` scans, no steady state.
    static std::string small_2d(int ni, int nt)
    {
        std::string text = with_real(hmqc(), "ni", std::to_string(ni));
        text = with_real(text, "nt", std::to_string(nt));
        return with_real(text, "ss", "0");
    }

    // One element of `nt` scans for the cycle program.
    static std::string cycle(int nt)
    {
        std::string text = with_real(hmqc(), "ni", "0");
        text = with_real(text, "phase", "1");
        text = with_real(text, "ss", "0");
        return with_real(text, "nt", std::to_string(nt));
    }

    fs::path write(const std::string &name, const std::string &text) const
    {
        fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    Outcome run(const char *program, const std::string &text,
                const std::string &options = "") const
    {
        return psgtest::run_program(program, options + " '" + write("exp.par", text).string() +
                                                 "'",
                                    dir_);
    }

    fs::path dir_;
};

// Every "element N of M" header with the lines up to the first scan.
std::vector<std::string> headers(const std::string &trace)
{
    std::vector<std::string> found;
    for (size_t at = trace.find("element "); at != std::string::npos;
         at = trace.find("\nelement ", at + 1)) {
        at += trace[at] == '\n' ? 1 : 0;
        size_t end = trace.find("scan 1 of", at);
        size_t line = trace.find("\n  ", at);
        found.push_back(trace.substr(at, std::min(end, line + 1) - at));
    }
    return found;
}

std::string number_text(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

TEST_F(Experiment, TwoDimensionsWalkEveryIncrementTimesEveryQuadratureComponent)
{
    Outcome o = run(HMQC_PROGRAM, small_2d(4, 1));
    ASSERT_EQ(o.status, 0) << o.err;
    std::vector<std::string> found = headers(o.out);
    ASSERT_EQ(found.size(), 8u) << o.out;
    for (int i = 0; i < 4; ++i)
        for (int q = 1; q <= 2; ++q) {
            const int element = 2 * i + q;
            const double d2 = i / 4000.0; // sw1 4000
            EXPECT_EQ(found[static_cast<size_t>(element - 1)],
                      "element " + std::to_string(element) + " of 8\nincrement: " +
                          std::to_string(i) + " of ni 4 (d2 " + number_text(d2) +
                          ")\nquadrature: phase " + std::to_string(q) + "\n");
        }
    // The sequence splits d2 around the 1H 180 and reads "phase" to shift
    // its first X pulse for the second component.
    size_t third = o.out.find("element 3 of 8");
    size_t fourth = o.out.find("element 4 of 8");
    EXPECT_NE(o.out.find("  delay(0.000125)\n", third), std::string::npos);
    EXPECT_NE(o.out.find("  genRFPulse(2e-05, 0, 1e-05, 4e-06, 2)\n", third), std::string::npos);
    EXPECT_NE(o.out.find("  genRFPulse(2e-05, 1, 1e-05, 4e-06, 2)\n", fourth), std::string::npos);
    EXPECT_EQ(o.out.find("  delay(0.000125)\n"), o.out.find("  delay(0.000125)\n", third));
}

TEST_F(Experiment, ThreeDimensionsStepTheirOwnDelaysDimensionOneFastest)
{
    std::string text = with_real(small_2d(2, 1), "phase", "1");
    text = with_real(text, "ni2", "3");
    text = with_real(text, "sw2", "500");
    text = with_real(text, "d3", "0.01");
    text = with_real(text, "phase2", "1 2");
    Outcome o = run(CYCLE_PROGRAM, text);
    ASSERT_EQ(o.status, 0) << o.err;
    std::vector<std::string> found = headers(o.out);
    ASSERT_EQ(found.size(), 12u) << "2 x 3 increments x 2 components of dimension 2";
    EXPECT_EQ(found[0], "element 1 of 12\nincrement: 0 of ni 2 (d2 0), 0 of ni2 3 (d3 0.01)\n"
                        "quadrature: phase2 1\n");
    EXPECT_EQ(found[3], "element 4 of 12\nincrement: 1 of ni 2 (d2 0.00025), 0 of ni2 3 (d3 "
                        "0.01)\nquadrature: phase2 2\n");
    EXPECT_EQ(found[11], "element 12 of 12\nincrement: 1 of ni 2 (d2 0.00025), 2 of ni2 3 (d3 "
                         "0.014)\nquadrature: phase2 2\n");
    EXPECT_NE(o.out.find("experiment: 2 x 3 increments x 2 quadrature components"),
              std::string::npos);
}

TEST_F(Experiment, ExperimentsBeyondTheRunnersLimitsAreRefusedBeforeTheyRun)
{
    Outcome o = run(HMQC_PROGRAM, with_real(hmqc(), "ni", "600000"));
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "hmqc: the experiment has 1200000 elements (increments x quadrature "
                     "components x array elements); a run takes at most 1000000\n");

    o = run(HMQC_PROGRAM, with_real(small_2d(4, 1), "nt", "2000000"));
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "hmqc: the experiment has 16000000 scans (nt of every element and ss); a "
                     "run takes at most 10000000\n");
}

TEST_F(Experiment, ArraysVaryInsideTheIncrementsAndQuadratureFastest)
{
    std::string text = with_text(small_2d(2, 1), "array", "jxh");
    text = with_real(text, "jxh", "140 200");
    Outcome o = run(HMQC_PROGRAM, text);
    ASSERT_EQ(o.status, 0) << o.err;
    std::vector<std::string> found = headers(o.out);
    ASSERT_EQ(found.size(), 8u);
    EXPECT_EQ(found[2], "element 3 of 8\nincrement: 0 of ni 2 (d2 0)\nquadrature: phase 1\n"
                        "arrayed: jxh 200\n");
    EXPECT_EQ(found[5], "element 6 of 8\nincrement: 1 of ni 2 (d2 0.00025)\nquadrature: phase 2\n"
                        "arrayed: jxh 140\n");

    // What the walk steps itself cannot be arrayed as well.
    for (const char *name : {"d2", "ni", "sw1", "phase"}) {
        o = run(HMQC_PROGRAM, with_text(small_2d(2, 1), "array", name));
        EXPECT_EQ(o.status, 1) << name;
        EXPECT_EQ(o.out, "") << name;
        EXPECT_NE(o.err.find(std::string("hmqc: array: \"") + name + "\""), std::string::npos)
            << o.err;
    }
}

// The sparse HMQC with the given schedule file in the test's folder.
std::string sparse(int ni, int nt)
{
    std::string text = with_real(slurp(fs::path(HMQC_EXAMPLE) / "hmqc_sparse.par"), "ni",
                                 std::to_string(ni));
    text = with_real(text, "nt", std::to_string(nt));
    return with_real(text, "ss", "0");
}

TEST_F(Experiment, SparseRunWalksExactlyTheScheduleRowsInTheirOrder)
{
    write("sampling.sch", "# made by hand\n5    \n0    \n3    \n");
    Outcome o = run(HMQC_PROGRAM, sparse(8, 1));
    ASSERT_EQ(o.status, 0) << o.err;
    std::vector<std::string> found = headers(o.out);
    ASSERT_EQ(found.size(), 6u) << o.out;
    const int rows[] = {5, 0, 3};
    for (int r = 0; r < 3; ++r)
        for (int q = 1; q <= 2; ++q)
            EXPECT_EQ(found[static_cast<size_t>(2 * r + q - 1)],
                      "element " + std::to_string(2 * r + q) + " of 6\nincrement: " +
                          std::to_string(rows[r]) + " of ni 8 (d2 " +
                          number_text(rows[r] / 4000.0) + "); schedule row " +
                          std::to_string(r + 1) + " of 3\nquadrature: phase " +
                          std::to_string(q) + "\n");
    EXPECT_NE(o.out.find("  delay(0.000625)\n"), std::string::npos) << "d2/2 of increment 5";
    EXPECT_NE(o.out.find("experiment: 3 increments (sparse: 3 of the 8 grid points) x 2 "
                         "quadrature components x 1 array element = 6 elements\n"),
              std::string::npos);

    // --expdir names another folder to read it from.
    fs::create_directory(dir_ / "other");
    std::ofstream(dir_ / "other" / "sampling.sch") << "7\n";
    o = run(HMQC_PROGRAM, sparse(8, 1), "--dry-run --expdir '" + (dir_ / "other").string() + "'");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("1 increment (sparse: 1 of the 8 grid points)"), std::string::npos)
        << o.out;
}

TEST_F(Experiment, AGeneratedScheduleIsWrittenWhereTheRunReadsItsRows)
{
    std::string text = with_text(sparse(16, 1), "CStype", "generated");
    fs::create_directory(dir_ / "expdir");
    Outcome o = run(HMQC_PROGRAM, text, "--expdir '" + (dir_ / "expdir").string() + "'");
    ASSERT_EQ(o.status, 0) << o.err;
    std::string schedule = slurp(dir_ / "expdir" / "sampling.sch");
    ASSERT_FALSE(schedule.empty());
    std::vector<int> rows;
    std::istringstream in(schedule);
    for (int row; in >> row;)
        rows.push_back(row);
    ASSERT_EQ(rows.size(), 4u) << "16 increments at 25 %";
    for (size_t r = 0; r < rows.size(); ++r)
        EXPECT_NE(o.out.find("increment: " + std::to_string(rows[r]) + " of ni 16 (d2 " +
                             number_text(rows[r] / 4000.0) + "); schedule row " +
                             std::to_string(r + 1) + " of 4\n"),
                  std::string::npos)
            << rows[r];
    EXPECT_FALSE(fs::exists(dir_ / "sampling.sch")) << "only the experiment directory";
}

// docs/sequences.md: a Poisson-gap schedule planned with psenv sched make
// is the bundled example's, and the sparse example runs exactly its rows.
TEST_F(Experiment, TheBundledSparseExampleRunsThePlannedPoissonGapSchedule)
{
    const char *tool = std::getenv("PSENV_TOOL");
    ASSERT_NE(tool, nullptr);
    Outcome made = psgtest::run_program(
        tool, "sched make --method poisson-gap --ni 64 --points 16 --dir '" + dir_.string() + "'",
        dir_);
    ASSERT_EQ(made.status, 0) << made.err;
    const std::string schedule = slurp(fs::path(HMQC_EXAMPLE) / "sampling.sch");
    EXPECT_EQ(slurp(dir_ / "sampling.sch"), schedule);

    Outcome o = psgtest::run_program(
        HMQC_PROGRAM, "'" + (fs::path(HMQC_EXAMPLE) / "hmqc_sparse.par").string() + "'", dir_);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(occurrences(o.out, " of 32\n"), 32u);
    std::istringstream in(schedule);
    int r = 0;
    for (int row; in >> row; ++r)
        EXPECT_NE(o.out.find("increment: " + std::to_string(row) + " of ni 64 (d2 " +
                             number_text(row / 4000.0) + "); schedule row " +
                             std::to_string(r + 1) + " of 16\nquadrature: phase 2\n"),
                  std::string::npos)
            << row;
    EXPECT_NE(o.out.find("full grid: 128 elements, "), std::string::npos);
    EXPECT_NE(o.out.find("sparse sampling saves "), std::string::npos);
}

TEST_F(Experiment, AFourStepCycleOfEightScansShowsTheReceiverFollowingItsTable)
{
    Outcome o = run(CYCLE_PROGRAM, cycle(8));
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("scan 1 of 8\n  phasetable(\"ph1\", 4, {0, 1, 2, 3})\n"),
              std::string::npos);
    EXPECT_NE(o.out.find("  receiverphase(0)\n"), std::string::npos);
    EXPECT_NE(o.out.find("  endacq()\n"
                         "scan 2 of 8: ph1=1, rec=1\n"
                         "scan 3 of 8: ph1=2, rec=2\n"
                         "scan 4 of 8: ph1=3, rec=3\n"
                         "scan 5 of 8: phases as scan 1\n"
                         "scan 6 of 8: ph1=1, rec=1\n"
                         "scan 7 of 8: ph1=2, rec=2\n"
                         "scan 8 of 8: ph1=3, rec=3\n"
                         "summary: "),
              std::string::npos)
        << o.out;
    EXPECT_NE(o.out.find("scans: 8, total "), std::string::npos);

    // --scan shows one more scan in full; its receiver phase is its table's.
    o = run(CYCLE_PROGRAM, cycle(8), "--scan 6");
    ASSERT_EQ(o.status, 0) << o.err;
    size_t sixth = o.out.find("scan 6 of 8\n");
    ASSERT_NE(sixth, std::string::npos) << o.out;
    EXPECT_NE(o.out.find("  genRFPulse(1e-05, 1, 1e-05, 4e-06, 1)\n", sixth), std::string::npos);
    EXPECT_LT(o.out.find("  receiverphase(1)\n", sixth), o.out.find("scan 7 of 8", sixth));

    for (const char *bad : {"--scan 9", "--scan 0", "--scan x"}) {
        o = run(CYCLE_PROGRAM, cycle(8), bad);
        EXPECT_EQ(o.status, 2) << bad;
        EXPECT_EQ(o.out, "") << bad;
    }
}

TEST_F(Experiment, APhaseKeptForLaterCallsIsShownByItsValueNotATableName)
{
    // The second pulse's phase steps with the increment through incrementof();
    // it never came from a table, so no scan line may name one for it.
    std::string text = with_real(cycle(4), "ni", "2");
    text = with_real(text, "sw1", "1000");
    Outcome o = run(CYCLE_PROGRAM, text);
    ASSERT_EQ(o.status, 0) << o.err;
    size_t second = o.out.find("element 2 of 2");
    ASSERT_NE(second, std::string::npos);
    EXPECT_NE(o.out.find("  genRFPulse(1e-05, 2, 1e-05, 4e-06, 1)\n  delay(0.001)\n", second),
              std::string::npos)
        << o.out;
    EXPECT_EQ(o.out.find("pulse 2="), std::string::npos) << "the same in every scan";
}

// "summary: ... total T s" of every element, in order.
std::vector<double> element_times(const std::string &trace)
{
    std::vector<double> times;
    for (size_t at = trace.find("\nsummary: "); at != std::string::npos;
         at = trace.find("\nsummary: ", at + 1)) {
        size_t total = trace.find("; total ", at);
        if (total != std::string::npos && total < trace.find('\n', at + 1))
            times.push_back(std::strtod(trace.c_str() + total + 8, nullptr));
    }
    return times;
}

double experiment_time(const std::string &out)
{
    size_t at = out.find("experiment time: ");
    return at == std::string::npos ? -1.0 : std::strtod(out.c_str() + at + 17, nullptr);
}

TEST_F(Experiment, TheExperimentsTimeIsEveryElementsTimeTimesItsScansAndTheSteadyState)
{
    std::string text = small_2d(3, 4);
    text = with_real(text, "ss", "3");
    text = with_text(text, "array", "nt");
    text = with_real(text, "nt", "4 2");
    Outcome o = run(HMQC_PROGRAM, text);
    ASSERT_EQ(o.status, 0) << o.err;
    std::vector<double> times = element_times(o.out);
    ASSERT_EQ(times.size(), 12u) << "3 increments x 2 array elements x 2 components";
    double expected = 3 * times[0];
    for (size_t e = 0; e < times.size(); ++e)
        expected += times[e] * (e / 2 % 2 == 0 ? 4 : 2); // nt of the array element
    EXPECT_NEAR(experiment_time(o.out), expected, 1e-6 * expected);
    EXPECT_NE(o.out.find("\nexperiment: 3 increments x 2 quadrature components x 2 array "
                         "elements = 12 elements\nscans: 2 to 4 per element = 36, and 3 "
                         "steady-state scans of "),
              std::string::npos)
        << o.out;

    // A dry run prints that summary alone, with the same numbers.
    Outcome dry = run(HMQC_PROGRAM, text, "--dry-run");
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, o.out.substr(o.out.rfind("\nexperiment: ") + 1));
    EXPECT_EQ(dry.out.find("element 1 of"), std::string::npos);
    EXPECT_EQ(run(HMQC_PROGRAM, text, "--dry-run --draw text").status, 2);
}

// A 1D of one pass keeps its trace as it was: no summary of the experiment.
TEST_F(Experiment, OnlyExperimentsOfScansOrIncrementsEndWithTheirSummary)
{
    std::string text = with_real(hmqc(), "ni", "0");
    text = with_real(text, "phase", "1");
    std::string one_pass = text;
    for (const char *name : {"nt", "ss"}) {
        size_t at = one_pass.find(std::string("\n") + name + " ");
        one_pass.erase(at + 1, one_pass.find("\n0 \n", at) + 3 - at);
    }
    Outcome o = run(CYCLE_PROGRAM, one_pass);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.find("experiment"), std::string::npos);
    EXPECT_EQ(o.out.find("scan "), std::string::npos);
    EXPECT_EQ(o.out.rfind("\nsummary: "), o.out.rfind('\n', o.out.size() - 2)) << o.out;
    o = run(CYCLE_PROGRAM, one_pass, "--dry-run");
    EXPECT_EQ(o.out.rfind("experiment: 1 array element = 1 element\nscans: 1 per element = 1\n"
                          "experiment time: ",
                          0),
              0u)
        << o.out;
}

TEST_F(Experiment, BadValuesEndTheRunBeforeAnythingRunsNamingParameterAndElement)
{
    write("sampling.sch", "0\n9\n3\n");
    struct Case {
        const char *program;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {HMQC_PROGRAM, with_real(hmqc(), "ni", "-4"),
         "hmqc: ni = -4: the increments of indirect dimension 1 are a whole number from 0 to "
         "1000000\n"},
        {HMQC_PROGRAM, with_real(hmqc(), "ni", "2.5"), "hmqc: ni = 2.5: "},
        {HMQC_PROGRAM, with_real(hmqc(), "sw1", "0"),
         "hmqc: sw1 = 0: the spectral width of indirect dimension 1 must be finite and "
         "positive (Hz)\n"},
        {HMQC_PROGRAM, with_real(hmqc(), "nt", "0"),
         "hmqc: element 1: nt = 0: the scans of an element are a whole number from 1 to "
         "2147483647\n"},
        {HMQC_PROGRAM, with_real(with_text(small_2d(2, 1), "array", "nt"), "nt", "2 0"),
         "hmqc: element 3: nt = 0: "},
        {HMQC_PROGRAM, with_real(hmqc(), "ss", "-1"), "hmqc: element 1: ss = -1: "},
        {HMQC_PROGRAM, with_real(hmqc(), "phase", "1 2.5"),
         "hmqc: phase = 2.5 (value 2): a quadrature component is a whole number from 1"},
        {CYCLE_PROGRAM, with_real(cycle(4), "cycle_bad_entry", "5"),
         "cycle: element 1, scan 1: phasetable \"ph1\": entry 3 = 5: a phase is 0, 1, 2 or 3 "
         "(quarter turns: 0, 90, 180, 270 degrees)\n"},
        {CYCLE_PROGRAM,
         with_real(with_real(with_text(cycle(4), "array", "d1"), "d1", "1 2 3"),
                   "cycle_bad_element", "3") +
             "cycle_bad_entry 0 1 10 -10 0 1 1 0 1 64\n1 -1 \n0 \n",
         "cycle: element 3, scan 1: phasetable \"ph1\": entry 3 = -1: "},
        {CYCLE_PROGRAM, with_real(cycle(4), "cycle_bad_table", "1"),
         "cycle: element 1, scan 1: phaseof: table 7 was never declared"},
        {HMQC_PROGRAM, sparse(8, 1),
         "hmqc: schedule " + (dir_ / "sampling.sch").string() +
             ": row 2 (element 3): increment 9 of d2 is outside the grid: ni = 8 gives "
             "increments 0 to 7\n"},
        {HMQC_PROGRAM, with_text(sparse(8, 1), "CStype", "d"), "hmqc: CStype = 'd': "},
    };
    for (const Case &c : cases) {
        Outcome o = run(c.program, c.text);
        EXPECT_EQ(o.status, 1) << c.message;
        EXPECT_EQ(o.out, "") << c.message << " ran";
        EXPECT_EQ(o.err.rfind(c.message, 0), 0u) << o.err;
    }

    fs::remove(dir_ / "sampling.sch");
    Outcome o = run(HMQC_PROGRAM, sparse(8, 1));
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "hmqc: schedule " + (dir_ / "sampling.sch").string() +
                         " cannot be opened (missing, unreadable, or its path longer than 255 "
                         "characters)\n");
    write("sampling.sch", "1 2\n");
    o = run(HMQC_PROGRAM, sparse(8, 1));
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("has a first row whose count of increments differs"), std::string::npos)
        << o.err;
}

TEST_F(Experiment, DecouplingRunsOnTheDecouplerChannelDuringAcquisition)
{
    Outcome o = run(HMQC_PROGRAM, small_2d(1, 1));
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("  receiverphase(0)\n"
                         "  wavl_on(&{\"xdec\", \"GARP1\", 40, 7e-05, 40}, 2)\n"
                         "  setactivercvrs(\"y\")\n"
                         "  startacq(6e-06)\n"
                         "  acquire(2048, 0.000125)\n"
                         "  endacq()\n"
                         "  wavl_off(2)\n"),
              std::string::npos)
        << o.out;
}

// The faults on the HMQC: a 1H 180 of 2 pw = pwx read "pwx", t1/2
// delays read "d2 0 s", a 90 and a 180 drawn almost alike, no phases, an
// unused second receiver, powers without unit.
TEST_F(Experiment, TheHmqcDiagramReadsAsSpectroscopistsDrawIt)
{
    const fs::path svg = dir_ / "hmqc.svg";
    Outcome o = run(HMQC_PROGRAM, small_2d(2, 2), "--element 2 --scan 2 --svg '" + svg.string() +
                                                      "'");
    ASSERT_EQ(o.status, 0) << o.err;
    const std::string document = slurp(svg);
    EXPECT_NE(document.find(">hmqc \xE2\x80\x94 element 2, scan 2<"), std::string::npos);
    EXPECT_EQ(document.find("pwx"), std::string::npos);
    EXPECT_EQ(document.find(">d2"), std::string::npos);
    EXPECT_EQ(occurrences(document, ">t1/2 0 s<"), 2u) << "increment 0: d2 is 0";
    EXPECT_EQ(occurrences(document, ">1/2J 3.571 ms<"), 2u);
    EXPECT_EQ(occurrences(document, ">20 \xC2\xB5s<"), 3u) << "the 180 and both X 90s";
    EXPECT_EQ(occurrences(document, ">10 \xC2\xB5s<"), 1u);
    EXPECT_EQ(occurrences(document, ">ph1y<"), 1u) << "component 2's first X pulse";
    EXPECT_EQ(occurrences(document, ">receiver: rec<"), 1u);
    EXPECT_EQ(occurrences(document, ">power 40 dB<"), 1u);
    EXPECT_EQ(occurrences(document, "class=\"band\""), 1u);
    EXPECT_EQ(document.find("Receiver 2"), std::string::npos);
    // The 180 is twice the 90 wide.
    std::vector<double> widths;
    for (size_t at = document.find("class=\"pulse\""); at != std::string::npos;
         at = document.find("class=\"pulse\"", at + 1)) {
        double w = 0;
        std::sscanf(document.c_str() + document.find("width=\"", document.rfind("<rect", at)) + 7,
                    "%lf", &w);
        widths.push_back(w);
    }
    ASSERT_EQ(widths.size(), 4u);
    EXPECT_NEAR(widths[2], 2 * widths[0], 0.02);
}

} // namespace
