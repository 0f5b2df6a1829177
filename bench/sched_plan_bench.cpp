// psenv sched psf and make --method poisson-gap at their largest sizes.
//
// BM_Psf is the whole figure computation of `sched psf` on a mask (planning,
// filling, the transform, the sidelobe scan and the gap count);
// BM_PsfFloor is one bare execution of an already planned FFTW transform of
// the same grid, the least any such computation costs.  bench/report divides
// the two (target: at most 2).
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <memory>

#include "generators.h"
#include "psf.h"
#include "schedule_writer.h"

namespace {

using psenv::plan::Grid;

const std::vector<unsigned char> &mask_of(const Grid &grid)
{
    static std::vector<unsigned char> mask;
    static std::int64_t made_for = -1;
    if (made_for != grid.points()) {
        mask.assign(static_cast<std::size_t>(grid.points()), 0);
        for (auto m : psenv::plan::exponential(grid, grid.points() / 4,
                                               std::vector<double>(grid.ni.size(), 300.0), 7))
            mask[static_cast<std::size_t>(m)] = 1;
        made_for = grid.points();
    }
    return mask;
}

Grid grid_of(const benchmark::State &state)
{
    return Grid{{static_cast<int>(state.range(0)), static_cast<int>(state.range(1))}};
}

void BM_Psf(benchmark::State &state)
{
    const Grid grid = grid_of(state);
    const auto &mask = mask_of(grid);
    psenv::plan::PsfFigures figures;
    std::string reason;
    for (auto _ : state) {
        if (!psenv::plan::point_spread(grid, mask, figures, nullptr, reason))
            state.SkipWithError(reason.c_str());
        benchmark::DoNotOptimize(figures.max_sidelobe);
    }
}
BENCHMARK(BM_Psf)->Args({1024, 1024})->Unit(benchmark::kMillisecond);

struct FftwFree {
    void operator()(void *p) const { fftw_free(p); }
};

void BM_PsfFloor(benchmark::State &state)
{
    const Grid grid = grid_of(state);
    const auto &mask = mask_of(grid);
    const int n1 = grid.ni[1];
    const int n0 = grid.ni[0];
    std::unique_ptr<double, FftwFree> in(fftw_alloc_real(static_cast<std::size_t>(grid.points())));
    std::unique_ptr<fftw_complex, FftwFree> out(
        fftw_alloc_complex(static_cast<std::size_t>(n1) * static_cast<std::size_t>(n0 / 2 + 1)));
    fftw_plan plan = fftw_plan_dft_r2c_2d(n1, n0, in.get(), out.get(), FFTW_ESTIMATE);
    for (std::size_t i = 0; i < mask.size(); ++i)
        in.get()[i] = mask[i];
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out.get()[1][0]);
    }
    fftw_destroy_plan(plan);
}
BENCHMARK(BM_PsfFloor)->Args({1024, 1024})->Unit(benchmark::kMillisecond);

// 10^5 points of a one-dimensional grid of 4 x 10^5 increments, with the
// schedule file's text (the file write itself is left out).
void BM_PoissonGapMake(benchmark::State &state)
{
    const Grid grid{{static_cast<int>(state.range(0)) * 4}};
    for (auto _ : state) {
        const auto indices = psenv::plan::poisson_gap(grid, state.range(0),
                                                      psenv::plan::GapWeight::Sine, 169);
        const std::string text = psenv::plan::schedule_text(psenv::plan::rows_of(grid, indices));
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_PoissonGapMake)->Arg(100000)->Unit(benchmark::kMillisecond);

// 10 % of a 1024 x 1024 grid by Poisson gaps: the thread scheme (the default)
// against the radial walk it replaced, over the same seeds (the number of
// passes before one hits the count varies from seed to seed).  bench/report
// divides the two (target: at most 0.7).
void poisson_gap_2d(benchmark::State &state, bool threads)
{
    const Grid grid{{1024, 1024}};
    const std::int64_t points = grid.points() / 10;
    std::int32_t seed = 0;
    for (auto _ : state) {
        ++seed;
        const auto made = threads
                              ? psenv::plan::poisson_gap_threads(grid, points, {}, seed)
                              : psenv::plan::poisson_gap_walk(grid, points, {}, true, seed);
        benchmark::DoNotOptimize(made.indices.data());
    }
}

void BM_PoissonGap2DThreads(benchmark::State &state)
{
    poisson_gap_2d(state, true);
}
BENCHMARK(BM_PoissonGap2DThreads)->Iterations(4)->Unit(benchmark::kMillisecond);

void BM_PoissonGap2DRadial(benchmark::State &state)
{
    poisson_gap_2d(state, false);
}
BENCHMARK(BM_PoissonGap2DRadial)->Iterations(4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
