// The multidimensional Poisson-gap scheme (threads), the walk's options,
// the periodicity guard and the prepared Poisson draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "generators.h"
#include "plan_random.h"
#include "poisson_threads.h"
#include "psf.h"

namespace {

using psenv::plan::GapOptions;
using psenv::plan::GapWeight;
using psenv::plan::Grid;

void expect_schedule(const std::vector<std::int64_t> &indices, const Grid &grid,
                     std::int64_t points)
{
    ASSERT_EQ(static_cast<std::int64_t>(indices.size()), points);
    EXPECT_EQ(indices.front(), 0);
    EXPECT_TRUE(std::is_sorted(indices.begin(), indices.end()));
    EXPECT_EQ(std::adjacent_find(indices.begin(), indices.end()), indices.end());
    EXPECT_LT(indices.back(), grid.points());
}

// FNV-1a over the indices' little-endian bytes: a fingerprint of a schedule.
std::uint64_t fingerprint(const std::vector<std::int64_t> &indices)
{
    std::uint64_t hash = 1469598103934665603ULL;
    for (const std::int64_t index : indices)
        for (int byte = 0; byte < 8; ++byte) {
            hash ^= (static_cast<std::uint64_t>(index) >> (8 * byte)) & 0xff;
            hash *= 1099511628211ULL;
        }
    return hash;
}

TEST(PoissonGapThreads, GiveExactlyThePointsAskedForEveryCountAndWeighting)
{
    int completed = 0;
    for (const Grid &grid : {Grid{{7, 5}}, Grid{{4, 3, 3}}, Grid{{1, 9}}, Grid{{2, 2, 2, 2}}})
        for (const GapWeight weight : {GapWeight::Sine, GapWeight::Half, GapWeight::None})
            for (std::int64_t k = 1; k <= grid.points(); ++k) {
                SCOPED_TRACE(testing::Message() << "grid " << grid.points() << ", k " << k);
                GapOptions options;
                options.weight = weight;
                const auto made = psenv::plan::poisson_gap_threads(grid, k, options, 3);
                expect_schedule(made.indices, grid, k);
                completed += made.completed;
            }
    // Small counts cannot be hit by a pass (every line's walk begins with a
    // point): the completion is exercised too.
    EXPECT_GT(completed, 0);
}

TEST(PoissonGapThreads, SameSeedSameScheduleOtherSeedAnother)
{
    const Grid grid{{64, 32}};
    const auto a = psenv::plan::poisson_gap_threads(grid, 300, {}, 169).indices;
    EXPECT_EQ(a, psenv::plan::poisson_gap_threads(grid, 300, {}, 169).indices);
    EXPECT_NE(a, psenv::plan::poisson_gap_threads(grid, 300, {}, 170).indices);
    // The radial walk it replaces is a different schedule.
    EXPECT_NE(a, psenv::plan::poisson_gap(grid, 300, GapWeight::Sine, 169));
}

TEST(PoissonGapThreads, StartInTurnAlongTheDiagonal)
{
    // 4 x 3: rows (along dimension 1) at levels 0, 1/2, 1; columns at 0, 1/3,
    // 2/3, 1.  Equal levels start dimension 1's line first.
    const auto threads = psenv::plan::threads::threads_of(Grid{{4, 3}});
    ASSERT_EQ(threads.size(), 7u);
    const std::int64_t base[] = {0, 0, 1, 4, 2, 8, 3};
    const std::int64_t stride[] = {1, 4, 4, 1, 4, 1, 4};
    const int diagonal[] = {0, 0, 0, 1, 1, 3, 2};
    for (std::size_t t = 0; t < threads.size(); ++t) {
        SCOPED_TRACE(t);
        EXPECT_EQ(threads[t].base, base[t]);
        EXPECT_EQ(threads[t].stride, stride[t]);
        EXPECT_EQ(threads[t].diagonal, diagonal[t]);
    }
    // A dimension of one increment has no threads; the others keep theirs.
    EXPECT_EQ(psenv::plan::threads::threads_of(Grid{{5, 1}}).size(), 1u);
}

TEST(PoissonGapThreads, WeightFollowsTheDistanceSum)
{
    const Grid grid{{11, 11}};  // distance sums 0 .. 20
    const psenv::plan::threads::Weighting quarter(grid, GapWeight::Sine);
    const psenv::plan::threads::Weighting half(grid, GapWeight::Half);
    const psenv::plan::threads::Weighting none(grid, GapWeight::None);
    EXPECT_DOUBLE_EQ(quarter.at(0), 0.0);
    EXPECT_DOUBLE_EQ(quarter.at(20), 1.0);
    EXPECT_NEAR(quarter.at(10), std::sqrt(0.5), 1e-12);
    EXPECT_DOUBLE_EQ(half.at(10), 1.0);
    EXPECT_NEAR(half.at(20), 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(none.at(7), 1.0);
}

// Share of the points in the quarter of the grid nearest the origin, whole
// grid lines left empty, and the far sidelobe (|k_d| > 2 somewhere).
struct Figures {
    double near_quarter = 0;
    int empty_lines = 0;
    double far = 0;
};

Figures figures_of(const Grid &grid, const std::vector<std::int64_t> &indices)
{
    const int n0 = grid.ni[0];
    const int n1 = grid.ni[1];
    std::vector<unsigned char> mask(static_cast<std::size_t>(grid.points()), 0);
    Figures f;
    for (const std::int64_t m : indices) {
        mask[static_cast<std::size_t>(m)] = 1;
        f.near_quarter += (m % n0 < n0 / 2 && m / n0 < n1 / 2) ? 1 : 0;
    }
    f.near_quarter /= static_cast<double>(indices.size());
    for (int y = 0; y < n1; ++y)
        f.empty_lines += std::none_of(mask.begin() + y * n0, mask.begin() + (y + 1) * n0,
                                      [](unsigned char b) { return b != 0; });
    for (int x = 0; x < n0; ++x) {
        bool any = false;
        for (int y = 0; y < n1; ++y)
            any = any || mask[static_cast<std::size_t>(y * n0 + x)] != 0;
        f.empty_lines += any ? 0 : 1;
    }
    if (psenv::plan::psf_available()) {
        psenv::plan::PsfFigures psf;
        std::vector<float> magnitude;
        std::string reason;
        if (psenv::plan::point_spread(grid, mask, psf, &magnitude, reason))
            for (int y = 0; y < n1; ++y)
                for (int x = 0; x < n0; ++x) {
                    const int kx = x <= (n0 - 1) / 2 ? x : x - n0;
                    const int ky = y <= (n1 - 1) / 2 ? y : y - n1;
                    if (std::abs(kx) > 2 || std::abs(ky) > 2)
                        f.far = std::max(f.far, static_cast<double>(magnitude[static_cast<std::size_t>(y * n0 + x)]));
                }
    }
    return f;
}

TEST(PoissonGapThreads, MatchThePublishedSchemesFiguresOverFiftySeeds)
{
    // 128 x 64 at 10 %: the published per-line generator puts 42 % of the
    // points into the near quarter, has a mean far sidelobe of 0.111 and
    // leaves lines empty now and then; the radial walk 61 %, 0.145.
    const Grid grid{{128, 64}};
    Figures threads;
    Figures radial;
    for (std::int32_t seed = 1; seed <= 50; ++seed) {
        const Figures t = figures_of(grid, psenv::plan::poisson_gap_threads(grid, 819, {}, seed).indices);
        const Figures r = figures_of(grid, psenv::plan::poisson_gap(grid, 819, GapWeight::Sine, seed));
        threads.near_quarter += t.near_quarter / 50;
        threads.far += t.far / 50;
        threads.empty_lines += t.empty_lines;
        radial.near_quarter += r.near_quarter / 50;
        radial.far += r.far / 50;
        radial.empty_lines += r.empty_lines;
    }
    EXPECT_GE(threads.near_quarter, 0.40);
    EXPECT_LE(threads.near_quarter, 0.45);
    EXPECT_GT(radial.near_quarter, 0.55);
    EXPECT_LE(threads.empty_lines, radial.empty_lines);
    if (!psenv::plan::psf_available())
        GTEST_SKIP() << "built without FFTW3: no far sidelobes";
    EXPECT_LE(threads.far, 0.12);
    EXPECT_GT(radial.far, threads.far);
}

TEST(PoissonGapWalk, RadialWalkKeepsItsSchedulesByteForByte)
{
    // Fingerprints of schedules made before the thread scheme existed.
    EXPECT_EQ(fingerprint(psenv::plan::poisson_gap(Grid{{64, 32}}, 400, GapWeight::Sine, 169)),
              0x6ef7bc5b74121e10ULL);
    EXPECT_EQ(fingerprint(psenv::plan::poisson_gap(Grid{{12, 10, 8}}, 192, GapWeight::None, -7)),
              0x9062593ce859ddbdULL);
    EXPECT_EQ(fingerprint(psenv::plan::poisson_gap(Grid{{300}}, 70, GapWeight::Sine, 169)),
              0x79c44edd83f1eb8aULL);
    EXPECT_EQ(fingerprint(psenv::plan::exponential(Grid{{64, 32}}, 300, {10.0, 5.0}, 169)),
              0xa44cadce281bc054ULL);
    // And poisson_gap_walk without options is that walk.
    EXPECT_EQ(psenv::plan::poisson_gap_walk(Grid{{64, 32}}, 400, {}, true, 169).indices,
              psenv::plan::poisson_gap(Grid{{64, 32}}, 400, GapWeight::Sine, 169));
}

TEST(PoissonGapWalk, HalfSineIsDenseAtBothEnds)
{
    const Grid grid{{1024}};
    GapOptions half;
    half.weight = GapWeight::Half;
    double ends = 0;
    double middle = 0;
    for (std::int32_t seed = 1; seed <= 10; ++seed)
        for (const std::int64_t m : psenv::plan::poisson_gap_walk(grid, 256, half, false, seed).indices) {
            ends += (m < 128 || m >= 896) ? 1 : 0;
            middle += (m >= 384 && m < 640) ? 1 : 0;
        }
    EXPECT_GT(ends, 1.5 * middle);
}

TEST(PoissonGapForced, ForcedPointsAreAlwaysAmongExactlyK)
{
    const Grid grid{{32, 16}};
    const std::vector<std::int64_t> forced = {0, 1, 2, 32, 33, 34, 64, 65, 66, 511};
    GapOptions options;
    options.forced = forced;
    for (const std::int64_t k : {10, 11, 40, 200}) {
        SCOPED_TRACE(k);
        const auto threads = psenv::plan::poisson_gap_threads(grid, k, options, 5).indices;
        const auto radial = psenv::plan::poisson_gap_walk(grid, k, options, true, 5).indices;
        expect_schedule(threads, grid, k);
        expect_schedule(radial, grid, k);
        EXPECT_TRUE(std::includes(threads.begin(), threads.end(), forced.begin(), forced.end()));
        EXPECT_TRUE(std::includes(radial.begin(), radial.end(), forced.begin(), forced.end()));
    }
    const auto line = psenv::plan::poisson_gap_walk(Grid{{100}}, 12, {GapWeight::None, {0, 1, 2, 99}, false},
                                                    false, 8).indices;
    expect_schedule(line, Grid{{100}}, 12);
    EXPECT_EQ(line[1], 1);
    EXPECT_EQ(line.back(), 99);
}

TEST(Periodicity, StridesAreFoundAndBroken)
{
    const Grid grid{{16, 8}};
    // (0,0) (4,0) (8,2) (12,6): strides 4 and 2.
    std::vector<std::int64_t> lattice = {0, 4, 2 * 16 + 8, 6 * 16 + 12};
    EXPECT_EQ(psenv::plan::common_strides(grid, lattice), (std::vector<std::int64_t>{4, 2}));
    EXPECT_TRUE(psenv::plan::periodic(grid, lattice));
    EXPECT_FALSE(psenv::plan::periodic(grid, {0, 1, 16}));
    EXPECT_FALSE(psenv::plan::periodic(grid, {0}));  // stride 0: no lattice at all
    const std::vector<std::int64_t> forced = {0, 4};
    ASSERT_TRUE(psenv::plan::break_periodicity(grid, lattice, forced));
    EXPECT_FALSE(psenv::plan::periodic(grid, lattice));
    EXPECT_EQ(lattice, (std::vector<std::int64_t>{0, 1, 4, 16}));  // the far points moved in
    // Nothing free to move: the origin and the forced far corner.
    std::vector<std::int64_t> pair = {0, 127};
    EXPECT_FALSE(psenv::plan::break_periodicity(grid, pair, {0, 127}));
}

TEST(Periodicity, TheGuardTurnsDownLatticeSchedules)
{
    // Two points on a long line with no weighting: the second lands on a
    // stride > 1 nearly always, which the guard refuses.
    GapOptions guarded;
    guarded.weight = GapWeight::None;
    guarded.periodic_guard = true;
    int rejected = 0;
    for (std::int32_t seed = 1; seed <= 20; ++seed) {
        const auto made = psenv::plan::poisson_gap_walk(Grid{{64}}, 2, guarded, false, seed);
        EXPECT_EQ(made.indices, (std::vector<std::int64_t>{0, 1}));
        rejected += made.periodic_passes;
        const auto threads = psenv::plan::poisson_gap_threads(Grid{{16, 16}}, 3, guarded, seed);
        expect_schedule(threads.indices, Grid{{16, 16}}, 3);
        EXPECT_FALSE(psenv::plan::periodic(Grid{{16, 16}}, threads.indices));
    }
    EXPECT_GT(rejected, 0);
}

TEST(PreparedPoisson, DrawsFollowTheDistributionOnBothSidesOfTheSwitch)
{
    psenv::plan::PlanRandom random(99);
    for (const double mean : {0.3, 2.0, 9.5, 29.9, 30.0, 75.0, 900.0}) {
        const psenv::plan::PreparedPoisson prepared(mean);
        double sum = 0;
        double squares = 0;
        constexpr int kDraws = 20000;
        for (int i = 0; i < kDraws; ++i) {
            const auto x = static_cast<double>(random.poisson(prepared));
            ASSERT_GE(x, 0);
            sum += x;
            squares += x * x;
        }
        const double m = sum / kDraws;
        EXPECT_NEAR(m, mean, 5 * std::sqrt(mean / kDraws)) << "mean " << mean;
        EXPECT_NEAR(squares / kDraws - m * m, mean, 0.08 * mean) << "mean " << mean;
    }
    EXPECT_EQ(random.poisson(psenv::plan::PreparedPoisson(0.0)), 0);
}

}  // namespace
