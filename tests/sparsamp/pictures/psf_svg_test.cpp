// csplan_psf_svg: the pictures `psenv sched psf --svg` and `sched compare
// --svg` draw, byte for byte; views of made-up functions on lines and
// heat maps; every invalid argument refused with CSPLAN_EINVAL (or
// CSPLAN_ETOOBIG) and no picture to release.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "picture_files.h"
#include "sparsamp_pictures.h"

namespace {

// A view with its magnitudes, as a caller keeps them.
struct HeldView {
    std::string title;
    std::vector<float> magnitude;
    csplan_psf_figures figures{};
    csplan_far_figures far{};
    csplan_psf_view view() const
    {
        return {title.c_str(), magnitude.data(), static_cast<int64_t>(magnitude.size()), figures,
                far};
    }
};

// The view of a schedule file of tests/psenv/pictures through the planner.
HeldView view_of(const std::string &name, const csplan_grid &grid, int exclude)
{
    const RowsOfFile file = read_rows(picture_files() / name);
    const int64_t points = csplan_grid_points(&grid);
    std::vector<unsigned char> mask(static_cast<std::size_t>(points));
    HeldView held;
    held.title = name;
    held.magnitude.resize(mask.size());
    EXPECT_EQ(csplan_mask(&grid, file.rows.data(), file.count(), file.columns, mask.data(),
                          points, nullptr, 0),
              CSPLAN_OK)
        << name;
    EXPECT_EQ(csplan_psf_far(&grid, mask.data(), points, exclude, &held.figures, &held.far,
                             held.magnitude.data(), points, nullptr, 0),
              CSPLAN_OK)
        << name;
    return held;
}

// A made-up function: a peak at 0, sidelobes k % 7 / 10 elsewhere.
HeldView made_up(const csplan_grid &grid, const char *title = "made up")
{
    HeldView held;
    held.title = title;
    const int64_t points = csplan_grid_points(&grid);
    for (int64_t k = 0; k < points; ++k)
        held.magnitude.push_back(k == 0 ? 1.0f : static_cast<float>(k % 7) / 10.0f);
    held.figures.points = 1;
    held.figures.grid = points;
    held.figures.max_sidelobe = 0.6;
    held.figures.at[0] = grid.ni[0] - 1;
    held.far.far_sidelobe = 0.6;
    held.far.exclude = 2;
    return held;
}

int draw(const csplan_grid &grid, const std::vector<HeldView> &held, const csplan_scale *scale,
         const double *sw, std::string *picture = nullptr)
{
    std::vector<csplan_psf_view> views;
    for (const HeldView &h : held)
        views.push_back(h.view());
    char *svg = reinterpret_cast<char *>(&views);  // a pointer that must be replaced
    const int code =
        csplan_psf_svg(&grid, views.data(), static_cast<int>(views.size()), scale, sw, &svg);
    if (code != CSPLAN_OK) {
        EXPECT_EQ(svg, nullptr);
        return code;
    }
    EXPECT_NE(svg, nullptr);
    if (picture != nullptr)
        *picture = svg;
    csplan_free_text(svg);
    return code;
}

csplan_scale scale_of(const char *text)
{
    csplan_scale scale{};
    EXPECT_EQ(csplan_parse_scale(text, &scale), CSPLAN_OK) << text;
    return scale;
}

TEST(PsfSvg, DrawsWhatSchedPsfAndCompareDraw)
{
    if (picture_files().empty())
        GTEST_SKIP() << "PSENV_SOURCE_DIR not set";
    if (!csplan_psf_available())
        GTEST_SKIP() << "built without FFTW3";
    const csplan_grid line = {1, {64}};
    const csplan_grid plane = {2, {32, 16}};
    const csplan_grid cube = {3, {12, 10, 8}};
    const csplan_scale db40 = scale_of("db:-40");
    const csplan_scale db30 = scale_of("db:-30");
    const csplan_scale db20 = scale_of("db:-20");
    const double sw_line[] = {4000};
    const double sw_plane[] = {1000, 800};
    const double sw_cube[] = {0, 500, 0};
    const double sw_compare[] = {640};
    const struct {
        const char *picture;
        csplan_grid grid;
        std::vector<const char *> schedules;
        int exclude;
        const csplan_scale *scale;
        const double *sw;
    } cases[] = {
        {"psf_line", line, {"line.sch"}, 2, nullptr, nullptr},
        {"psf_line_db_sw", line, {"line_exp.sch"}, 2, &db40, sw_line},
        {"psf_plane_db_sw", plane, {"plane.sch"}, 1, &db30, sw_plane},
        {"psf_cube_sw", cube, {"cube.sch"}, 2, nullptr, sw_cube},
        {"compare_lines_4", line, {"line.sch", "line_exp.sch", "line.sch", "line_exp.sch"}, 2,
         &db20, sw_compare},
        {"compare_planes", plane, {"plane.sch", "plane_exp.sch", "plane_radial.sch"}, 2, nullptr,
         nullptr},
    };
    for (const auto &c : cases) {
        std::vector<HeldView> views;
        for (const char *name : c.schedules)
            views.push_back(view_of(name, c.grid, c.exclude));
        std::string picture;
        ASSERT_EQ(draw(c.grid, views, c.scale, c.sw, &picture), CSPLAN_OK) << c.picture;
        EXPECT_TRUE(picture ==
                    slurp_file(picture_files() / "expected" / (std::string(c.picture) + ".svg")))
            << c.picture;
    }
}

TEST(PsfSvg, LinesAndHeatMapsOfMadeUpFunctions)
{
    const csplan_grid line = {1, {100}};
    std::string picture;
    ASSERT_EQ(draw(line, {made_up(line, "a<b>")}, nullptr, nullptr, &picture), CSPLAN_OK);
    EXPECT_NE(picture.find("Point-spread function of a&lt;b&gt;"), std::string::npos);
    EXPECT_NE(picture.find("1 of 100 points sampled (1%)"), std::string::npos);
    EXPECT_NE(picture.find("scale 0 to 1.0000 (the peak)"), std::string::npos);
    EXPECT_NE(picture.find("frequency index, dimension 1"), std::string::npos);

    // Heat maps beyond two dimensions, several side by side; a fixed scale.
    const csplan_grid cube = {3, {6, 5, 4}};
    const csplan_scale fixed = scale_of("fixed:0.3");
    ASSERT_EQ(draw(cube, {made_up(cube, "one"), made_up(cube, "two"), made_up(cube, "three"),
                          made_up(cube, "four")},
                   &fixed, nullptr, &picture),
              CSPLAN_OK);
    EXPECT_NE(picture.find("Point-spread functions of 4 schedules on one scale"), std::string::npos);
    EXPECT_NE(picture.find("largest over the others"), std::string::npos);
    EXPECT_NE(picture.find("scale 0 to 0.3 (fixed)"), std::string::npos);
    EXPECT_NE(picture.find(">four</text>"), std::string::npos);

    // Widths in Hz of any size, a grid of one point, a main lobe wider
    // than the grid, sidelobes of 0: all drawn.
    const double widest[] = {DBL_MAX, 0};
    const csplan_grid plane = {2, {9, 1}};
    HeldView flat = made_up(plane);
    flat.far.exclude = 1000;
    flat.figures.max_sidelobe = 0;
    flat.far.far_sidelobe = 0;
    EXPECT_EQ(draw(plane, {flat}, nullptr, widest, &picture), CSPLAN_OK);
    EXPECT_NE(picture.find("frequency (Hz), dimension 1"), std::string::npos);
    const csplan_grid point = {1, {1}};
    HeldView single = made_up(point);
    single.figures.at[0] = 0;
    EXPECT_EQ(draw(point, {single}, nullptr, nullptr), CSPLAN_OK);
}

TEST(PsfSvg, RefusesInvalidArguments)
{
    const csplan_grid grid = {2, {8, 4}};
    const HeldView good = made_up(grid);
    const csplan_psf_view view = good.view();
    char *svg = reinterpret_cast<char *>(&svg);
    EXPECT_EQ(csplan_psf_svg(nullptr, &view, 1, nullptr, nullptr, &svg), CSPLAN_EINVAL);
    EXPECT_EQ(svg, nullptr);
    EXPECT_EQ(csplan_psf_svg(&grid, nullptr, 1, nullptr, nullptr, &svg), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_psf_svg(&grid, &view, 0, nullptr, nullptr, &svg), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_psf_svg(&grid, &view, -1, nullptr, nullptr, &svg), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_psf_svg(&grid, &view, 1, nullptr, nullptr, nullptr), CSPLAN_EINVAL);
    for (const csplan_grid bad : {csplan_grid{0, {8}}, csplan_grid{CSPLAN_MAX_DIMS + 1, {8}},
                                  csplan_grid{2, {8, 0}}, csplan_grid{1, {-8}}})
        EXPECT_EQ(csplan_psf_svg(&bad, &view, 1, nullptr, nullptr, &svg), CSPLAN_EINVAL);
    const csplan_grid huge = {2, {1 << 14, 1 << 14}};
    EXPECT_EQ(csplan_psf_svg(&huge, &view, 1, nullptr, nullptr, &svg), CSPLAN_ETOOBIG);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const csplan_scale scale :
         {csplan_scale{3, 1}, csplan_scale{-1, 1}, csplan_scale{CSPLAN_SCALE_FIXED, 0},
          csplan_scale{CSPLAN_SCALE_FIXED, -1}, csplan_scale{CSPLAN_SCALE_FIXED, 2e6},
          csplan_scale{CSPLAN_SCALE_FIXED, nan}, csplan_scale{CSPLAN_SCALE_DECIBEL, 0},
          csplan_scale{CSPLAN_SCALE_DECIBEL, 10}, csplan_scale{CSPLAN_SCALE_DECIBEL, -500},
          csplan_scale{CSPLAN_SCALE_DECIBEL, -inf}})
        EXPECT_EQ(draw(grid, {good}, &scale, nullptr), CSPLAN_EINVAL)
            << scale.kind << " " << scale.value;
    const csplan_scale automatic{CSPLAN_SCALE_AUTOMATIC, nan};  // its value is not read
    EXPECT_EQ(draw(grid, {good}, &automatic, nullptr), CSPLAN_OK);

