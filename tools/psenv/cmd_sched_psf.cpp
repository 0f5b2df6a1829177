// psenv sched psf: the point-spread figures of a schedule, and what it
// shares with sched compare.
#include "cmd_sched_psf.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "cmd_sched.h"
#include "cmd_sched_plan.h"
#include "psenv_util/file_replacement.h"

namespace psenv::sched {
namespace {

void print_psf_help()
{
    std::puts("Usage: psenv sched psf FILE (--ni N[,N2...] | --params FILE) [--exclude W]\n"
              "                [--svg OUT] [--scale fixed:X|db:F] [--sw1 S] [--sw2 S] ...\n\n"
              "The point-spread function of the schedule file FILE: the discrete Fourier\n"
              "transform F of its sampling mask m over the grid (m is 1 at every grid\n"
              "point a row samples, 0 elsewhere; exactly ni points per dimension, no\n"
              "padding).  Prints\n"
              "  points: K of G (D%)     sampled grid points, grid points, their share\n"
              "  max sidelobe: X         max over k != 0 of |F(k)| / |F(0)|\n"
              "  sidelobe at: k          a frequency index where it occurs\n"
              "  peak-to-sidelobe: Y dB  -20 log10 X\n"
              "  far sidelobe: X         max of |F(k)| / |F(0)| over every k outside the\n"
              "                          main lobe, the frequencies with all |k_d| <= W\n"
              "                          (k_d centred on 0): the figure to rank\n"
              "                          schedules by\n"
              "  far sidelobe at: k      where it occurs\n"
              "  far peak-to-sidelobe: Y dB\n"
              "  main lobe: |k| <= W ...  and how many frequencies lie outside it\n"
              "  largest gap, dimension J: N   the most consecutive unsampled\n"
              "                          increments on any grid line along dimension J\n"
              "A note says when the max sidelobe lies inside the main lobe: then it is\n"
              "a shoulder of the peak (a weighted schedule broadens the peak; on longer\n"
              "grids, of 256 increments or more, its max sidelobe sits at k = +-1), not\n"
              "an artefact.  Rows that repeat a point count once.  Rows that read only\n"
              "because the reader is lenient (see 'psenv sched check') are warned about\n"
              "first, on standard error.\n\n"
              "  --ni N[,N2...]  increments per dimension (the grid)\n"
              "  --params FILE   take the grid (and sw1, sw2, ...) from the parameters of FILE\n"
              "  --exclude W     the main lobe's half-width (default 2)\n"
              "  --svg OUT       draw |F| (a line in one dimension, a heat map in two or\n"
              "                  more) with the main lobe outlined and both sidelobes marked\n"
              "  --scale S       the picture's scale: fixed:X (0 to X) or db:F (F dB to 0 dB,\n"
              "                  F < 0); by default 0 to the max sidelobe (heat map) or to\n"
              "                  the peak (line)\n"
              "  --swJ S         spectral width of dimension J in Hz: positions and axes in\n"
              "                  Hz (frequency index k is k * S / ni Hz)\n\n"
              "Exit status: 0 success, 1 failure (the schedule cannot be read or does\n"
              "not fit the grid, OUT cannot be written, failed output), 2 usage error or\n"
              "no FFT library (psenv built without FFTW3).");
}

std::string format(const char *pattern, double value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, pattern, value);
    return buf;
}

}  // namespace

std::string sidelobe_text(double x)
{
    return format("%#.10g", x);
}

std::string psr_text(double x)
{
    const double db = csplan_peak_to_sidelobe_db(x);
    return std::isinf(db) ? "inf dB" : format("%.2f dB", db);
}

std::string share_text(const csplan_psf_figures &f)
{
    return format("%.4g%%", 100.0 * static_cast<double>(f.points) / static_cast<double>(f.grid));
}

std::string frequency_text(const PsfSetup &setup, const int *at)
{
    std::string text;
    bool hz = false;
    for (int k = 0; k < setup.grid.dimensions; ++k) {
        text += (k ? "," : "") + std::to_string(at[k]);
        hz = hz || setup.widths[static_cast<std::size_t>(k)] > 0;
    }
    if (!hz)
        return text;
    std::string in_hz;
    for (int k = 0; k < setup.grid.dimensions; ++k) {
        const FrequencyAxis axis{setup.grid.ni[k], setup.widths[static_cast<std::size_t>(k)]};
        const long long c = at[k] <= (axis.n - 1) / 2 ? at[k] : at[k] - axis.n;
        in_hz += std::string(k ? ", " : "") +
                 (axis.sw > 0 ? format("%g Hz", static_cast<double>(c) * axis.sw /
                                                    static_cast<double>(axis.n))
                              : std::string("?"));
    }
    return text + " (" + in_hz + ")";
}

bool psf_of(const std::string &path, const PsfSetup &setup, PsfView &view, bool keep)
{
    const csplan_grid &grid = setup.grid;
    warn_about_schedule(path, std::vector<int>(grid.ni, grid.ni + grid.dimensions));
    const auto schedule = load_schedule(path);
    if (!schedule)
        return false;
    // The module holds its rows column by column; the planner takes them row by row.
    const std::size_t width = static_cast<std::size_t>(schedule->dimensions());
    std::vector<int> rows(schedule->rows() * width);
    for (std::size_t i = 0; i < schedule->rows(); ++i)
        for (std::size_t k = 0; k < width; ++k)
            rows[i * width + k] = schedule->columns[k][i];
    const std::int64_t points = csplan_grid_points(&grid);
    std::vector<unsigned char> mask(static_cast<std::size_t>(points));
    view.file = path;
    view.magnitude.assign(keep ? mask.size() : 0, 0.0f);
    char problem[256];
    if (csplan_mask(&grid, rows.data(), static_cast<std::int64_t>(schedule->rows()),
                    schedule->dimensions(), mask.data(), points, problem, sizeof problem) !=
            CSPLAN_OK ||
        csplan_psf_far(&grid, mask.data(), points, setup.exclude, &view.figures, &view.far,
                       keep ? view.magnitude.data() : nullptr, keep ? points : 0, problem,
                       sizeof problem) != CSPLAN_OK) {
        error(path + ": " + problem);
        return false;
    }
    return true;
}

