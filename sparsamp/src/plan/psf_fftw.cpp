// The point-spread function through FFTW3's real-to-complex transform.
#include <fftw3.h>

#include <algorithm>
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

// The buffer and plan of the last grid shape, kept for the next schedule of
// the same grid (`sched compare` transforms several): fresh memory and a new
// plan would cost a third of the transform again.  Hence csplan_psf() is
// for one thread at a time, as the FFT library's planner is anyway.
// Out of place: FFTW's in-place real transform of such grids runs about a
// third slower.
struct Workspace {
    std::vector<int> sizes;
    std::unique_ptr<double, FftwFree> input;
    std::unique_ptr<fftw_complex, FftwFree> spectrum;
    std::unique_ptr<fftw_plan_s, PlanDestroy> plan;
};

Workspace &workspace_for(const std::vector<int> &sizes, std::int64_t real_count,
                         std::int64_t complex_count, std::string &reason)
{
    static Workspace space;
    if (space.plan && space.sizes == sizes)
        return space;
    space.plan.reset();
    space.input.reset(fftw_alloc_real(static_cast<std::size_t>(real_count)));
    space.spectrum.reset(fftw_alloc_complex(static_cast<std::size_t>(complex_count)));
    space.sizes = sizes;
    if (!space.input || !space.spectrum) {
        reason = "not enough memory for the transform";
        return space;
    }
    // FFTW_ESTIMATE plans without trial runs and leaves the arrays alone.
    space.plan.reset(fftw_plan_dft_r2c(static_cast<int>(sizes.size()), sizes.data(),
                                       space.input.get(), space.spectrum.get(), FFTW_ESTIMATE));
    if (!space.plan)
        reason = "the FFT library cannot plan this grid";
    return space;
}

}  // namespace

bool psf_available()
{
    return true;
}

int transform(const Grid &grid, std::span<const unsigned char> mask, PsfFigures &figures,
              float *magnitude, std::string &reason, int exclude)
{
    const int rank = grid.dimensions();
    const std::int64_t total = grid.points();
    if (rank == 0 || total <= 0 || static_cast<std::int64_t>(mask.size()) != total) {
        reason = "no grid to transform";
        return CSPLAN_EINVAL;
    }
    // FFTW counts row-major (last dimension fastest); the grid counts
    // dimension 0 fastest, so the dimensions go in reversed.
    std::vector<int> sizes(grid.ni.rbegin(), grid.ni.rend());
    const std::int64_t n0 = grid.ni[0];
    const std::int64_t half = n0 / 2 + 1;
    const std::int64_t outer = total / n0;

    Workspace &space = workspace_for(sizes, total, outer * half, reason);
    if (!space.input || !space.spectrum)
        return CSPLAN_ENOMEM;
    if (!space.plan)
        return CSPLAN_EFFT;
    double *input = space.input.get();
    std::int64_t points = 0;
    // Without branches: sampled points fall at random.
    const unsigned char *bytes = mask.data();
    for (std::int64_t m = 0; m < total; ++m) {
        const bool taken = bytes[m] != 0;
        input[m] = static_cast<double>(taken);
        points += taken;
    }
    if (points == 0) {
        reason = "no grid point is sampled";
        return CSPLAN_EEMPTY;
    }
    fftw_execute(space.plan.get());

    const fftw_complex *spectrum = space.spectrum.get();
    // The largest power first (and, asked for, the largest outside the main
    // lobe in the same pass), then the first frequency that has it.
    const std::int64_t count = outer * half;
    auto power = [spectrum](std::int64_t i) {
        return spectrum[i][0] * spectrum[i][0] + spectrum[i][1] * spectrum[i][1];
    };
    const SpectrumScan scan = scan_spectrum(grid, &spectrum[0][0], exclude);
    const double best = scan.best;
    std::int64_t best_index = 1;
    while (best_index < count && power(best_index) != best)
        ++best_index;
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
    figures.exclude = exclude;
    figures.far_at.clear();
    figures.far_sidelobe = 0;
    figures.outside = 0;
    figures.shoulder = false;
    if (exclude >= 0)
        far_sidelobe(grid, scan, exclude, figures);

    if (magnitude != nullptr) {
        const std::vector<std::int64_t> negated = negated_rows(grid);
        for (std::int64_t o = 0; o < outer; ++o)
            for (std::int64_t k0 = 0; k0 < n0; ++k0) {
                const std::int64_t i = k0 < half ? o * half + k0
                                                 : negated[static_cast<std::size_t>(o)] * half +
                                                       (n0 - k0);
                magnitude[o * n0 + k0] = static_cast<float>(
                    std::hypot(spectrum[i][0], spectrum[i][1]) / peak);
            }
    }
    return CSPLAN_OK;
}

}  // namespace psenv::plan
