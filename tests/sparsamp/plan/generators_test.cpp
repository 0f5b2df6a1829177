// The tool's schedule generators: counts, ranges, the origin, repeatability,
// the adjustment loop's ending for every point count, and the weighting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "generators.h"
#include "plan_random.h"

namespace {

using psenv::plan::GapWeight;
using psenv::plan::Grid;

// Distinct, increasing, inside the grid, starting at the origin, `points` long.
void expect_schedule(const std::vector<std::int64_t> &indices, const Grid &grid,
                     std::int64_t points)
{
    ASSERT_EQ(static_cast<std::int64_t>(indices.size()), points);
    ASSERT_FALSE(indices.empty());
    EXPECT_EQ(indices.front(), 0);
    EXPECT_TRUE(std::is_sorted(indices.begin(), indices.end()));
    EXPECT_EQ(std::adjacent_find(indices.begin(), indices.end()), indices.end());
    EXPECT_LT(indices.back(), grid.points());
}

double mean_gap(const std::vector<std::int64_t> &indices, std::int64_t from, std::int64_t to)
{
    // Gaps between consecutive sampled increments that start in [from, to).
    double sum = 0;
    int count = 0;
    for (std::size_t i = 1; i < indices.size(); ++i)
        if (indices[i - 1] >= from && indices[i - 1] < to) {
            sum += static_cast<double>(indices[i] - indices[i - 1] - 1);
            ++count;
        }
    return count ? sum / count : 0;
}

TEST(PoissonGap, GivesExactlyThePointsAskedForInsideTheGrid)
{
    for (const Grid &grid : {Grid{{128}}, Grid{{1000}}, Grid{{64, 32}}, Grid{{12, 10, 8}}})
        for (const double share : {0.05, 0.25, 0.5, 0.9}) {
            const auto points = std::max<std::int64_t>(1, static_cast<std::int64_t>(share * grid.points()));
            for (const GapWeight weight : {GapWeight::Sine, GapWeight::None}) {
                SCOPED_TRACE(testing::Message() << grid.points() << " points, " << points);
                expect_schedule(psenv::plan::poisson_gap(grid, points, weight, 7), grid, points);
            }
        }
}

TEST(PoissonGap, SameSeedSameScheduleOtherSeedAnother)
{
    const Grid grid{{256}};
    const auto a = psenv::plan::poisson_gap(grid, 64, GapWeight::Sine, 169);
    EXPECT_EQ(a, psenv::plan::poisson_gap(grid, 64, GapWeight::Sine, 169));
    EXPECT_NE(a, psenv::plan::poisson_gap(grid, 64, GapWeight::Sine, 170));
    // Negative seeds are valid 32-bit patterns too.
    EXPECT_EQ(psenv::plan::poisson_gap(grid, 64, GapWeight::Sine, -5),
              psenv::plan::poisson_gap(grid, 64, GapWeight::Sine, -5));
}

TEST(PoissonGap, ReachesEveryPointCountOfASmallGrid)
{
    for (const Grid &grid : {Grid{{40}}, Grid{{7, 5}}})
        for (const GapWeight weight : {GapWeight::Sine, GapWeight::None})
            for (std::int64_t k = 1; k <= grid.points(); ++k) {
                SCOPED_TRACE(testing::Message() << "grid " << grid.points() << ", k " << k);
                expect_schedule(psenv::plan::poisson_gap(grid, k, weight, 3), grid, k);
            }
}

TEST(PoissonGap, SineWeightingLeavesLongerGapsTowardsTheEnd)
{
    const Grid grid{{1024}};
    double first = 0;
    double last = 0;
    double flat_first = 0;
    double flat_last = 0;
    for (std::int32_t seed = 1; seed <= 20; ++seed) {
        const auto sine = psenv::plan::poisson_gap(grid, 256, GapWeight::Sine, seed);
        first += mean_gap(sine, 0, 256);
        last += mean_gap(sine, 768, 1024);
        const auto flat = psenv::plan::poisson_gap(grid, 256, GapWeight::None, seed);
        flat_first += mean_gap(flat, 0, 256);
        flat_last += mean_gap(flat, 768, 1024);
    }
    EXPECT_GT(last, 2 * first);
    // Without the weighting both ends look alike.
    EXPECT_LT(flat_last, 1.5 * flat_first);
    EXPECT_GT(flat_last, flat_first / 1.5);
}

TEST(PoissonGap, WalksSeveralDimensionsOutwardsFromTheOrigin)
{
    const Grid grid{{4, 3}};
    const auto order = psenv::plan::walk_order(grid);
    ASSERT_EQ(order.size(), 12u);
    EXPECT_EQ(order.front(), 0);
    // (1,0) lies at normalised distance 1/4, closer than (0,1) at 1/3.
    EXPECT_EQ(order[1], 1);
    EXPECT_EQ(order[2], 4);
    EXPECT_EQ(order.back(), 11);  // the far corner (3,2)
    EXPECT_EQ(std::set<std::int64_t>(order.begin(), order.end()).size(), 12u);
}

TEST(PlanGrid, CountsPointsWithoutOverflow)
{
    EXPECT_EQ(Grid{}.points(), 0);
    EXPECT_EQ((Grid{{64, 32}}.points()), 2048);
    EXPECT_EQ(Grid{std::vector<int>(10, 2147483647)}.points(), INT64_MAX);
    EXPECT_EQ((Grid{{4, 3}}.coordinate(11, 0)), 3);
    EXPECT_EQ((Grid{{4, 3}}.coordinate(11, 1)), 2);
}

TEST(Exponential, GivesDistinctPointsWeightedTowardsTheOrigin)
{
    const Grid grid{{64, 16}};
    for (const std::int64_t points : {1, 10, 256, 1024}) {
        SCOPED_TRACE(points);
        expect_schedule(psenv::plan::exponential(grid, points, {16.0, 4.0}, 11), grid, points);
    }
    const auto a = psenv::plan::exponential(Grid{{512}}, 128, {64.0}, 5);
    EXPECT_EQ(a, psenv::plan::exponential(Grid{{512}}, 128, {64.0}, 5));
    const auto early = std::count_if(a.begin(), a.end(), [](std::int64_t m) { return m < 256; });
    EXPECT_GT(early, 3 * (128 - early));
    // A far point can still be drawn: a long decay is close to uniform.
    const auto flat = psenv::plan::exponential(Grid{{512}}, 128, {1e9}, 5);
    EXPECT_GT(std::count_if(flat.begin(), flat.end(), [](std::int64_t m) { return m >= 256; }), 40);
}

TEST(PlanRandom, DrawsFollowTheirDistributions)
{
    psenv::plan::PlanRandom random(42);
    for (const double mean : {0.5, 3.0, 9.5, 10.0, 40.0, 700.0}) {
        double sum = 0;
        double squares = 0;
        constexpr int kDraws = 20000;
        for (int i = 0; i < kDraws; ++i) {
            const auto x = static_cast<double>(random.poisson(mean));
            ASSERT_GE(x, 0);
            sum += x;
            squares += x * x;
        }
        const double m = sum / kDraws;
        const double variance = squares / kDraws - m * m;
        EXPECT_NEAR(m, mean, 5 * std::sqrt(mean / kDraws)) << "mean " << mean;
        EXPECT_NEAR(variance, mean, 0.08 * mean) << "mean " << mean;
    }
    EXPECT_EQ(random.poisson(0.0), 0);
    EXPECT_EQ(random.poisson(-1.0), 0);
    double sum = 0;
    for (int i = 0; i < 20000; ++i) {
        const double u = random.uniform();
        ASSERT_GT(u, 0.0);
        ASSERT_LT(u, 1.0);
        sum += random.exponential();
    }
    EXPECT_NEAR(sum / 20000, 1.0, 0.04);
}

}  // namespace