std::optional<PsfSetup> prepare_psf(int argc, char **argv, const char *command, void (*help)(),
                                    std::vector<OptionSpec> specs, Args &args, int &status)
{
    for (const OptionSpec spec : {OptionSpec{"help", false}, OptionSpec{"ni", true},
                                  OptionSpec{"params", true}, OptionSpec{"exclude", true},
                                  OptionSpec{"svg", true}, OptionSpec{"scale", true}})
        specs.push_back(spec);
    for (const OptionSpec &spec : width_options())
        specs.push_back(spec);
    auto parsed = parse_command(argc, argv, 1, specs, command, help, status);
    if (!parsed)
        return std::nullopt;
    args = *parsed;
    if (!csplan_psf_available()) {
        error(std::string("sched: ") + csplan_strerror(CSPLAN_NOT_AVAILABLE));
        status = kExitUsage;
        return std::nullopt;
    }
    PsfSetup setup;
    if (const auto exclude = args.get("exclude")) {
        const auto value = parse_whole(*exclude, 0, INT_MAX);
        if (!value) {
            status = bad_number("--exclude", *exclude, "a whole number from 0 to 2147483647",
                                command);
            return std::nullopt;
        }
        setup.exclude = static_cast<int>(*value);
    }
    setup.svg = args.get("svg");
    if (setup.svg && setup.svg->empty()) {
        status = usage_error("--svg needs a file name", command);
        return std::nullopt;
    }
    if (const auto scale = args.get("scale")) {
        const auto parsed_scale = parse_scale(*scale);
        if (!parsed_scale) {
            status = usage_error("--scale must be fixed:X with X above 0, or db:F with F below 0 "
                                 "(such as db:-40)",
                                 command);
            return std::nullopt;
        }
        setup.scale = *parsed_scale;
    }
    std::vector<double> from_params;
    const auto ni = grid_option(args, command, status, &from_params);
    if (!ni)
        return std::nullopt;
    if (ni->empty()) {
        status = usage_error("the grid is needed: give --ni N[,N2...] or --params FILE", command);
        return std::nullopt;
    }
    setup.grid.dimensions = static_cast<int>(ni->size());
    std::copy(ni->begin(), ni->end(), setup.grid.ni);
    const auto widths = spectral_widths(args, setup.grid.dimensions, from_params, command, status);
    if (!widths)
        return std::nullopt;
    setup.widths = *widths;
    const std::int64_t points = csplan_grid_points(&setup.grid);
    if (points > CSPLAN_MOST_PSF_POINTS) {
        error("the grid has " +
              (points == INT64_MAX ? std::string("more than 2^63") : std::to_string(points)) +
              " points; the transform takes " + std::to_string(CSPLAN_MOST_PSF_POINTS) +
              " at most");
        status = kExitFailure;
        return std::nullopt;
    }
    return setup;
}

int psf(int argc, char **argv)
{
    constexpr const char *kCommand = "sched psf";
    Args args;
    int status = kExitOk;
    const auto setup = prepare_psf(argc, argv, kCommand, print_psf_help, {}, args, status);
    if (!setup)
        return status;
    if (args.operands.size() != 1)
        return usage_error("sched psf needs exactly one schedule file", kCommand);
    const std::string &path = args.operands.front();
    PsfView view;
    if (!psf_of(path, *setup, view, setup->svg.has_value()))
        return kExitFailure;
    const csplan_psf_figures &f = view.figures;
    std::printf("points: %lld of %lld (%s)\n", static_cast<long long>(f.points),
                static_cast<long long>(f.grid), share_text(f).c_str());
    std::printf("max sidelobe: %s\n", sidelobe_text(f.max_sidelobe).c_str());
    std::printf("sidelobe at: %s\n", frequency_text(*setup, f.at).c_str());
    std::printf("peak-to-sidelobe: %s\n", psr_text(f.max_sidelobe).c_str());
    std::printf("far sidelobe: %s\n", sidelobe_text(view.far.far_sidelobe).c_str());
    std::printf("far sidelobe at: %s\n", frequency_text(*setup, view.far.at).c_str());
    std::printf("far peak-to-sidelobe: %s\n", psr_text(view.far.far_sidelobe).c_str());
    std::printf("main lobe: |k| <= %d in every dimension (%lld frequencies outside it)\n",
                view.far.exclude, static_cast<long long>(view.far.outside));
    if (view.far.shoulder)
        std::printf("note: the max sidelobe lies inside the main lobe: a shoulder of the "
                    "broadened peak, not an artefact; rank schedules by the far sidelobe\n");
    for (int k = 0; k < setup->grid.dimensions; ++k)
        std::printf("largest gap, dimension %d: %lld\n", k + 1,
                    static_cast<long long>(f.largest_gap[k]));
    if (setup->svg) {
        if (const int failure = util::replace_file(
                *setup->svg, psf_picture(view, setup->grid, setup->scale, setup->widths));
            failure != 0) {
            error("cannot write '" + *setup->svg + "': " + std::strerror(failure));
            return kExitFailure;
        }
    }
    return kExitOk;
}

}  // namespace psenv::sched
