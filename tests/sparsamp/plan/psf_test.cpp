// Point-spread figures against a direct discrete Fourier transform.
#include <gtest/gtest.h>

#include <random>

#include <cmath>
#include <complex>

#include "generators.h"
#include "psf.h"

namespace {

using psenv::plan::Grid;

// |F(k)| / |F(0)| for every k by the definition, O(G^2).
std::vector<double> direct_psf(const Grid &grid, const std::vector<unsigned char> &mask)
{
    const std::int64_t total = grid.points();
    std::vector<double> result(static_cast<std::size_t>(total));
    double peak = 0;
    for (unsigned char m : mask)
        peak += m;
    for (std::int64_t k = 0; k < total; ++k) {
        std::complex<double> sum = 0;
        for (std::int64_t x = 0; x < total; ++x) {
            if (!mask[static_cast<std::size_t>(x)])
                continue;
            double phase = 0;
            for (int d = 0; d < grid.dimensions(); ++d) {
                const int n = grid.ni[static_cast<std::size_t>(d)];
                phase += static_cast<double>(grid.coordinate(k, d)) * grid.coordinate(x, d) / n;
            }
            sum += std::polar(1.0, -2 * M_PI * phase);
        }
        result[static_cast<std::size_t>(k)] = std::abs(sum) / peak;
    }
    return result;
}

std::vector<unsigned char> mask_of(const Grid &grid, const std::vector<std::int64_t> &indices)
{
    std::vector<unsigned char> mask(static_cast<std::size_t>(grid.points()), 0);
    for (auto m : indices)
        mask[static_cast<std::size_t>(m)] = 1;
    return mask;
}

class Psf : public testing::Test {
protected:
    void SetUp() override
    {
        if (!psenv::plan::psf_available())
            GTEST_SKIP() << "built without the FFT library";
    }
};

TEST_F(Psf, FiguresMatchADirectTransform)
{
    for (const Grid &grid : {Grid{{16}}, Grid{{17}}, Grid{{6, 5}}, Grid{{8, 4}}, Grid{{4, 3, 3}}}) {
        for (const std::int32_t seed : {1, 2, 3}) {
            SCOPED_TRACE(testing::Message() << grid.points() << " points, seed " << seed);
            const auto mask =
                mask_of(grid, psenv::plan::exponential(grid, grid.points() / 3, std::vector<double>(grid.ni.size(), 5.0), seed));
            const auto direct = direct_psf(grid, mask);
            psenv::plan::PsfFigures figures;
            std::vector<float> magnitude;
            std::string reason;
            ASSERT_TRUE(psenv::plan::point_spread(grid, mask, figures, &magnitude, reason)) << reason;
            double largest = 0;
            for (std::size_t k = 1; k < direct.size(); ++k)
                largest = std::max(largest, direct[k]);
            EXPECT_NEAR(figures.max_sidelobe, largest, 1e-12);
            EXPECT_EQ(figures.points, grid.points() / 3);
            EXPECT_EQ(figures.grid, grid.points());
            // The reported frequency holds the max sidelobe.
            std::int64_t at = 0;
            std::int64_t stride = 1;
            for (int d = 0; d < grid.dimensions(); ++d) {
                at += figures.at[static_cast<std::size_t>(d)] * stride;
                stride *= grid.ni[static_cast<std::size_t>(d)];
            }
            EXPECT_NE(at, 0);
            EXPECT_NEAR(direct[static_cast<std::size_t>(at)], largest, 1e-12);
            ASSERT_EQ(magnitude.size(), direct.size());
            for (std::size_t k = 0; k < direct.size(); ++k)
                EXPECT_NEAR(magnitude[k], direct[k], 1e-6) << "k " << k;
        }
    }
}

TEST_F(Psf, FullAndSinglePointMasks)
{
    const Grid grid{{8}};
    psenv::plan::PsfFigures figures;
    std::string reason;
    ASSERT_TRUE(psenv::plan::point_spread(grid, std::vector<unsigned char>(8, 1), figures, nullptr, reason));
    EXPECT_NEAR(figures.max_sidelobe, 0.0, 1e-15);
    EXPECT_TRUE(std::isinf(psenv::plan::peak_to_sidelobe_db(figures.max_sidelobe)));
    // One point: a flat spectrum, every sidelobe as high as the peak.
    ASSERT_TRUE(psenv::plan::point_spread(grid, mask_of(grid, {0}), figures, nullptr, reason));
    EXPECT_NEAR(figures.max_sidelobe, 1.0, 1e-12);
    EXPECT_NEAR(psenv::plan::peak_to_sidelobe_db(0.1), 20.0, 1e-12);
    EXPECT_FALSE(psenv::plan::point_spread(grid, std::vector<unsigned char>(8, 0), figures, nullptr, reason));
}

TEST(PsfMask, RefusesRowsOutsideTheGridAndCountsRepeatsOnce)
{
    const Grid grid{{4, 3}};
    std::vector<unsigned char> mask;
    std::string problem;
    EXPECT_TRUE(psenv::plan::sampling_mask(grid, {{0, 3, 3}, {0, 2, 2}}, mask, problem));
    EXPECT_EQ(std::count(mask.begin(), mask.end(), 1), 2);
    EXPECT_EQ(mask[3 + 2 * 4], 1);
    EXPECT_FALSE(psenv::plan::sampling_mask(grid, {{0, 4}, {0, 0}}, mask, problem));
    EXPECT_EQ(problem, "row 2: entry 4 of dimension 1 lies outside 0..3");
    EXPECT_FALSE(psenv::plan::sampling_mask(grid, {{0, 1}, {0, -1}}, mask, problem));
    EXPECT_FALSE(psenv::plan::sampling_mask(grid, {{0, 1}}, mask, problem));
    EXPECT_EQ(problem, "the schedule has 1 column but the grid 2 dimensions");
}

TEST(PsfMask, LargestGapCountsUnsampledRunsAlongEachDimension)
{
    // Rows 0, 2, 5, 7 of 10: runs 1, 2, 1 and the trailing 2.
    EXPECT_EQ(psenv::plan::largest_gaps(Grid{{10}}, mask_of(Grid{{10}}, {0, 2, 5, 7})),
              (std::vector<std::int64_t>{2}));
    EXPECT_EQ(psenv::plan::largest_gaps(Grid{{10}}, mask_of(Grid{{10}}, {0, 9})),
              (std::vector<std::int64_t>{8}));
    // 4 x 3: only (0,0) and (3,2). Along dimension 1 the empty middle line
    // is a gap of 4; along dimension 2 the lines x = 1, 2 are empty (3).
    EXPECT_EQ(psenv::plan::largest_gaps(Grid{{4, 3}}, mask_of(Grid{{4, 3}}, {0, 11})),
              (std::vector<std::int64_t>{4, 3}));
}

// Gaps walked out point by point, for any grid.
std::vector<std::int64_t> plain_gaps(const Grid &grid, const std::vector<unsigned char> &mask)
{
    std::vector<std::int64_t> gaps;
    std::int64_t stride = 1;
    for (int n : grid.ni) {
        std::int64_t largest = 0;
        for (std::int64_t start = 0; start < grid.points(); ++start) {
            if ((start / stride) % n != 0)
                continue;  // not the first point of a line along this dimension
            std::int64_t run = 0;
            for (int j = 0; j < n; ++j) {
                run = mask[static_cast<std::size_t>(start + j * stride)] != 0 ? 0 : run + 1;
                largest = std::max(largest, run);
            }
        }
        gaps.push_back(largest);
        stride *= n;
    }
    return gaps;
}

TEST(PsfMask, LargestGapAgreesWithAPointByPointWalk)
{
    std::mt19937 rng(11);
    for (const Grid &grid : {Grid{{1}}, Grid{{7}}, Grid{{64}}, Grid{{65}}, Grid{{200}},
                             Grid{{130, 3}}, Grid{{3, 130}}, Grid{{9, 5, 70}}, Grid{{64, 64}}})
        for (double density : {0.0, 0.02, 0.3, 0.9, 1.0}) {
            std::vector<unsigned char> mask(static_cast<std::size_t>(grid.points()));
            for (auto &point : mask)
                point = std::uniform_real_distribution<double>(0, 1)(rng) < density;
            EXPECT_EQ(psenv::plan::largest_gaps(grid, mask), plain_gaps(grid, mask))
                << grid.points() << " points, density " << density;
        }
}

// Tested in every build: a build without the library shows this text, and
// one that has the library must still compile it.
TEST(PsfUnavailable, SaysHowToGetTheLibrary)
{
    const std::string message = psenv::plan::psf_unavailable_message();
    EXPECT_EQ(message.rfind("point-spread functions are not available: psenv was built without "
                            "FFTW3; ",
                            0),
              0u)
        << message;
    EXPECT_NE(message.find("install the FFTW3 development package (libfftw3-dev"),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("rebuild psenv with PSENV_WITH_FFTW=ON"), std::string::npos) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos) << "one line of the tool's error style";
}

}  // namespace
