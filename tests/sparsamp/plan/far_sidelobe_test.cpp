// The far sidelobe against a direct discrete Fourier transform, the
// shoulder flag, and csplan_psf_far()'s refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdlib>
#include <random>

#include "generators.h"
#include "psf.h"
#include "sparsamp_plan.h"

namespace {

using psenv::plan::Grid;

// |F(k)| / |F(0)| of a two-dimensional mask by the definition.
std::vector<double> direct_dft(const Grid &grid, const std::vector<unsigned char> &mask)
{
    const int n0 = grid.ni[0];
    const int n1 = grid.dimensions() > 1 ? grid.ni[1] : 1;
    std::vector<double> out(mask.size());
    double peak = 0;
    for (unsigned char b : mask)
        peak += b;
    for (int k1 = 0; k1 < n1; ++k1)
        for (int k0 = 0; k0 < n0; ++k0) {
            std::complex<double> sum = 0;
            for (int c1 = 0; c1 < n1; ++c1)
                for (int c0 = 0; c0 < n0; ++c0)
                    if (mask[static_cast<std::size_t>(c1 * n0 + c0)] != 0)
                        sum += std::polar(1.0, -2 * M_PI * (double(k0) * c0 / n0 + double(k1) * c1 / n1));
            out[static_cast<std::size_t>(k1 * n0 + k0)] = std::abs(sum) / peak;
        }
    return out;
}

bool inside(const Grid &grid, std::size_t m, int exclude)
{
    for (const int n : grid.ni) {
        if (std::llabs(psenv::plan::centred(static_cast<long long>(m % n), n)) > exclude)
            return false;
        m /= n;
    }
    return true;
}

TEST(FarSidelobe, EqualsTheLargestOutsideTheMainLobeByDefinition)
{
    if (!psenv::plan::psf_available())
        GTEST_SKIP() << "built without FFTW3";
    std::mt19937 draw(3);
    for (const Grid &grid : {Grid{{8}}, Grid{{9}}, Grid{{12, 7}}, Grid{{5, 6}}, Grid{{2, 3}}}) {
        std::vector<unsigned char> mask(static_cast<std::size_t>(grid.points()), 0);
        mask[0] = 1;
        for (auto &b : mask)
            b = b != 0 || draw() % 3 == 0;
        const std::vector<double> truth = direct_dft(grid, mask);
        for (int exclude = 0; exclude <= 3; ++exclude) {
            SCOPED_TRACE(testing::Message() << grid.points() << " points, W " << exclude);
            psenv::plan::PsfFigures figures;
            std::string reason;
            ASSERT_TRUE(psenv::plan::point_spread(grid, mask, figures, nullptr, reason, exclude)) << reason;
            double far = 0;
            std::int64_t outside = 0;
            for (std::size_t m = 0; m < truth.size(); ++m)
                if (!inside(grid, m, exclude)) {
                    far = std::max(far, truth[m]);
                    ++outside;
                }
            EXPECT_NEAR(figures.far_sidelobe, far, 1e-12);
            EXPECT_EQ(figures.outside, outside);
            EXPECT_EQ(figures.exclude, exclude);
            std::size_t at = 0;
            for (std::size_t k = figures.far_at.size(); k-- > 0;)
                at = at * static_cast<std::size_t>(grid.ni[k]) + static_cast<std::size_t>(figures.far_at[k]);
            if (outside > 0) {
                EXPECT_FALSE(inside(grid, at, exclude));
                EXPECT_NEAR(truth[at], far, 1e-12);
            }
            std::size_t max_at = 0;
            for (std::size_t k = figures.at.size(); k-- > 0;)
                max_at = max_at * static_cast<std::size_t>(grid.ni[k]) + static_cast<std::size_t>(figures.at[k]);
            EXPECT_EQ(figures.shoulder, inside(grid, max_at, exclude));
        }
    }
}

TEST(FarSidelobe, AWeightedScheduleHasItsMaxSidelobeOnTheShoulder)
{
    if (!psenv::plan::psf_available())
        GTEST_SKIP() << "built without FFTW3";
    // A quarter of 512 increments by Poisson gaps under a quarter sine: the
    // peak broadens and its shoulder at k = 1 is the max sidelobe.
    const Grid grid{{512}};
    std::vector<unsigned char> mask(512, 0);
    for (const std::int64_t m : psenv::plan::poisson_gap(grid, 128, psenv::plan::GapWeight::Sine, 169))
        mask[static_cast<std::size_t>(m)] = 1;
    psenv::plan::PsfFigures figures;
    std::string reason;
    ASSERT_TRUE(psenv::plan::point_spread(grid, mask, figures, nullptr, reason)) << reason;
    EXPECT_EQ(figures.at[0], 1);
    EXPECT_TRUE(figures.shoulder);
    EXPECT_LT(figures.far_sidelobe, figures.max_sidelobe);
}

TEST(FarSidelobe, TheCInterfaceRefusesAndFills)
{
    const csplan_grid grid = {2, {6, 4}};
    std::vector<unsigned char> mask(24, 0);
    mask[0] = mask[7] = mask[13] = mask[22] = 1;
    csplan_psf_figures figures{};
    csplan_far_figures far{};
    if (!csplan_psf_available()) {
        EXPECT_EQ(csplan_psf_far(&grid, mask.data(), 24, 2, &figures, &far, nullptr, 0, nullptr, 0),
                  CSPLAN_NOT_AVAILABLE);
        GTEST_SKIP() << "built without FFTW3";
    }
    char detail[64] = "x";
    EXPECT_EQ(csplan_psf_far(&grid, mask.data(), 24, -1, &figures, &far, nullptr, 0, detail,
                             sizeof detail),
              CSPLAN_EINVAL);
    EXPECT_STRNE(detail, "");
    EXPECT_EQ(csplan_psf_far(&grid, mask.data(), 24, 2, &figures, nullptr, nullptr, 0, nullptr, 0),
              CSPLAN_EINVAL);
    std::vector<float> magnitude(24);
    ASSERT_EQ(csplan_psf_far(&grid, mask.data(), 24, 1, &figures, &far, magnitude.data(), 24,
                             detail, sizeof detail),
              CSPLAN_OK);
    EXPECT_STREQ(detail, "");
    EXPECT_EQ(far.exclude, 1);
    EXPECT_EQ(far.outside, 24 - 9);
    const std::size_t at = static_cast<std::size_t>(far.at[1] * 6 + far.at[0]);
    EXPECT_NEAR(magnitude[at], far.far_sidelobe, 1e-6);
    // csplan_psf() gives the same figures as before.
    csplan_psf_figures plain{};
    ASSERT_EQ(csplan_psf(&grid, mask.data(), 24, &plain, nullptr, 0, nullptr, 0), CSPLAN_OK);
    EXPECT_EQ(plain.max_sidelobe, figures.max_sidelobe);
    EXPECT_EQ(plain.at[0], figures.at[0]);
    // Every frequency inside the main lobe: nothing is far.
    ASSERT_EQ(csplan_psf_far(&grid, mask.data(), 24, 3, &figures, &far, nullptr, 0, nullptr, 0),
              CSPLAN_OK);
    EXPECT_EQ(far.outside, 0);
    EXPECT_EQ(far.far_sidelobe, 0.0);
}

}  // namespace
