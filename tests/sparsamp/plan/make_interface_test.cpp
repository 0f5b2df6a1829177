// csplan_make() and its one table of options: the defaults, the walks, each
// option on its own and together, and the refusals that say which option.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "generators.h"
#include "sparsamp_plan.h"

extern "C" int plan_c11_make(int64_t *first_rows, int count, int32_t *seed_kept);

namespace {

csplan_grid grid_of(std::initializer_list<int> ni)
{
    csplan_grid grid{};
    grid.dimensions = static_cast<int>(ni.size());
    std::copy(ni.begin(), ni.end(), grid.ni);
    return grid;
}

csplan_options defaults(std::int64_t points)
{
    csplan_options options;
    csplan_options_init(&options);
    options.points = points;
    return options;
}

struct Made {
    int code = CSPLAN_EINVAL;
    std::vector<std::int64_t> indices;
    csplan_made how{};
    std::string detail;
};

Made make(const csplan_grid &grid, const csplan_options &options)
{
    Made made;
    made.indices.assign(static_cast<std::size_t>(std::max<std::int64_t>(options.points, 1)), -1);
    char detail[256] = "unchanged";
    made.code = csplan_make(&grid, &options, made.indices.data(),
                            static_cast<std::int64_t>(made.indices.size()), &made.how, detail,
                            sizeof detail);
    made.detail = detail;
    return made;
}

TEST(MakeInterface, OptionsStartFromTheDocumentedDefaults)
{
    csplan_options options;
    std::fill_n(reinterpret_cast<unsigned char *>(&options), sizeof options, 0xAB);
    csplan_options_init(&options);
    EXPECT_EQ(options.method, CSPLAN_METHOD_POISSON_GAP);
    EXPECT_EQ(options.points, 0);
    EXPECT_EQ(options.seed, 169);
    EXPECT_EQ(options.sine_portion, CSPLAN_SINE_QUARTER);
    EXPECT_EQ(options.walk, CSPLAN_WALK_DEFAULT);
    EXPECT_EQ(options.decay[0], 0.0);
    EXPECT_EQ(options.order, CSPLAN_ORDER_GRID);
    EXPECT_EQ(options.head, 0);
    EXPECT_EQ(options.last, 0);
    EXPECT_EQ(options.best_of, 1);
    EXPECT_EQ(options.exclude, CSPLAN_DEFAULT_EXCLUDE);
    EXPECT_EQ(options.allow_periodic, 0);
    csplan_options_init(nullptr);
}

TEST(MakeInterface, TwoDimensionsTakeTheThreadsOneDimensionTheLine)
{
    const csplan_grid plane = grid_of({64, 32});
    Made made = make(plane, defaults(300));
    ASSERT_EQ(made.code, CSPLAN_OK) << made.detail;
    EXPECT_EQ(made.detail, "");
    EXPECT_EQ(made.how.walk, CSPLAN_WALK_THREADS);
    EXPECT_EQ(made.how.seed, 169);
    EXPECT_EQ(made.how.candidates, 1);
    EXPECT_EQ(made.how.far_sidelobe, -1);
    EXPECT_EQ(made.how.forced, 1);
    EXPECT_GE(made.how.passes, 1);
    EXPECT_EQ(made.indices,
              psenv::plan::poisson_gap_threads(psenv::plan::Grid{{64, 32}}, 300, {}, 169).indices);

    // A grid of one wide dimension is a line: the walk of csplan_poisson_gap.
    for (const csplan_grid &line : {grid_of({300}), grid_of({1, 300})}) {
        made = make(line, defaults(70));
        ASSERT_EQ(made.code, CSPLAN_OK) << made.detail;
        EXPECT_EQ(made.how.walk, CSPLAN_WALK_LINE);
        std::vector<std::int64_t> walked(70);
        ASSERT_EQ(csplan_poisson_gap(&line, 70, CSPLAN_WEIGHT_SINE, 169, walked.data(), 70), CSPLAN_OK);
        EXPECT_EQ(made.indices, walked);
    }
}

TEST(MakeInterface, TheRadialWalkGivesTheFormerSchedules)
{
    for (const csplan_grid &grid : {grid_of({64, 32}), grid_of({12, 10, 8})})
        for (const std::int32_t seed : {1, 2, 169, -7}) {
            csplan_options options = defaults(192);
            options.walk = CSPLAN_WALK_RADIAL;
            options.seed = seed;
            const Made made = make(grid, options);
            ASSERT_EQ(made.code, CSPLAN_OK) << made.detail;
            EXPECT_EQ(made.how.walk, CSPLAN_WALK_RADIAL);
            std::vector<std::int64_t> former(192);
            ASSERT_EQ(csplan_poisson_gap(&grid, 192, CSPLAN_WEIGHT_SINE, seed, former.data(), 192),
                      CSPLAN_OK);
            EXPECT_EQ(made.indices, former) << seed;
        }
}

TEST(MakeInterface, RefusalsNameTheOptionAndLeaveTheBufferAlone)
{
    const csplan_grid grid = grid_of({16, 8});
    struct Case {
        void (*change)(csplan_options &);
        const char *words;
    };
    const Case cases[] = {
        {[](csplan_options &o) { o.points = 0; }, "points 0 lies outside 1 .. 128"},
        {[](csplan_options &o) { o.points = 129; }, "points 129"},
        {[](csplan_options &o) { o.method = 7; }, "method 7"},
        {[](csplan_options &o) { o.walk = CSPLAN_WALK_LINE; }, "the line walk takes a grid"},
        {[](csplan_options &o) { o.walk = 9; }, "walk 9"},
        {[](csplan_options &o) { o.method = CSPLAN_METHOD_EXPONENTIAL; }, "decay of dimension 1"},
    };
    for (const Case &c : cases) {
        csplan_options options = defaults(20);
        c.change(options);
        const Made made = make(grid, options);
        EXPECT_EQ(made.code, CSPLAN_EINVAL) << c.words;
        EXPECT_NE(made.detail.find(c.words), std::string::npos) << made.detail;
        EXPECT_EQ(made.indices.front(), -1) << c.words;
    }
    csplan_options options = defaults(20);
    std::vector<std::int64_t> small(19);
    EXPECT_EQ(csplan_make(&grid, &options, small.data(), 19, nullptr, nullptr, 0), CSPLAN_ERANGE);
    EXPECT_EQ(csplan_make(nullptr, &options, small.data(), 19, nullptr, nullptr, 0), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_make(&grid, nullptr, small.data(), 19, nullptr, nullptr, 0), CSPLAN_EINVAL);
    const csplan_grid big = grid_of({4097, 4096});
    options.points = 1;
    EXPECT_EQ(csplan_make(&big, &options, small.data(), 19, nullptr, nullptr, 0), CSPLAN_ETOOBIG);
}

}  // namespace

