// psenv sched make --method, psf, compare, check, and the grid-aware show and
// plot, end to end.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "psenv_runner.h"

namespace {

namespace fs = std::filesystem;

class SchedPlanTool : public PsenvRunner {
protected:
    SchedPlanTool() : PsenvRunner("sched-plan") {}
};

std::size_t significant_digits(const std::string &number)
{
    std::size_t count = 0;
    bool leading = true;
    for (char c : number) {
        if (c < '0' || c > '9')
            continue;
        if (c != '0')
            leading = false;
        if (!leading)
            ++count;
    }
    return count;
}

std::size_t lines(const std::string &text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(SchedPlanTool, MakesPoissonGapAndExponentialSchedules)
{
    auto r = run_psenv({"sched", "make", "--method", "poisson-gap", "--ni", "64", "--points", "20",
                        "--seed", "5", "--name", path("a.sch")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(read("a.sch")), 20u);
    EXPECT_EQ(read("a.sch").substr(0, 6), "0    \n");
    EXPECT_NE(r.out.find("points:        20 (31.25% of the grid)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("seed:          5 (mt19937_64)"), std::string::npos) << r.out;
    // Same seed, same bytes.
    ASSERT_EQ(run_psenv({"sched", "make", "--method", "poisson-gap", "--ni", "64", "--points",
                         "20", "--seed", "5", "--dir", dir_, "--name", "b.sch"})
                  .status,
              0);
    EXPECT_EQ(read("a.sch"), read("b.sch"));

    r = run_psenv({"sched", "make", "--method", "exponential", "--decay", "8,4", "--ni", "32",
                   "--ni2", "16", "--density", "25", "--dir", dir_});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(read("sampling.sch")), 128u);
    EXPECT_NE(r.out.find("grid:          512 points (32 x 16)"), std::string::npos) << r.out;

    // The grid and the density from a parameter file.
    write("exp.par", "ni 0 1 1000000 0 0 2 0 0 1 64\n1 40 \n0 \n"
                     "CSdensity 0 1 100 0 0 2 0 0 1 64\n1 25 \n0 \n");
    r = run_psenv({"sched", "make", "--method", "poisson-gap", "--weight", "none", "--params",
                   path("exp.par"), "--name", path("p.sch")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(read("p.sch")), 10u);
    EXPECT_NE(r.out.find("method:        poisson-gap, none weighting"), std::string::npos) << r.out;

    // The module's generator stays the default and is what --method uniform gives.
    ASSERT_EQ(run_psenv({"sched", "make", "--ni", "8", "--density", "50", "--method", "uniform",
                         "--dir", dir_})
                  .status,
              0);
    EXPECT_EQ(read("sampling.sch"), "0    \n2    \n5    \n7    \n");
}

TEST_F(SchedPlanTool, MakeRefusesOptionsThatDoNotFitTheMethod)
{
    const std::vector<std::vector<std::string>> usage = {
        {"--method", "random", "--ni", "8", "--density", "50"},
        {"--method", "exponential", "--ni", "8", "--density", "50"},
        {"--method", "exponential", "--ni", "8", "--density", "50", "--decay", "-1"},
        {"--method", "exponential", "--ni", "8", "--ni2", "4", "--density", "50", "--decay", "1,2,3"},
        {"--method", "poisson-gap", "--ni", "8", "--points", "9"},
        {"--method", "poisson-gap", "--ni", "8", "--points", "0"},
        {"--method", "poisson-gap", "--ni", "8"},
        {"--method", "poisson-gap", "--ni", "8", "--density", "50", "--weight", "cosine"},
        {"--method", "poisson-gap", "--ni", "8", "--ni2", "4", "--density", "50", "--density2", "50"},
        {"--ni", "8", "--density", "50", "--points", "3"},
    };
    for (auto arguments : usage) {
        arguments.insert(arguments.begin(), {"sched", "make", "--dir", dir_});
        const auto r = run_psenv(arguments);
        EXPECT_EQ(r.status, 2) << testing::PrintToString(arguments) << r.err;
        EXPECT_EQ(r.err.rfind("psenv: ", 0), 0u) << r.err;
    }
    const auto r = run_psenv({"sched", "make", "--method", "poisson-gap", "--ni", "8", "--density",
                              "50", "--dir", path("missing")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("No such file or directory"), std::string::npos) << r.err;
}

TEST_F(SchedPlanTool, PsfPrintsItsFiguresAndDrawsThem)
{
    if (!psf_built())
        GTEST_SKIP() << "built without FFTW3";
    write("s.sch", "0\n2\n5\n7\n");
    write("exp.par", "ni 0 1 1000000 0 0 2 0 0 1 64\n1 8 \n0 \n");
    for (const auto &grid : std::vector<std::vector<std::string>>{{"--ni", "8"},
                                                                   {"--params", path("exp.par")}}) {
        std::vector<std::string> arguments = {"sched", "psf", path("s.sch"), "--svg", path("s.svg")};
        arguments.insert(arguments.end(), grid.begin(), grid.end());
        const auto r = run_psenv(arguments);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.rfind("points: 4 of 8 (50%)\n", 0), 0u) << r.out;
        const std::string sidelobe = line_after(r.out, "max sidelobe: ");
        EXPECT_GE(significant_digits(sidelobe), 9u) << sidelobe;
        EXPECT_GT(std::stod(sidelobe), 0.0);
        const std::string psr = line_after(r.out, "peak-to-sidelobe: ");
        EXPECT_EQ(psr.size() > 3 ? psr.substr(psr.size() - 3) : psr, " dB") << psr;
        EXPECT_NE(r.out.find("largest gap, dimension 1: 2\n"), std::string::npos);
        const std::string svg = read("s.svg");
        EXPECT_NE(svg.find("max sidelobe"), std::string::npos);
        EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    }
    EXPECT_EQ(run_psenv({"sched", "psf", path("s.sch")}).status, 2);
    EXPECT_EQ(run_psenv({"sched", "psf", path("s.sch"), "--ni", "6"}).status, 1);
    EXPECT_EQ(run_psenv({"sched", "psf", path("s.sch"), "--ni", "8,x"}).status, 2);

    write("t.sch", "0\n1\n2\n3\n");
    const auto r = run_psenv({"sched", "compare", path("s.sch"), path("t.sch"), "--ni", "8"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("max sidelobe"), std::string::npos);
    EXPECT_NE(r.out.find(path("t.sch")), std::string::npos);
    EXPECT_EQ(run_psenv({"sched", "compare", path("s.sch"), "--ni", "8"}).status, 2);
}

TEST_F(SchedPlanTool, MaxPointsLimitsEveryMethod)
{
    for (const char *method : {"poisson-gap", "exponential", "uniform"}) {
        std::vector<std::string> arguments = {"sched", "make", "--method", method, "--ni", "32",
                                              "--ni2", "2", "--dir", dir_};
        if (std::string(method) == "uniform")
            arguments.insert(arguments.end(), {"--density", "50", "--density2", "50"});
        else
            arguments.insert(arguments.end(), {"--points", "8"});
        if (std::string(method) == "exponential")
            arguments.insert(arguments.end(), {"--decay", "4"});
        arguments.insert(arguments.end(), {"--max-points", "63"});
        auto r = run_psenv(arguments);
        EXPECT_EQ(r.status, 1) << method << r.out;
        EXPECT_NE(r.err.find("the limit is 63 grid points: give --max-points 64 to allow it\n"),
                  std::string::npos)
            << method << ": " << r.err;
        EXPECT_FALSE(fs::exists(path("sampling.sch"))) << method;
        arguments.back() = "64";
        r = run_psenv(arguments);
        EXPECT_EQ(r.status, 0) << method << r.err;
        fs::remove(path("sampling.sch"));
        arguments.back() = "0";
        EXPECT_EQ(run_psenv(arguments).status, 2) << method;
    }
}

TEST_F(SchedPlanTool, PsfComparePlotAndShowWarnAlike)
{
    write("lenient.sch", "0\n\n5 x\n");
    const std::string blank = "psenv: warning: " + path("lenient.sch") + ":2: blank line";
    const std::string text = "psenv: warning: " + path("lenient.sch") + ":3: 'x' is not an integer";
    const bool psf = psf_built();
    std::vector<std::vector<std::string>> commands = {
        {"sched", "show", path("lenient.sch"), "--ni", "8"},
        {"sched", "plot", path("lenient.sch"), "--ni", "8", "--svg", path("l.svg")}};
    if (psf) {
        commands.push_back({"sched", "psf", path("lenient.sch"), "--ni", "8"});
        commands.push_back({"sched", "compare", path("lenient.sch"), path("lenient.sch"), "--ni", "8"});
    }
    for (const auto &command : commands) {
        const auto r = run_psenv(command);
        EXPECT_EQ(r.status, 0) << command[1] << r.err;
        EXPECT_NE(r.err.find(blank), std::string::npos) << command[1] << ": " << r.err;
        EXPECT_NE(r.err.find(text), std::string::npos) << command[1] << ": " << r.err;
    }
    if (psf) {
        // Each file of a comparison is looked at; a clean one adds nothing.
        write("clean.sch", "0\n3\n");
        const auto r = run_psenv({"sched", "compare", path("clean.sch"), path("lenient.sch"),
                                  "--ni", "8"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err.find(path("clean.sch")), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(blank), std::string::npos) << r.err;
    }
}

TEST_F(SchedPlanTool, PsfWithoutTheLibrarySaysHowToGetIt)
{
    if (psf_built())
        GTEST_SKIP() << "built with FFTW3 (the message itself is tested in sparsamp_plan_tests)";
    write("s.sch", "0\n3\n");
    for (const std::vector<std::string> &command :
         {std::vector<std::string>{"sched", "psf", path("s.sch"), "--ni", "8"},
          std::vector<std::string>{"sched", "compare", path("s.sch"), path("s.sch"), "--ni", "8"}}) {
        const auto r = run_psenv(command);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.rfind("psenv: sched: point-spread functions are not available", 0), 0u)
            << r.err;
        EXPECT_NE(r.err.find("libfftw3-dev"), std::string::npos) << r.err;
    }
}

TEST_F(SchedPlanTool, CheckAndShowReportLenientRows)
{
    write("good.sch", "0    0    \n3    1    \n");
    auto r = run_psenv({"sched", "check", path("good.sch"), "--ni", "4,2"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("2 rows, 2 columns, no problems found"), std::string::npos) << r.out;

    write("bad.sch", "0 0\n\n5 1\n");
    r = run_psenv({"sched", "check", path("bad.sch"), "--ni", "4,2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(path("bad.sch") + ":2: blank line"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(path("bad.sch") + ":3: entry 5 of dimension 1 lies outside 0..3"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(run_psenv({"sched", "check", path("none.sch")}).status, 1);

    r = run_psenv({"sched", "show", path("bad.sch"), "--ni", "8,2"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("psenv: warning: " + path("bad.sch") + ":2: blank line"), std::string::npos)
        << r.err;
    EXPECT_NE(r.out.find("density: 3 rows / 16 grid points = 18.75%"), std::string::npos) << r.out;
}

TEST_F(SchedPlanTool, PlotAxesRunToTheGridsEnd)
{
    write("s.sch", "0\n2\n40\n");
    ASSERT_EQ(run_psenv({"sched", "plot", path("s.sch"), "--svg", path("a.svg"), "--ni", "64"}).status, 0);
    EXPECT_NE(read("a.svg").find(">63</text>"), std::string::npos);
    ASSERT_EQ(run_psenv({"sched", "plot", path("s.sch"), "--svg", path("b.svg")}).status, 0);
    EXPECT_EQ(read("b.svg").find(">63</text>"), std::string::npos);
    EXPECT_NE(read("b.svg").find(">40</text>"), std::string::npos);
    // A grid unlike the file is the file's failure (1), as in psf, not a usage error.
    auto mismatch = run_psenv({"sched", "plot", path("s.sch"), "--svg", path("c.svg"), "--ni", "64,2"});
    EXPECT_EQ(mismatch.status, 1);
    EXPECT_NE(mismatch.err.find("psenv: " + path("s.sch") +
                                ": the schedule has 1 column but the grid 2 dimensions\n"),
              std::string::npos)
        << mismatch.err;
    EXPECT_FALSE(fs::exists(path("c.svg")));

    // A projection of three dimensions says what its shades mean.
    write("t.sch", "0 0 0\n1 0 0\n1 0 1\n1 0 2\n2 1 0\n");
    ASSERT_EQ(run_psenv({"sched", "plot", path("t.sch"), "--svg", path("t.svg")}).status, 0);
    const std::string svg = read("t.svg");
    EXPECT_NE(svg.find("points per cell:"), std::string::npos);

    const auto r = run_psenv({"sched", "show", path("t.sch"), "--no-rows"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("density: 5 rows / 18 grid points = 27.78% (grid up to the largest entries)"),
              std::string::npos)
        << r.out;
}

}  // namespace
