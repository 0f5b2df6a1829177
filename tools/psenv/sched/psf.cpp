// psenv sched psf: the point-spread function of a schedule.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/command.h"
#include "psenv_util/file_replacement.h"
#include "sched/point_spread.h"
#include "sched/psf_picture.h"

namespace psenv::sched {
namespace {

int run(const Call &call)
{
    const Args &args = call.args;
    csplan_grid grid{};
    if (const int status = psf_grid(call, grid); status != kExitOk)
        return status;
    if (args.operands.size() != 1)
        return call.usage("sched psf needs exactly one schedule file");
    const auto svg = args.get("svg");
    if (svg && svg->empty())
        return call.usage("--svg needs a file name");
    const std::string &path = args.operands.front();
    csplan_psf_figures figures{};
    std::vector<float> magnitude;
    if (const int status = figures_of(path, grid, figures, svg ? &magnitude : nullptr);
        status != kExitOk)
        return status;
    std::printf("points: %lld of %lld (%s)\n", static_cast<long long>(figures.points),
                static_cast<long long>(figures.grid), share_text(figures).c_str());
    std::printf("max sidelobe: %s\n", sidelobe_text(figures.max_sidelobe).c_str());
    std::printf("sidelobe at: %s\n", frequency_text(grid, figures).c_str());
    std::printf("peak-to-sidelobe: %s\n", psr_text(figures.max_sidelobe).c_str());
    for (int k = 0; k < grid.dimensions; ++k)
        std::printf("largest gap, dimension %d: %lld\n", k + 1,
                    static_cast<long long>(figures.largest_gap[k]));
    if (svg) {
        const std::string picture = psf_picture(path, grid, figures, magnitude);
        if (const int failure = util::replace_file(*svg, picture); failure != 0) {
            error("cannot write '" + *svg + "': " + std::strerror(failure));
            return kExitFailure;
        }
    }
    return kExitOk;
}

constexpr std::string_view kUsage[] = {"FILE (--ni N[,N2...] | --params FILE) [--svg OUT]"};

constexpr Option kOptions[] = {
    {"ni", "N[,N2...]", "increments per dimension (the grid)"},
    {"params", "FILE", "take the grid from the ni, ni2, ... parameters of FILE"},
    {"svg", "OUT",
     "draw |F| (a line in one dimension, a heat map in two or\n"
     "more) with the max sidelobe marked"},
};

}  // namespace

extern constinit const Command kPsf{
    .name = "psf",
    .summary = "point-spread function of a schedule: sidelobes and gaps",
    .usage = kUsage,
    .options = kOptions,
    .help = "The point-spread function of the schedule file FILE: the discrete Fourier\n"
            "transform F of its sampling mask m over the grid (m is 1 at every grid\n"
            "point a row samples, 0 elsewhere; exactly ni points per dimension, no\n"
            "padding).  Prints\n"
            "  points: K of G (D%)     sampled grid points, grid points, their share\n"
            "  max sidelobe: X         max over k != 0 of |F(k)| / |F(0)|\n"
            "  sidelobe at: k          a frequency index where it occurs\n"
            "  peak-to-sidelobe: Y dB  -20 log10 X\n"
            "  largest gap, dimension J: N   the most consecutive unsampled\n"
            "                          increments on any grid line along dimension J\n"
            "Rows that repeat a point count once.  Rows that read only because the\n"
            "reader is lenient (see 'psenv sched check') are warned about first, on\n"
            "standard error.\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 success, 1 failure (the schedule cannot be read or does\n"
            "not fit the grid, OUT cannot be written, failed output), 2 usage error or\n"
            "no FFT library (psenv built without FFTW3).",
    .run = run,
};

}  // namespace psenv::sched
