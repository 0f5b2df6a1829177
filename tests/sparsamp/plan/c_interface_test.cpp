// The planner's C interface: its refusals and result codes, the buffers it
// fills, the one schedule writer it shares with CSwriteSched, the problem
// list of the strict check, and a C program that uses it all.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "../sparsamp_fixture.h"
#include "generators.h"
#include "psf.h"
#include "schedule_check.h"
#include "sparsamp_plan.h"

extern "C" int plan_c11_poisson_gap(const char *path, double *max_sidelobe, long *problems);

namespace {

csplan_grid grid_of(std::initializer_list<int> ni)
{
    csplan_grid grid{};
    grid.dimensions = static_cast<int>(ni.size());
    std::copy(ni.begin(), ni.end(), grid.ni);
    return grid;
}

using CInterface = SparsampTest;

TEST_F(CInterface, RefusesBadArguments)
{
    const csplan_grid good = grid_of({8, 4});
    std::vector<std::int64_t> indices(32, -7);
    const double decay[] = {4.0, 2.0};
    for (const csplan_grid &bad : {grid_of({}), grid_of({8, 0}), grid_of({8, -1})}) {
        EXPECT_EQ(csplan_grid_points(&bad), 0);
        EXPECT_EQ(csplan_poisson_gap(&bad, 1, CSPLAN_WEIGHT_SINE, 1, indices.data(), 32), CSPLAN_EINVAL);
    }
    csplan_grid eleven = grid_of({2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
    eleven.dimensions = 11;
    EXPECT_EQ(csplan_grid_points(&eleven), 0);
    EXPECT_EQ(csplan_grid_points(nullptr), 0);
    EXPECT_EQ(csplan_poisson_gap(nullptr, 1, CSPLAN_WEIGHT_SINE, 1, indices.data(), 32), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_poisson_gap(&good, 0, CSPLAN_WEIGHT_SINE, 1, indices.data(), 32), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_poisson_gap(&good, 33, CSPLAN_WEIGHT_SINE, 1, indices.data(), 64), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_poisson_gap(&good, 4, 2, 1, indices.data(), 32), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_poisson_gap(&good, 4, CSPLAN_WEIGHT_NONE, 1, nullptr, 32), CSPLAN_EINVAL);
    const double no_decay[] = {4.0, 0.0};
    const double nan_decay[] = {std::nan(""), 1.0};
    EXPECT_EQ(csplan_exponential(&good, 4, no_decay, 1, indices.data(), 32), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_exponential(&good, 4, nan_decay, 1, indices.data(), 32), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_exponential(&good, 4, nullptr, 1, indices.data(), 32), CSPLAN_EINVAL);
    // A refused call leaves the caller's buffer alone.
    EXPECT_EQ(indices.front(), -7);
    EXPECT_EQ(csplan_exponential(&good, 4, decay, 1, indices.data(), 32), CSPLAN_OK);

    int rows[8] = {};
    const std::int64_t outside[] = {0, 32};
    const std::int64_t negative[] = {-1};
    EXPECT_EQ(csplan_rows(&good, outside, 2, rows, 8), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_rows(&good, negative, 1, rows, 8), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_rows(&good, outside, -1, rows, 8), CSPLAN_EINVAL);

    int error = -1;
    EXPECT_EQ(csplan_write_schedule(nullptr, rows, 1, 2, &error), CSPLAN_EINVAL);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(csplan_write_schedule("", rows, 1, 2, &error), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_write_schedule(path("s").c_str(), rows, 1, 0, &error), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_write_schedule(path("s").c_str(), rows, 1, 11, &error), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_write_schedule(path("s").c_str(), nullptr, 1, 2, &error), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_write_schedule(path("s").c_str(), rows, -1, 2, &error), CSPLAN_EINVAL);
    EXPECT_FALSE(std::filesystem::exists(path("s")));

    std::vector<unsigned char> mask(32);
    std::int64_t gaps[2];
    EXPECT_EQ(csplan_mask(&good, rows, 1, 2, nullptr, 32, nullptr, 0), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_largest_gaps(&good, mask.data(), 31, gaps, 2), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_largest_gaps(&good, nullptr, 32, gaps, 2), CSPLAN_EINVAL);

    csplan_check_report report;
    const int zero_ni[] = {4, 0};
    write_file("c.sch", "0 0\n");
    EXPECT_EQ(csplan_check_schedule(nullptr, nullptr, 0, &report, nullptr), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_check_schedule(path("c.sch").c_str(), zero_ni, 2, &report, nullptr), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_check_schedule(path("c.sch").c_str(), nullptr, 2, &report, nullptr), CSPLAN_EINVAL);
    EXPECT_EQ(report.problems, nullptr);
    EXPECT_EQ(csplan_check_schedule(path("c.sch").c_str(), nullptr, 0, nullptr, nullptr), CSPLAN_EINVAL);

    // Every code has its words.
    for (int code = CSPLAN_EFFT; code <= CSPLAN_OK; ++code)
        EXPECT_STRNE(csplan_strerror(code), "unknown result code") << code;
    EXPECT_STREQ(csplan_strerror(1), "unknown result code");
}

TEST_F(CInterface, SaysWhenABufferIsTooSmall)
{
    const csplan_grid grid = grid_of({8, 4});
    std::vector<std::int64_t> indices(10, -7);
    EXPECT_EQ(csplan_poisson_gap(&grid, 10, CSPLAN_WEIGHT_SINE, 3, indices.data(), 9), CSPLAN_ERANGE);
    const double decay[] = {4.0, 2.0};
    EXPECT_EQ(csplan_exponential(&grid, 10, decay, 3, indices.data(), 9), CSPLAN_ERANGE);
    EXPECT_EQ(indices.front(), -7);
    ASSERT_EQ(csplan_poisson_gap(&grid, 10, CSPLAN_WEIGHT_SINE, 3, indices.data(), 10), CSPLAN_OK);

    std::vector<int> rows(20);
    EXPECT_EQ(csplan_rows(&grid, indices.data(), 10, rows.data(), 19), CSPLAN_ERANGE);
    ASSERT_EQ(csplan_rows(&grid, indices.data(), 10, rows.data(), 20), CSPLAN_OK);

    std::vector<unsigned char> mask(32);
    EXPECT_EQ(csplan_mask(&grid, rows.data(), 10, 2, mask.data(), 31, nullptr, 0), CSPLAN_ERANGE);
    ASSERT_EQ(csplan_mask(&grid, rows.data(), 10, 2, mask.data(), 32, nullptr, 0), CSPLAN_OK);
    EXPECT_EQ(std::count(mask.begin(), mask.end(), 1), 10);

    std::int64_t gaps[2] = {-1, -1};
    EXPECT_EQ(csplan_largest_gaps(&grid, mask.data(), 32, gaps, 1), CSPLAN_ERANGE);
    ASSERT_EQ(csplan_largest_gaps(&grid, mask.data(), 32, gaps, 2), CSPLAN_OK);
    EXPECT_EQ(std::vector<std::int64_t>(gaps, gaps + 2),
              psenv::plan::largest_gaps(psenv::plan::Grid{{8, 4}}, mask));

    if (csplan_psf_available()) {
        std::vector<float> magnitude(31);
        csplan_psf_figures figures{};
        EXPECT_EQ(csplan_psf(&grid, mask.data(), 32, &figures, magnitude.data(), 31, nullptr, 0),
                  CSPLAN_ERANGE);
    }
}

TEST_F(CInterface, GeneratorsGiveThePlannersSchedules)
{
    const csplan_grid grid = grid_of({24, 10});
    const psenv::plan::Grid same{{24, 10}};
    std::vector<std::int64_t> indices(60);
    ASSERT_EQ(csplan_poisson_gap(&grid, 60, CSPLAN_WEIGHT_NONE, -9, indices.data(), 60), CSPLAN_OK);
    EXPECT_EQ(indices, psenv::plan::poisson_gap(same, 60, psenv::plan::GapWeight::None, -9));
    const double decay[] = {6.0, 3.0};
    ASSERT_EQ(csplan_exponential(&grid, 60, decay, 4, indices.data(), 60), CSPLAN_OK);
    EXPECT_EQ(indices, psenv::plan::exponential(same, 60, {6.0, 3.0}, 4));

    // Past the generators' limit, and past 64 bits.
    const csplan_grid big = grid_of({4097, 4096});
    EXPECT_EQ(csplan_poisson_gap(&big, 1, CSPLAN_WEIGHT_SINE, 1, indices.data(), 60), CSPLAN_ETOOBIG);
    EXPECT_EQ(csplan_exponential(&big, 1, decay, 1, indices.data(), 60), CSPLAN_ETOOBIG);
    const csplan_grid huge = grid_of({INT32_MAX, INT32_MAX, INT32_MAX});
    EXPECT_EQ(csplan_grid_points(&huge), std::numeric_limits<std::int64_t>::max());
}

TEST_F(CInterface, WritesTheBytesCSwriteSchedWrites)
{
    // One writer: a schedule the module made and wrote, written again from
    // its rows through the planner, gives the same file.
    set_dimension(1, 64, 25);
    set_dimension(2, 20, 50);
    set_real("CSseed", -11);
    ASSERT_EQ(CSinit(0, nullptr), 0);
    ASSERT_EQ(CSgetSched(dir_.c_str()), 0);
    ASSERT_EQ(CSwriteStatus(), 0);
    std::vector<int> flat;
    for (const auto &row : rows())
        flat.insert(flat.end(), row.begin(), row.end());
    int error = -1;
    ASSERT_EQ(csplan_write_schedule(path("again.sch").c_str(), flat.data(), getCSnum(), 2, &error),
              CSPLAN_OK);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(read_file("again.sch"), read_file("sampling.sch"));

    const csplan_grid grid = grid_of({4, 3});
    const std::int64_t indices[] = {0, 5, 11};
    int three[6] = {};
    ASSERT_EQ(csplan_rows(&grid, indices, 3, three, 6), CSPLAN_OK);
    EXPECT_EQ(std::vector<int>(three, three + 6), (std::vector<int>{0, 0, 1, 1, 3, 2}));
    const int wide[] = {12345, -7};
    ASSERT_EQ(csplan_write_schedule(path("wide.sch").c_str(), wide, 1, 2, nullptr), CSPLAN_OK);
    EXPECT_EQ(read_file("wide.sch"), "12345 -7   \n");
    ASSERT_EQ(csplan_write_schedule(path("empty.sch").c_str(), nullptr, 0, 1, nullptr), CSPLAN_OK);
    EXPECT_EQ(read_file("empty.sch"), "");

    // A failure names the system's reason and leaves nothing behind.
    EXPECT_EQ(csplan_write_schedule(path("none/x.sch").c_str(), wide, 1, 2, &error), CSPLAN_EIO);
    EXPECT_EQ(error, ENOENT);
    ASSERT_EQ(chmod(path("wide.sch").c_str(), 0640), 0);
    ASSERT_EQ(csplan_write_schedule(path("wide.sch").c_str(), three, 3, 2, nullptr), CSPLAN_OK);
    struct stat info {};
    ASSERT_EQ(stat(path("wide.sch").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(CInterface, MaskDetailNamesWhatDoesNotFit)
{
    const csplan_grid grid = grid_of({4, 3});
    std::vector<unsigned char> mask(12, 9);
    char detail[80] = "stale";
    const int rows[] = {0, 0, 4, 0};
    EXPECT_EQ(csplan_mask(&grid, rows, 2, 2, mask.data(), 12, detail, sizeof detail), CSPLAN_EOUTSIDE);
    EXPECT_STREQ(detail, "row 2: entry 4 of dimension 1 lies outside 0..3");
    EXPECT_EQ(csplan_mask(&grid, rows, 4, 1, mask.data(), 12, detail, sizeof detail), CSPLAN_ECOLUMNS);
    EXPECT_STREQ(detail, "the schedule has 1 column but the grid 2 dimensions");
    char small[5];
    EXPECT_EQ(csplan_mask(&grid, rows, 2, 2, mask.data(), 12, small, sizeof small), CSPLAN_EOUTSIDE);
    EXPECT_STREQ(small, "row ");
    // Repeated rows mark one point; the rest of the mask is cleared.
    const int repeated[] = {3, 2, 3, 2, 0, 0};
    ASSERT_EQ(csplan_mask(&grid, repeated, 3, 2, mask.data(), 12, detail, sizeof detail), CSPLAN_OK);
    EXPECT_STREQ(detail, "");
    EXPECT_EQ(mask, (std::vector<unsigned char>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
}

TEST_F(CInterface, PointSpreadOrWhyNot)
{
    const csplan_grid grid = grid_of({16});
    std::vector<unsigned char> mask(16, 0);
    for (int m : {0, 1, 3, 7, 12})
        mask[static_cast<std::size_t>(m)] = 1;
    csplan_psf_figures figures{};
    figures.points = -5;
    std::vector<float> magnitude(16);
    char detail[400];
    if (!csplan_psf_available()) {
        EXPECT_EQ(csplan_psf(&grid, mask.data(), 16, &figures, nullptr, 0, detail, sizeof detail),
                  CSPLAN_NOT_AVAILABLE);
        EXPECT_STREQ(detail, psenv::plan::psf_unavailable_message());
        EXPECT_STREQ(csplan_strerror(CSPLAN_NOT_AVAILABLE), psenv::plan::psf_unavailable_message());
        EXPECT_EQ(figures.points, -5);
        return;
    }
    EXPECT_STREQ(csplan_strerror(CSPLAN_NOT_AVAILABLE), psenv::plan::psf_unavailable_message());
    ASSERT_EQ(csplan_psf(&grid, mask.data(), 16, &figures, magnitude.data(), 16, detail, sizeof detail),
              CSPLAN_OK);
    psenv::plan::PsfFigures expected;
    std::vector<float> expected_magnitude;
    std::string reason;
    ASSERT_TRUE(psenv::plan::point_spread(psenv::plan::Grid{{16}}, mask, expected,
                                          &expected_magnitude, reason));
    EXPECT_EQ(figures.points, 5);
    EXPECT_EQ(figures.grid, 16);
    EXPECT_EQ(figures.max_sidelobe, expected.max_sidelobe);
    EXPECT_EQ(figures.at[0], expected.at[0]);
    EXPECT_EQ(figures.largest_gap[0], 4);
    EXPECT_EQ(magnitude, expected_magnitude);

    const std::vector<unsigned char> none(16, 0);
    EXPECT_EQ(csplan_psf(&grid, none.data(), 16, &figures, nullptr, 0, detail, sizeof detail),
              CSPLAN_EEMPTY);
    EXPECT_STREQ(detail, "no grid point is sampled");
    EXPECT_EQ(csplan_psf(&grid, mask.data(), 15, &figures, nullptr, 0, detail, sizeof detail),
              CSPLAN_EINVAL);
    const csplan_grid big = grid_of({4097, 4096});
    EXPECT_EQ(csplan_psf(&big, mask.data(), 16, &figures, nullptr, 0, nullptr, 0), CSPLAN_ETOOBIG);
}

TEST_F(CInterface, CheckListsProblemsWithTheirLines)
{
    const std::string text = "# head\n0 0\n\n1\n2 1 7\n9 -1\n2 1\n";
    write_file("lenient.sch", text);
    const int ni[] = {5, 3};
    csplan_check_report report;
    int error = -1;
    ASSERT_EQ(csplan_check_schedule(path("lenient.sch").c_str(), ni, 2, &report, &error), CSPLAN_OK);
    EXPECT_EQ(error, 0);
    std::FILE *file = std::fopen(path("lenient.sch").c_str(), "r");
    ASSERT_NE(file, nullptr);
    const auto expected = psenv::plan::check_schedule(file, {5, 3});
    std::fclose(file);
    ASSERT_EQ(report.count, expected.findings.size());
    ASSERT_GE(report.count, 5u);
    for (std::size_t i = 0; i < report.count; ++i) {
        EXPECT_EQ(report.problems[i].line, expected.findings[i].line);
        EXPECT_EQ(report.problems[i].text, expected.findings[i].text);
    }
    EXPECT_EQ(report.problems[0].line, 3);
    EXPECT_STREQ(report.problems[0].text, "blank line: the reader repeats the previous row");
    EXPECT_EQ(report.rows, 6);
    EXPECT_EQ(report.columns, 2);
    EXPECT_EQ(report.readable, 1);
    csplan_free_check_report(&report);
    EXPECT_EQ(report.problems, nullptr);
    EXPECT_EQ(report.count, 0u);
    csplan_free_check_report(&report);  // released twice: nothing happens
    csplan_free_check_report(nullptr);

    // A clean file: no problems, still a list to release.
    write_file("clean.sch", "0    \n3    \n");
    ASSERT_EQ(csplan_check_schedule(path("clean.sch").c_str(), nullptr, 0, &report, nullptr), CSPLAN_OK);
    EXPECT_EQ(report.count, 0u);
    EXPECT_EQ(report.rows, 2);
    csplan_free_check_report(&report);

    EXPECT_EQ(csplan_check_schedule(path("missing.sch").c_str(), nullptr, 0, &report, &error),
              CSPLAN_EIO);
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(csplan_check_schedule(dir_.c_str(), nullptr, 0, &report, &error), CSPLAN_EIO);
    EXPECT_EQ(error, EISDIR);
    EXPECT_EQ(report.problems, nullptr);
}

TEST_F(CInterface, CheckReadsAFifoOnce)
{
    const std::string fifo = path("rows.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::FILE *out = std::fopen(fifo.c_str(), "w");
        const bool wrote = out != nullptr && std::fputs("0\n\n2\n", out) >= 0 && std::fclose(out) == 0;
        _exit(wrote ? 0 : 1);
    }
    csplan_check_report report;
    const int code = csplan_check_schedule(fifo.c_str(), nullptr, 0, &report, nullptr);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(code, CSPLAN_OK);
    EXPECT_EQ(report.rows, 3);
    ASSERT_EQ(report.count, 1u);
    EXPECT_EQ(report.problems[0].line, 2);
    csplan_free_check_report(&report);
}

TEST_F(CInterface, ACProgramMakesJudgesAndChecksASchedule)
{
    double max_sidelobe = -1;
    long problems = -1;
    const int code = plan_c11_poisson_gap(path("c.sch").c_str(), &max_sidelobe, &problems);
    EXPECT_EQ(problems, 0);
    const std::string written = read_file("c.sch");
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 128);
    EXPECT_EQ(written.substr(0, 11), "0    0    \n");
    if (!csplan_psf_available()) {
        EXPECT_EQ(code, CSPLAN_NOT_AVAILABLE);
        return;
    }
    ASSERT_EQ(code, CSPLAN_OK);
    EXPECT_GT(max_sidelobe, 0.0);
    EXPECT_LT(max_sidelobe, 1.0);
}

}  // namespace
