// csplan_schedule_svg: the picture `psenv sched plot` draws, byte for byte;
// entries outside the grid refused or drawn as asked; every invalid
// argument refused with CSPLAN_EINVAL and no picture to release.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "picture_files.h"
#include "sparsamp_pictures.h"

extern "C" int pictures_c11_draw(size_t *schedule_length, size_t *psf_length);

namespace {

// The picture, or "" after a failure (whose code lands in `code`).
std::string draw(const std::vector<int> &rows, int columns, const int *ni, int a = 0, int b = 1,
                 const char *title = "s.sch", int outside = CSPLAN_OUTSIDE_REFUSED,
                 int *code = nullptr)
{
    char *svg = nullptr;
    const int result =
        csplan_schedule_svg(rows.data(), static_cast<int64_t>(rows.size()) / columns, columns, ni,
                            a, b, title, outside, &svg);
    if (code != nullptr)
        *code = result;
    if (result != CSPLAN_OK) {
        EXPECT_EQ(svg, nullptr);
        return "";
    }
    EXPECT_NE(svg, nullptr);
    std::string text = svg;
    csplan_free_text(svg);
    return text;
}

int code_of(const std::vector<int> &rows, int columns, const int *ni, int a = 0, int b = 1,
            int outside = CSPLAN_OUTSIDE_REFUSED)
{
    int code = CSPLAN_OK;
    draw(rows, columns, ni, a, b, "s.sch", outside, &code);
    return code;
}

TEST(ScheduleSvg, DrawsWhatSchedPlotDraws)
{
    const auto files = picture_files();
    if (files.empty())
        GTEST_SKIP() << "PSENV_SOURCE_DIR not set";
    const struct {
        const char *picture;
        const char *schedule;
        std::vector<int> ni;
        int a, b;
    } cases[] = {{"plot_line", "line.sch", {}, 0, 1},
                 {"plot_line_ni", "line.sch", {80}, 0, 1},
                 {"plot_plane_ni", "plane_exp.sch", {32, 16}, 0, 1},
                 {"plot_cube", "cube.sch", {}, 0, 1},
                 {"plot_cube_dims", "cube.sch", {12, 10, 8}, 2, 0}};
    for (const auto &c : cases) {
        const RowsOfFile file = read_rows(files / c.schedule);
        ASSERT_GT(file.count(), 0) << c.schedule;
        const std::string drawn = draw(file.rows, file.columns, c.ni.empty() ? nullptr : c.ni.data(),
                                       c.a, c.b, c.schedule);
        EXPECT_TRUE(drawn == slurp_file(files / "expected" / (std::string(c.picture) + ".svg")))
            << c.picture;
    }
}

TEST(ScheduleSvg, EntriesOutsideTheGridAreRefusedOrDrawnAsAsked)
{
    const int ni[] = {8, 4};
    const std::vector<int> beyond = {0, 0, 9, 1, 3, 2};
    EXPECT_EQ(code_of(beyond, 2, ni), CSPLAN_EOUTSIDE);
    EXPECT_EQ(code_of({0, 0, 1, 4}, 2, ni), CSPLAN_EOUTSIDE);   // ni itself is outside
    EXPECT_EQ(code_of({0, 0, -1, 2}, 2, ni), CSPLAN_EOUTSIDE);
    EXPECT_EQ(code_of({0, 0, -1, 2}, 2, nullptr), CSPLAN_EOUTSIDE);  // no grid: 0 or above
    EXPECT_EQ(code_of({0, 0, 7, 3}, 2, ni), CSPLAN_OK);

    // Drawn: the axis runs on to the entry beyond the grid, and a negative
    // entry is left out instead of refused.
    const std::string widened = draw(beyond, 2, ni, 0, 1, "s", CSPLAN_OUTSIDE_DRAWN);
    EXPECT_NE(widened.find(">9</text>"), std::string::npos);
    const std::string fitting = draw({0, 0, 3, 2}, 2, ni, 0, 1, "s", CSPLAN_OUTSIDE_DRAWN);
    EXPECT_NE(fitting.find(">7</text>"), std::string::npos);
    EXPECT_EQ(fitting.find(">9</text>"), std::string::npos);
    const std::string negative = draw({0, 0, -3, 2, 4, 1}, 2, ni, 0, 1, "s", CSPLAN_OUTSIDE_DRAWN);
    EXPECT_NE(negative.find("3 points, 2 dimensions"), std::string::npos);
    // Beyond two dimensions the histograms count each column on its own.
    const int cube[] = {4, 4, 4};
    EXPECT_NE(draw({0, 0, 0, -1, 2, 3}, 3, cube, 0, 1, "s", CSPLAN_OUTSIDE_DRAWN).find("</svg>"),
              std::string::npos);
}

TEST(ScheduleSvg, ExtremeEntriesAndCountsDrawWithoutOverflow)
{
    // The largest entry there is: its axis runs to INT_MAX in shared cells.
    const std::string far = draw({0, INT_MAX}, 1, nullptr, 0, 1, "s", CSPLAN_OUTSIDE_DRAWN);
    EXPECT_NE(far.find(">2147483647</text>"), std::string::npos);
    const int huge[] = {INT_MAX, INT_MAX, 2};
    EXPECT_NE(draw({0, 0, 0, INT_MAX - 1, 5, 1}, 3, huge).find("</svg>"), std::string::npos);
    // Many rows on one point: the shades and the legend still count them.
    std::vector<int> crowded(3 * 200000, 0);
    crowded.insert(crowded.end(), {1, 1, 1});
    const std::string shades = draw(crowded, 3, nullptr);
    EXPECT_NE(shades.find("points per cell:"), std::string::npos);
    EXPECT_NE(shades.find(">200000</text>"), std::string::npos);
}

TEST(ScheduleSvg, TitlesAreTextOfThePicture)
{
    const std::string marked = draw({0, 1}, 1, nullptr, 0, 1, "a<b>&\"c\"\n\xff");
    EXPECT_NE(marked.find("Sampling schedule a&lt;b&gt;&amp;&quot;c&quot;\xef\xbf\xbd\xef\xbf\xbd</text>"),
              std::string::npos);
    // No name, no blank after the words.
    for (const char *none : {static_cast<const char *>(nullptr), ""})
        EXPECT_NE(draw({0, 1}, 1, nullptr, 0, 1, none).find(">Sampling schedule</text>"),
                  std::string::npos);
}

TEST(ScheduleSvg, RefusesInvalidArguments)
{
    const std::vector<int> rows = {0, 0, 1, 1, 2, 0};
    const int ni[] = {4, 4};
    char *svg = reinterpret_cast<char *>(&svg);  // a pointer that must be cleared
    EXPECT_EQ(csplan_schedule_svg(nullptr, 3, 2, ni, 0, 1, "s", 0, &svg), CSPLAN_EINVAL);
    EXPECT_EQ(svg, nullptr);
    EXPECT_EQ(csplan_schedule_svg(rows.data(), 3, 2, ni, 0, 1, "s", 0, nullptr), CSPLAN_EINVAL);
    for (const int64_t count : {int64_t{0}, int64_t{-1}, INT64_MAX})
        EXPECT_EQ(csplan_schedule_svg(rows.data(), count, 2, ni, 0, 1, "s", 0, &svg),
                  CSPLAN_EINVAL)
            << count;
    for (const int columns : {0, -1, CSPLAN_MAX_DIMS + 1})
        EXPECT_EQ(csplan_schedule_svg(rows.data(), 1, columns, nullptr, 0, 1, "s", 0, &svg),
                  CSPLAN_EINVAL)
            << columns;
    for (const auto &[a, b] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{-1, 1},
                               std::pair{0, 2}, std::pair{2, 0}, std::pair{0, -1}})
        EXPECT_EQ(code_of(rows, 2, ni, a, b), CSPLAN_EINVAL) << a << "," << b;
    EXPECT_EQ(code_of(rows, 2, ni, 1, 0), CSPLAN_OK);   // transposed
    EXPECT_EQ(code_of({0, 3}, 1, nullptr, 5, 5), CSPLAN_OK);  // one column: a, b not read
    const int empty_dimension[] = {4, 0};
    EXPECT_EQ(code_of(rows, 2, empty_dimension), CSPLAN_EINVAL);
    const int negative[] = {-4, 4};
    EXPECT_EQ(code_of(rows, 2, negative), CSPLAN_EINVAL);
    EXPECT_EQ(code_of(rows, 2, ni, 0, 1, 2), CSPLAN_EINVAL);
    EXPECT_EQ(code_of(rows, 2, ni, 0, 1, -1), CSPLAN_EINVAL);
    csplan_free_text(nullptr);
}

TEST(ScheduleSvg, FromC)
{
    size_t schedule_length = 0;
    size_t psf_length = 0;
    ASSERT_EQ(pictures_c11_draw(&schedule_length, &psf_length), CSPLAN_OK);
    EXPECT_GT(schedule_length, 1000U);
    EXPECT_GT(psf_length, 1000U);
}

}  // namespace
