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
