// Experiment programs built from a user's sequence file: the runner's value
// checks, arrays, acquisition time, --element and its failures, run on the
// one-pulse example and on a probe sequence.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

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

size_t occurrences(const std::string &text, const std::string &what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// Parameters by name: reals as written ("1e-05 2e-05"), strings quoted.
using Parameters = std::map<std::string, std::string>;

Parameters one_pulse()
{
    return {{"array", "\"\""},   {"d1", "1"},       {"pw", "1e-05"},  {"tpwr", "56"},
            {"rof1", "1e-05"},   {"rof2", "4e-06"}, {"alfa", "6e-06"}, {"np", "16384"},
            {"sw", "8000"},      {"oph", "0"},      {"tof", "0"}};
}

std::string record(const std::string &name, const std::string &values)
{
    std::istringstream in(values);
    std::vector<std::string> list;
    for (std::string v; in >> v;)
        list.push_back(v);
    bool text = !values.empty() && values[0] == '"';
    if (text)
        list = {values};
    std::string out = name + (text ? " 0 2 0 0 0 1 1 0 1 64\n" : " 0 1 1e+30 -1e+30 0 1 1 0 1 64\n");
    out += std::to_string(list.size());
    for (const std::string &v : list)
        out += (text ? "\n" : " ") + v;
    out += text ? "\n0 \n" : " \n0 \n";
    return out;
}

class Runner : public ::testing::Test {
protected:
    fs::path parfile(const Parameters &parameters) const
    {
        fs::path path = dir_ / "exp.par";
        std::ofstream out(path);
        for (const auto &[name, values] : parameters)
            out << record(name, values);
        return path;
    }

    Outcome run(const char *program, const std::string &arguments) const
    {
        std::string command = std::string("'") + program + "' " + arguments + " >'" +
                              (dir_ / "out").string() + "' 2>'" + (dir_ / "err").string() + "'";
        int raw = std::system(command.c_str());
        Outcome outcome;
        outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        outcome.out = slurp(dir_ / "out");
        outcome.err = slurp(dir_ / "err");
        return outcome;
    }

    Outcome one_pulse_run(const Parameters &parameters, const std::string &options = "") const
    {
        return run(ONEPULSE_PROGRAM, options + " '" + parfile(parameters).string() + "'");
    }

    ScratchDir scratch_{"runner_test"};
    fs::path dir_ = scratch_.path();
};

// Every line on standard error names the program.
void expect_prefixed(const std::string &err, const char *program)
{
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);)
        EXPECT_EQ(line.rfind(std::string(program) + ": ", 0), 0u) << line;
}

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

// The sanitizers' allocator keeps freed memory and stops at a failed
// allocation, and valgrind needs memory of its own: memory is measured in
// plain runs only.
bool plain_allocator()
{
#if defined(__SANITIZE_ADDRESS__)
    return false;
#else
    const char *preload = std::getenv("LD_PRELOAD");
    return preload == nullptr || std::strstr(preload, "vgpreload") == nullptr;
#endif
}

// 300 x 300 = 90000 elements, each with its own pw and d1.
Parameters many_elements()
{
    Parameters p = one_pulse();
    std::string pws, d1s;
    for (int i = 1; i <= 300; ++i) {
        pws += std::to_string(i) + "e-07 ";
        d1s += std::to_string(i) + "e-04 ";
    }
    p["array"] = "\"pw,d1\"";
    p["pw"] = pws;
    p["d1"] = d1s;
    return p;
}

TEST_F(Runner, ShowingOneOfManyElementsKeepsMemoryForOneElement)
{
    if (!plain_allocator())
        GTEST_SKIP() << "memory is measured without the sanitizers and valgrind";
    const std::string par = parfile(many_elements()).string();
    const fs::path svg = dir_ / "last.svg";
    // Every element runs; the trace shows one and the diagram draws it.
    int raw = std::system((std::string("'") + ONEPULSE_PROGRAM + "' --element 90000 --svg '" +
                           svg.string() + "' '" + par + "' >'" + (dir_ / "out").string() + "'")
                              .c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0);
    EXPECT_EQ(slurp(dir_ / "out").rfind("element 90000 of 90000\narrayed: pw 3e-05, d1 0.03\n", 0),
              0u);
    EXPECT_NE(slurp(svg).find(">onepulse \xE2\x80\x94 element 90000<"), std::string::npos);
    // Kept for every element, the events took some 450 MB.
    struct rusage usage {};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 100L * 1024) << "KiB at the most of any run so far";
}

