// The point-spread function through FFTW3's real-to-complex transform.
#include <fftw3.h>

#include <cmath>
#include <memory>

#include "psf.h"

namespace psenv::plan {
namespace {

struct FftwFree {
    void operator()(void *p) const { fftw_free(p); }
};
struct PlanDestroy {
    void operator()(fftw_plan_s *p) const { fftw_destroy_plan(p); }
};

// Linear index, over dimensions 1.. of the grid, of the negated frequency of
// each such index: |F(-k)| = |F(k)| for a real mask.
std::vector<std::int64_t> negated_rows(const Grid &grid)
{
    std::int64_t outer = 1;
    for (int k = 1; k < grid.dimensions(); ++k)
        outer *= grid.ni[static_cast<std::size_t>(k)];
    std::vector<std::int64_t> negated(static_cast<std::size_t>(outer));
    for (std::int64_t o = 0; o < outer; ++o) {
        std::int64_t rest = o;
        std::int64_t index = 0;
        std::int64_t stride = 1;
        for (int k = 1; k < grid.dimensions(); ++k) {
            const std::int64_t n = grid.ni[static_cast<std::size_t>(k)];
            index += ((n - rest % n) % n) * stride;
            stride *= n;
            rest /= n;
        }
        negated[static_cast<std::size_t>(o)] = index;
    }
    return negated;
}

}  // namespace

bool psf_available()
{
    return true;
}

bool point_spread(const Grid &grid, const std::vector<unsigned char> &mask, PsfFigures &figures,
                  std::vector<float> *magnitude, std::string &reason)
{
    const int rank = grid.dimensions();
    const std::int64_t total = grid.points();
    if (rank == 0 || total <= 0 || static_cast<std::int64_t>(mask.size()) != total) {
        reason = "no grid to transform";
        return false;
    }
    // FFTW counts row-major (last dimension fastest); the grid counts
    // dimension 0 fastest, so the dimensions go in reversed.
    std::vector<int> sizes(grid.ni.rbegin(), grid.ni.rend());
    const std::int64_t n0 = grid.ni[0];
    const std::int64_t half = n0 / 2 + 1;
    const std::int64_t outer = total / n0;

    std::unique_ptr<double, FftwFree> in(fftw_alloc_real(static_cast<std::size_t>(total)));
    std::unique_ptr<fftw_complex, FftwFree> out(
        fftw_alloc_complex(static_cast<std::size_t>(outer * half)));
    if (!in || !out) {
        reason = "not enough memory for the transform";
        return false;
    }
    // Planning with FFTW_ESTIMATE leaves the arrays alone and costs no trial runs.
    std::unique_ptr<fftw_plan_s, PlanDestroy> plan(
        fftw_plan_dft_r2c(rank, sizes.data(), in.get(), out.get(), FFTW_ESTIMATE));
    if (!plan) {
        reason = "the FFT library cannot plan this grid";
        return false;
    }
    std::int64_t points = 0;
    double *input = in.get();
    for (std::int64_t m = 0; m < total; ++m) {
        input[m] = mask[static_cast<std::size_t>(m)] ? 1.0 : 0.0;
        points += mask[static_cast<std::size_t>(m)] ? 1 : 0;
    }
    if (points == 0) {
        reason = "no grid point is sampled";
        return false;
    }
    fftw_execute(plan.get());

    const fftw_complex *spectrum = out.get();
    double best = -1;
    std::int64_t best_index = 0;
    for (std::int64_t i = 1; i < outer * half; ++i) {
        const double power = spectrum[i][0] * spectrum[i][0] + spectrum[i][1] * spectrum[i][1];
        if (power > best) {
            best = power;
            best_index = i;
        }
    }
    const auto peak = static_cast<double>(points);
    figures.points = points;
    figures.grid = total;
    figures.max_sidelobe = best > 0 ? std::sqrt(best) / peak : 0.0;
    figures.at.assign(static_cast<std::size_t>(rank), 0);
    if (best >= 0) {
        figures.at[0] = static_cast<int>(best_index % half);
        std::int64_t rest = best_index / half;
        for (int k = 1; k < rank; ++k) {
            figures.at[static_cast<std::size_t>(k)] =
                static_cast<int>(rest % grid.ni[static_cast<std::size_t>(k)]);
            rest /= grid.ni[static_cast<std::size_t>(k)];
        }
    }
    figures.largest_gap = largest_gaps(grid, mask);

    if (magnitude != nullptr) {
        magnitude->resize(static_cast<std::size_t>(total));
        const std::vector<std::int64_t> negated = negated_rows(grid);
        for (std::int64_t o = 0; o < outer; ++o)
            for (std::int64_t k0 = 0; k0 < n0; ++k0) {
                const std::int64_t i = k0 < half ? o * half + k0
                                                 : negated[static_cast<std::size_t>(o)] * half +
                                                       (n0 - k0);
                (*magnitude)[static_cast<std::size_t>(o * n0 + k0)] = static_cast<float>(
                    std::hypot(spectrum[i][0], spectrum[i][1]) / peak);
            }
    }
    return true;
}

}  // namespace psenv::plan