    for (const double width : {-1.0, nan, inf}) {
        const double sw[] = {100, width};
        EXPECT_EQ(draw(grid, {good}, nullptr, sw), CSPLAN_EINVAL) << width;
    }

    // Views: each fault on its own, in the second of two views.
    const auto refused = [&](auto &&spoil, const char *what) {
        HeldView bad = good;
        spoil(bad);
        EXPECT_EQ(draw(grid, {good, bad}, nullptr, nullptr), CSPLAN_EINVAL) << what;
    };
    refused([](HeldView &v) { v.magnitude.pop_back(); }, "magnitude too short");
    refused([](HeldView &v) { v.magnitude.push_back(0); }, "magnitude too long");
    refused([](HeldView &v) { v.magnitude[5] = std::nanf(""); }, "NaN magnitude");
    refused([](HeldView &v) { v.magnitude[5] = -0.5f; }, "negative magnitude");
    refused([](HeldView &v) { v.magnitude[5] = std::numeric_limits<float>::infinity(); },
            "infinite magnitude");
    refused([&](HeldView &v) { v.figures.max_sidelobe = nan; }, "NaN max sidelobe");
    refused([](HeldView &v) { v.figures.max_sidelobe = -0.1; }, "negative max sidelobe");
    refused([&](HeldView &v) { v.far.far_sidelobe = inf; }, "infinite far sidelobe");
    refused([](HeldView &v) { v.figures.at[0] = 8; }, "max sidelobe beyond the grid");
    refused([](HeldView &v) { v.figures.at[1] = -1; }, "max sidelobe before the grid");
    refused([](HeldView &v) { v.far.at[1] = 4; }, "far sidelobe beyond the grid");
    refused([](HeldView &v) { v.far.exclude = -1; }, "negative main lobe");
    refused([](HeldView &v) { v.figures.grid = 31; }, "figures of another grid");
    refused([](HeldView &v) { v.figures.points = 33; }, "more points than the grid");
    refused([](HeldView &v) { v.figures.points = -1; }, "negative points");
    std::vector<csplan_psf_view> views = {view, view};
    views[1].magnitude = nullptr;
    EXPECT_EQ(csplan_psf_svg(&grid, views.data(), 2, nullptr, nullptr, &svg), CSPLAN_EINVAL);
    views[1] = view;
    views[1].title = nullptr;  // no title is drawn as none
    EXPECT_EQ(csplan_psf_svg(&grid, views.data(), 2, nullptr, nullptr, &svg), CSPLAN_OK);
    csplan_free_text(svg);
}

}  // namespace