// The events of an element drawn must be kept; more than memory holds ends
// the run with a message instead of an abort.
TEST_F(Runner, RunningOutOfMemoryIsAMessageAndStatusOne)
{
    if (!plain_allocator())
        GTEST_SKIP() << "the sanitizers' allocator and valgrind stop the run themselves";
    Parameters p = one_pulse();
    p["probe_delay"] = "0.1";
    p["probe_power"] = "30";
    p["probe_points"] = "64";
    p["probe_repeat"] = "5000000"; // some 1.5 GB of events to draw
    const fs::path svg = dir_ / "never.svg";
    int raw = std::system((std::string("ulimit -v 65536; '") + PROBE_PROGRAM + "' --svg '" +
                           svg.string() + "' '" + parfile(p).string() + "' >/dev/null 2>'" +
                           (dir_ / "err").string() + "'")
                              .c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << "killed by signal " << WTERMSIG(raw);
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_EQ(slurp(dir_ / "err"), "probe: element 1: out of memory\n");
    EXPECT_FALSE(fs::exists(svg));
}

TEST_F(Runner, FilesThatDidNotLoadCleanlyRunNothing)
{
    fs::path empty = dir_ / "empty.par";
    std::ofstream{empty};
    fs::path noise = dir_ / "noise.par";
    {
        std::ofstream out(noise, std::ios::binary);
        unsigned state = 12345;
        for (int i = 0; i < 400; ++i) {
            state = state * 1103515245u + 12345u;
            out.put(static_cast<char>(state >> 16));
        }
    }
    for (const fs::path &bad : {empty, noise, dir_}) {
        Outcome o = run(ONEPULSE_PROGRAM, "'" + bad.string() + "'");
        EXPECT_EQ(o.status, 1) << bad;
        EXPECT_EQ(o.out, "") << bad;
        EXPECT_NE(o.err, "") << bad;
        expect_prefixed(o.err, "onepulse");
    }
    Outcome o = run(ONEPULSE_PROGRAM, "--global '" + empty.string() + "' '" +
                                          parfile(one_pulse()).string() + "'");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
}

// A file cut right after a count loads without a word from the store; only
// the byte check tells it from a whole file, and the run must not go ahead.
TEST_F(Runner, FilesCutShortRunNothing)
{
    const std::string whole = slurp(parfile(one_pulse()));
    const std::string cut = whole.substr(0, whole.rfind("\n0 \n") + 2);
    fs::path cut_file = dir_ / "cut.par";
    std::ofstream(cut_file, std::ios::binary) << cut;
    Outcome o = run(ONEPULSE_PROGRAM, "'" + cut_file.string() + "'");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find(cut_file.string() + ":"), std::string::npos) << o.err;
    expect_prefixed(o.err, "onepulse");
}

TEST_F(Runner, AFailedWriteOfTheTraceIsAFailure)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    std::string command = std::string("'") + ONEPULSE_PROGRAM + "' '" +
                          parfile(one_pulse()).string() + "' >/dev/full 2>'" +
                          (dir_ / "err").string() + "'";
    int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_EQ(slurp(dir_ / "err").rfind("onepulse: standard output: ", 0), 0u);
}

// A file size limit stands in for a full disk: the diagram's write fails part
// way.  With the limit's signal left to kill the runner, it also stands in
// for a kill in the middle of the write.
TEST_F(Runner, AFailedOrKilledDiagramWriteLeavesTheOldDiagram)
{
    const fs::path svg = dir_ / "old.svg";
    const std::string old_diagram = "<svg>the old diagram</svg>\n";
    std::ofstream(svg) << old_diagram;
    const std::string run_line = std::string("'") + ONEPULSE_PROGRAM + "' --svg '" +
                                 svg.string() + "' '" + parfile(one_pulse()).string() +
                                 "' >/dev/null 2>'" + (dir_ / "err").string() + "'";

    int raw = std::system(("trap '' XFSZ; ulimit -f 2; " + run_line).c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_EQ(slurp(dir_ / "err").rfind("onepulse: cannot write " + svg.string() + ": ", 0), 0u)
        << slurp(dir_ / "err");
    EXPECT_EQ(slurp(svg), old_diagram);
    std::vector<std::string> left;
    for (const auto &entry : fs::directory_iterator(dir_))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"err", "exp.par", "old.svg"}))
        << "a failed write leaves nothing behind";

    raw = std::system(("ulimit -f 2; " + run_line).c_str());
    EXPECT_FALSE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
    EXPECT_EQ(slurp(svg), old_diagram);
}

TEST_F(Runner, AFifoAsTheDiagramIsWrittenInPlaceOrRefusedWithoutWaiting)
{
    const fs::path pipe = dir_ / "pipe.svg";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string args = "--svg '" + pipe.string() + "' '" + parfile(one_pulse()).string() + "'";

    // Nobody reads: refused at once instead of waiting for a reader forever.
    int raw = std::system(("timeout 20 '" + std::string(ONEPULSE_PROGRAM) + "' " + args +
                           " >/dev/null 2>'" + (dir_ / "err").string() + "'")
                              .c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1) << "124 is the timeout: the runner waited";
    EXPECT_EQ(slurp(dir_ / "err").rfind("onepulse: cannot write " + pipe.string() + ": ", 0), 0u)
        << slurp(dir_ / "err");

    // A reader: the diagram goes through the FIFO, which stays a FIFO.
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    Outcome o = run(ONEPULSE_PROGRAM, args);
    EXPECT_EQ(o.status, 0) << o.err;
    std::string document;
    char buffer[4096];
    for (ssize_t got; (got = ::read(reader, buffer, sizeof buffer)) > 0;)
        document.append(buffer, static_cast<size_t>(got));
    ::close(reader);
    std::string why;
    EXPECT_TRUE(well_formed(document, why)) << why;
    struct stat info {};
    ASSERT_EQ(::lstat(pipe.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

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
