// psenv sched psf and compare: the far sidelobe, the shoulder note, the rank,
// the main lobe's width, pictures on a fixed or decibel scale, side by side,
// and frequencies in Hz.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

#include "psenv_runner.h"

namespace {

class SchedPsfFigures : public PsenvRunner {
protected:
    SchedPsfFigures() : PsenvRunner("sched-psf") {}
    void SetUp() override
    {
        PsenvRunner::SetUp();
        if (IsSkipped())
            return;
        if (!psf_built())
            GTEST_SKIP() << "built without FFTW3";
        // A Poisson-gap schedule of a long line (its max sidelobe is the
        // peak's shoulder) and a uniform one of the same size.
        ASSERT_EQ(run_psenv({"sched", "make", "--method", "poisson-gap", "--ni", "512", "--points",
                             "128", "--name", path("gap.sch")})
                      .status,
                  0);
        ASSERT_EQ(run_psenv({"sched", "make", "--ni", "512", "--density", "25", "--name",
                             path("uniform.sch")})
                      .status,
                  0);
    }
};

TEST_F(SchedPsfFigures, PsfPrintsTheFarSidelobeAndNamesTheShoulder)
{
    auto r = run_psenv({"sched", "psf", path("gap.sch"), "--ni", "512"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line_after(r.out, "sidelobe at: "), "1");
    const double max_sidelobe = std::stod(line_after(r.out, "max sidelobe: "));
    const double far = std::stod(line_after(r.out, "far sidelobe: "));
    EXPECT_LT(far, max_sidelobe);
    EXPECT_FALSE(line_after(r.out, "far sidelobe at: ").empty());
    EXPECT_NE(line_after(r.out, "far peak-to-sidelobe: ").find(" dB"), std::string::npos);
    EXPECT_EQ(line_after(r.out, "main lobe: "), "|k| <= 2 in every dimension (507 frequencies outside it)");
    EXPECT_NE(r.out.find("note: the max sidelobe lies inside the main lobe: a shoulder"),
              std::string::npos)
        << r.out;

    // No main lobe beyond the peak: the far sidelobe is the max sidelobe.
    r = run_psenv({"sched", "psf", path("gap.sch"), "--ni", "512", "--exclude", "0"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line_after(r.out, "far sidelobe: "), line_after(r.out, "max sidelobe: "));
    EXPECT_EQ(r.out.find("note:"), std::string::npos);
    EXPECT_EQ(run_psenv({"sched", "psf", path("gap.sch"), "--ni", "512", "--exclude", "-1"}).status, 2);
}

TEST_F(SchedPsfFigures, CompareRanksByTheFarSidelobeAndSaysSo)
{
    const auto r = run_psenv({"sched", "compare", path("gap.sch"), path("uniform.sch"), "--ni", "512"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("ranked by the far sidelobe (the largest |F(k)| / |F(0)| outside the main "
                         "lobe |k| <= 2), lowest first: "),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("(shoulder)"), std::string::npos) << r.out;
    const std::string ranks = line_after(r.out, "rank (far sidelobe)");
    EXPECT_NE(ranks.find('1'), std::string::npos);
    EXPECT_NE(ranks.find('2'), std::string::npos);
    // The rank follows the printed far sidelobes.
    std::istringstream far_line(line_after(r.out, "far sidelobe "));
    double gap_far = 0;
    double uniform_far = 0;
    far_line >> gap_far >> uniform_far;
    const std::string first = gap_far <= uniform_far ? path("gap.sch") : path("uniform.sch");
    EXPECT_NE(r.out.find("lowest first: " + first + ", "), std::string::npos) << r.out;
}

TEST_F(SchedPsfFigures, PicturesOnAFixedOrDecibelScaleAndSideBySide)
{
    ASSERT_EQ(run_psenv({"sched", "psf", path("gap.sch"), "--ni", "512", "--svg", path("f.svg"),
                         "--scale", "fixed:0.25"})
                  .status,
              0);
    EXPECT_NE(read("f.svg").find("scale 0 to 0.25 (fixed)"), std::string::npos);
    ASSERT_EQ(run_psenv({"sched", "psf", path("gap.sch"), "--ni", "512", "--svg", path("d.svg"),
                         "--scale", "db:-40"})
                  .status,
              0);
    EXPECT_NE(read("d.svg").find(">-40 dB</text>"), std::string::npos);
    EXPECT_NE(read("d.svg").find("far sidelobe"), std::string::npos);
    for (const char *bad : {"fixed:0", "fixed:x", "db:10", "db:", "linear"})
        EXPECT_EQ(run_psenv({"sched", "psf", path("gap.sch"), "--ni", "512", "--svg", path("x.svg"),
                             "--scale", bad})
                      .status,
                  2)
            << bad;

    // Two dimensions side by side: one legend, both files, one scale.
    ASSERT_EQ(run_psenv({"sched", "make", "--method", "poisson-gap", "--ni", "64", "--ni2", "32",
                         "--points", "300", "--name", path("a.sch")})
                  .status,
              0);
    ASSERT_EQ(run_psenv({"sched", "make", "--method", "poisson-gap", "--walk", "radial", "--ni", "64",
                         "--ni2", "32", "--points", "300", "--name", path("b.sch")})
                  .status,
              0);
    const auto r = run_psenv({"sched", "compare", path("a.sch"), path("b.sch"), "--ni", "64,32",
                              "--svg", path("c.svg")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string svg = read("c.svg");
    EXPECT_NE(svg.find("Point-spread functions of 2 schedules on one scale"), std::string::npos);
    EXPECT_NE(svg.find("(the largest max sidelobe)"), std::string::npos);
    EXPECT_NE(svg.find(path("a.sch")), std::string::npos);
    EXPECT_NE(svg.find(path("b.sch")), std::string::npos);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

TEST_F(SchedPsfFigures, FrequenciesInHzFromOptionsOrParameters)
{
    auto r = run_psenv({"sched", "psf", path("gap.sch"), "--ni", "512", "--sw1", "4000", "--svg",
                        path("h.svg")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line_after(r.out, "sidelobe at: "), "1 (7.8125 Hz)");
    EXPECT_NE(read("h.svg").find("frequency (Hz), dimension 1"), std::string::npos);
    EXPECT_NE(read("h.svg").find(">-2000</text>"), std::string::npos);

    write("exp.par", "ni 0 1 1000000 0 0 2 0 0 1 64\n1 512 \n0 \n"
                     "sw1 0 1 1e9 0 0 2 0 0 1 64\n1 4000 \n0 \n");
    r = run_psenv({"sched", "psf", path("gap.sch"), "--params", path("exp.par")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line_after(r.out, "sidelobe at: "), "1 (7.8125 Hz)");
    EXPECT_EQ(run_psenv({"sched", "psf", path("gap.sch"), "--ni", "512", "--sw1", "0"}).status, 2);
    EXPECT_EQ(run_psenv({"sched", "psf", path("gap.sch"), "--ni", "512", "--sw2", "100"}).status, 2);
}

TEST_F(SchedPsfFigures, EveryPictureOptionTogether)
{
    ASSERT_EQ(run_psenv({"sched", "make", "--method", "poisson-gap", "--ni", "48", "--ni2", "40",
                         "--points", "400", "--name", path("p.sch")})
                  .status,
              0);
    const auto r = run_psenv({"sched", "compare", path("p.sch"), path("p.sch"), "--ni", "48,40",
                              "--exclude", "1", "--scale", "db:-30", "--sw1", "1200", "--sw2",
                              "800", "--svg", path("all.svg")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("outside the main lobe |k| <= 1), lowest first"), std::string::npos) << r.out;
    EXPECT_NE(line_after(r.out, "far sidelobe at").find(" Hz)"), std::string::npos) << r.out;
    const std::string svg = read("all.svg");
    EXPECT_NE(svg.find("scale -30 dB to 0 dB"), std::string::npos);
    EXPECT_NE(svg.find("frequency (Hz), dimension 2"), std::string::npos);
    EXPECT_NE(svg.find("main lobe |k| \u2264 1"), std::string::npos);
}

}  // namespace