namespace {

TEST(MakeInterface, ACProgramFillsTheOptions)
{
    std::int64_t first[4] = {-1, -1, -1, -1};
    std::int32_t seed = 0;
    ASSERT_EQ(plan_c11_make(first, 4, &seed), CSPLAN_OK);
    EXPECT_EQ(seed, 11);
    EXPECT_EQ(first[0], 0);
    const auto threads = psenv::plan::poisson_gap_threads(psenv::plan::Grid{{32, 16}}, 64, {}, 11);
    EXPECT_TRUE(std::equal(first, first + 4, threads.indices.begin()));
}

}  // namespace

namespace {

std::vector<std::int64_t> sorted(std::vector<std::int64_t> indices)
{
    std::sort(indices.begin(), indices.end());
    return indices;
}

bool holds(const std::vector<std::int64_t> &indices, std::int64_t point)
{
    return std::find(indices.begin(), indices.end(), point) != indices.end();
}

TEST(MakeOptions, SinePortionChangesWhereTheGapsGrow)
{
    const csplan_grid grid = grid_of({64, 64});
    csplan_options quarter = defaults(600);
    csplan_options half = quarter;
    half.sine_portion = CSPLAN_SINE_HALF;
    csplan_options none = quarter;
    none.sine_portion = CSPLAN_SINE_NONE;
    // Points near the far corner (distance sum 108 .. 126): a half sine is
    // dense there again; with no weighting it lies between the two.
    const auto far_corner = [&](const csplan_options &options) {
        const Made made = make(grid, options);
        EXPECT_EQ(made.code, CSPLAN_OK) << made.detail;
        return std::count_if(made.indices.begin(), made.indices.end(),
                             [](std::int64_t m) { return m % 64 + m / 64 >= 108; });
    };
    const auto q = far_corner(quarter);
    const auto h = far_corner(half);
    const auto n = far_corner(none);
    EXPECT_GT(h, 2 * q) << h << " " << n << " " << q;
    EXPECT_GT(n, q);
    EXPECT_LT(n, h);
    half.sine_portion = 3;
    EXPECT_EQ(make(grid, half).code, CSPLAN_EINVAL);
}

TEST(MakeOptions, ShuffledOrderKeepsThePointsAndTheOriginFirst)
{
    const csplan_grid grid = grid_of({32, 16});
    csplan_options options = defaults(100);
    const Made in_grid = make(grid, options);
    options.order = CSPLAN_ORDER_SHUFFLED;
    const Made shuffled = make(grid, options);
    ASSERT_EQ(shuffled.code, CSPLAN_OK) << shuffled.detail;
    EXPECT_EQ(shuffled.indices.front(), 0);
    EXPECT_NE(shuffled.indices, in_grid.indices);
    EXPECT_EQ(sorted(shuffled.indices), in_grid.indices);
    EXPECT_EQ(make(grid, options).indices, shuffled.indices);  // same seed, same order
    options.seed = 170;
    EXPECT_NE(make(grid, options).indices, shuffled.indices);
    options.order = 2;
    EXPECT_EQ(make(grid, options).code, CSPLAN_EINVAL);
}

TEST(MakeOptions, HeadAndLastForceTheirPoints)
{
    const csplan_grid grid = grid_of({20, 10});
    csplan_options options = defaults(30);
    options.head = 3;
    Made made = make(grid, options);
    ASSERT_EQ(made.code, CSPLAN_OK) << made.detail;
    EXPECT_EQ(made.how.forced, 9);
    for (const std::int64_t point : {0, 1, 2, 20, 21, 22, 40, 41, 42})
        EXPECT_TRUE(holds(made.indices, point)) << point;

    options = defaults(30);
    options.last = 1;
    made = make(grid, options);
    ASSERT_EQ(made.code, CSPLAN_OK) << made.detail;
    EXPECT_EQ(made.how.forced, 2);
    EXPECT_EQ(made.indices.back(), 199);

    // A head wider than a dimension stops at its end; too many forced points
    // are refused with the count.
    options = defaults(12);
    options.head = 4;
    options.last = 1;
    made = make(grid_of({40, 2}), options);
    ASSERT_EQ(made.code, CSPLAN_OK) << made.detail;
    EXPECT_EQ(made.how.forced, 9);
    options.points = 8;
    made = make(grid_of({40, 2}), options);
    EXPECT_EQ(made.code, CSPLAN_EINVAL);
    EXPECT_NE(made.detail.find("the head (4) and the last point force 9 points, more than the 8"),
              std::string::npos)
        << made.detail;
    options.head = -1;
    EXPECT_EQ(make(grid, options).code, CSPLAN_EINVAL);
}

TEST(MakeOptions, BestOfKeepsTheLowestFarSidelobe)
{
    const csplan_grid grid = grid_of({48, 24});
    csplan_options options = defaults(200);
    options.seed = -2;
    options.best_of = 5;
    if (!csplan_psf_available()) {
        EXPECT_EQ(make(grid, options).code, CSPLAN_NOT_AVAILABLE);
        GTEST_SKIP() << "built without FFTW3";
    }
    const Made best = make(grid, options);
    ASSERT_EQ(best.code, CSPLAN_OK) << best.detail;
    EXPECT_EQ(best.how.candidates, 5);
    double lowest = 2;
    std::int32_t winner = 0;
    std::vector<std::int64_t> winning;
    for (std::int32_t seed = -2; seed <= 2; ++seed) {
        csplan_options one = defaults(200);
        one.seed = seed;
        const Made made = make(grid, one);
        std::vector<unsigned char> mask(48 * 24, 0);
        for (const std::int64_t m : made.indices)
            mask[static_cast<std::size_t>(m)] = 1;
        csplan_psf_figures figures{};
        csplan_far_figures far{};
        ASSERT_EQ(csplan_psf_far(&grid, mask.data(), 48 * 24, 2, &figures, &far, nullptr, 0,
                                 nullptr, 0),
                  CSPLAN_OK);
        if (far.far_sidelobe < lowest) {
            lowest = far.far_sidelobe;
            winner = seed;
            winning = made.indices;
        }
    }
    EXPECT_EQ(best.indices, winning);
    EXPECT_EQ(best.how.seed, winner);
    EXPECT_DOUBLE_EQ(best.how.far_sidelobe, lowest);
    options.best_of = CSPLAN_MOST_BEST_OF + 1;
    EXPECT_EQ(make(grid, options).code, CSPLAN_EINVAL);
    options.best_of = 2;
    options.exclude = -1;
    EXPECT_EQ(make(grid, options).code, CSPLAN_EINVAL);
}

TEST(MakeOptions, ThePeriodicityGuardAndItsRelease)
{
    // Two points of a line, no weighting: the second lands on a stride > 1
    // nearly always.
    const csplan_grid line = grid_of({64});
    csplan_options options = defaults(2);
    options.sine_portion = CSPLAN_SINE_NONE;
    Made made = make(line, options);
    ASSERT_EQ(made.code, CSPLAN_OK) << made.detail;
    EXPECT_EQ(made.indices, (std::vector<std::int64_t>{0, 1}));
    EXPECT_GT(made.how.periodic_rejected, 0);
    EXPECT_EQ(made.how.periodic, 0);
    options.allow_periodic = 1;
    made = make(line, options);
    ASSERT_EQ(made.code, CSPLAN_OK) << made.detail;
    EXPECT_EQ(made.how.periodic_rejected, 0);
    EXPECT_EQ(made.how.periodic, made.indices[1] > 1 ? 1 : 0);
    std::int64_t stride = -1;
    ASSERT_EQ(csplan_strides(&line, made.indices.data(), 2, &stride, 1), CSPLAN_OK);
    EXPECT_EQ(stride, made.indices[1]);
    // With the last point forced and nothing else free, the guard gives way.
    options = defaults(2);
    options.last = 1;
    made = make(line, options);
    ASSERT_EQ(made.code, CSPLAN_OK) << made.detail;
    EXPECT_EQ(made.indices, (std::vector<std::int64_t>{0, 63}));
    EXPECT_EQ(made.how.periodic, 1);
    options.allow_periodic = 2;
    EXPECT_EQ(make(line, options).code, CSPLAN_EINVAL);

    const std::int64_t outside[] = {0, 64};
    EXPECT_EQ(csplan_strides(&line, outside, 2, &stride, 1), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_strides(&line, outside, 1, &stride, 0), CSPLAN_ERANGE);
}

TEST(MakeOptions, TheExponentialMethodTakesTheCommonOptions)
{
    const csplan_grid grid = grid_of({32, 16});
    csplan_options options = defaults(60);
    options.method = CSPLAN_METHOD_EXPONENTIAL;
    options.decay[0] = 8;
    options.decay[1] = 4;
    Made made = make(grid, options);
    ASSERT_EQ(made.code, CSPLAN_OK) << made.detail;
    EXPECT_EQ(made.how.walk, CSPLAN_WALK_DEFAULT);
    std::vector<std::int64_t> former(60);
    ASSERT_EQ(csplan_exponential(&grid, 60, options.decay, 169, former.data(), 60), CSPLAN_OK);
    EXPECT_EQ(made.indices, former);
    options.head = 2;
    options.last = 1;
    options.order = CSPLAN_ORDER_SHUFFLED;
    made = make(grid, options);
    ASSERT_EQ(made.code, CSPLAN_OK) << made.detail;
    EXPECT_EQ(made.indices.front(), 0);
    for (const std::int64_t point : {1, 32, 33, 511})
        EXPECT_TRUE(holds(made.indices, point)) << point;
    EXPECT_EQ(sorted(made.indices).size(), 60u);
}

TEST(MakeOptions, EveryOptionAtOnce)
{
    const csplan_grid grid = grid_of({40, 24, 6});
    csplan_options options = defaults(500);
    options.seed = 7;
    options.sine_portion = CSPLAN_SINE_HALF;
    options.walk = CSPLAN_WALK_THREADS;
    options.order = CSPLAN_ORDER_SHUFFLED;
    options.head = 2;
    options.last = 1;
    options.best_of = csplan_psf_available() ? 3 : 1;
    options.exclude = 1;
    const Made made = make(grid, options);
    ASSERT_EQ(made.code, CSPLAN_OK) << made.detail;
    const auto points = sorted(made.indices);
    EXPECT_EQ(std::adjacent_find(points.begin(), points.end()), points.end());
    EXPECT_EQ(made.indices.front(), 0);
    EXPECT_EQ(made.how.forced, 9);
    for (const std::int64_t point : {1, 40, 41, 960, 961, 1000, 1001, 40 * 24 * 6 - 1})
        EXPECT_TRUE(holds(made.indices, point)) << point;
    EXPECT_GE(made.how.seed, 7);
    EXPECT_LT(made.how.seed, 7 + options.best_of);
    EXPECT_EQ(made.how.periodic, 0);
    EXPECT_EQ(make(grid, options).indices, made.indices);
}

}  // namespace
