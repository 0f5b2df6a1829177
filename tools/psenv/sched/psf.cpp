// psenv sched psf: the point-spread figures of a schedule, and what it
// shares with sched compare.
#include "sched/psf_views.h"

#include <climits>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/numbers.h"
#include "psenv_util/file_replacement.h"
#include "sched/grid.h"
#include "sched/schedule.h"

namespace psenv::sched {
namespace {

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
        const long long n = setup.grid.ni[k];
        const double sw = setup.widths[static_cast<std::size_t>(k)];
        const long long c = at[k] <= (n - 1) / 2 ? at[k] : at[k] - n;
        in_hz += std::string(k ? ", " : "") +
                 (sw > 0 ? format("%g Hz", static_cast<double>(c) * sw / static_cast<double>(n))
                         : std::string("?"));
    }
    return text + " (" + in_hz + ")";
}

int psf_of(const std::string &path, const PsfSetup &setup, PsfView &view, bool keep)
{
    const csplan_grid &grid = setup.grid;
    warn_about_schedule(path, std::vector<int>(grid.ni, grid.ni + grid.dimensions));
    Schedule schedule;
    if (const int status = load_schedule(path, schedule); status != kExitOk)
        return status;
    const std::vector<int> rows = schedule.row_major();
    const std::int64_t points = csplan_grid_points(&grid);
    std::vector<unsigned char> mask(static_cast<std::size_t>(points));
    view.file = path;
    view.magnitude.assign(keep ? mask.size() : 0, 0.0f);
    char problem[256];
    if (csplan_mask(&grid, rows.data(), static_cast<std::int64_t>(schedule.rows()),
                    schedule.dimensions(), mask.data(), points, problem, sizeof problem) !=
            CSPLAN_OK ||
        csplan_psf_far(&grid, mask.data(), points, setup.exclude, &view.figures, &view.far,
                       keep ? view.magnitude.data() : nullptr, keep ? points : 0, problem,
                       sizeof problem) != CSPLAN_OK) {
        error(path + ": " + problem);
        return kExitFailure;
    }
    return kExitOk;
}

int psf_setup(const Call &call, PsfSetup &setup)
{
    const Args &args = call.args;
    if (!csplan_psf_available()) {
        error(std::string("sched: ") + csplan_strerror(CSPLAN_NOT_AVAILABLE));
        return kExitUsage;
    }
    if (const auto exclude = args.get("exclude")) {
        const auto value = parse_whole(*exclude, 0, INT_MAX);
        if (!value)
            return bad_number("--exclude", *exclude, "a whole number from 0 to 2147483647",
                              call.command);
        setup.exclude = static_cast<int>(*value);
    }
    setup.svg = args.get("svg");
    if (setup.svg && setup.svg->empty())
        return call.usage("--svg needs a file name");
    if (const auto scale = args.get("scale")) {
        if (csplan_parse_scale(scale->c_str(), &setup.scale) != CSPLAN_OK)
            return call.usage("--scale must be fixed:X with X above 0, or db:F with F below 0 "
                              "(such as db:-40)");
    }
    std::vector<double> from_params;
    std::vector<int> ni;
    if (const int status = grid_option(call, ni, &from_params); status != kExitOk)
        return status;
    if (ni.empty())
        return call.usage("the grid is needed: give --ni N[,N2...] or --params FILE");
    setup.grid.dimensions = static_cast<int>(ni.size());
    std::copy(ni.begin(), ni.end(), setup.grid.ni);
    if (const int status = spectral_widths(call, setup.grid.dimensions, from_params, setup.widths);
        status != kExitOk)
        return status;
    const std::int64_t points = csplan_grid_points(&setup.grid);
    if (points > CSPLAN_MOST_PSF_POINTS) {
        error("the grid has " +
              (points == INT64_MAX ? std::string("more than 2^63") : std::to_string(points)) +
              " points; the transform takes " + std::to_string(CSPLAN_MOST_PSF_POINTS) +
              " at most");
        return kExitFailure;
    }
    return kExitOk;
}

int write_psf_picture(const PsfSetup &setup, const std::vector<PsfView> &views)
{
    std::vector<csplan_psf_view> drawn(views.size());
    for (std::size_t i = 0; i < views.size(); ++i)
        drawn[i] = {views[i].file.c_str(), views[i].magnitude.data(),
                    static_cast<std::int64_t>(views[i].magnitude.size()), views[i].figures,
                    views[i].far};
    char *svg = nullptr;
    if (const int code = csplan_psf_svg(&setup.grid, drawn.data(), static_cast<int>(drawn.size()),
                                        &setup.scale, setup.widths.data(), &svg);
        code != CSPLAN_OK) {
        error("cannot draw the point-spread function: " + std::string(csplan_strerror(code)));
        return kExitFailure;
    }
    const int failure = util::replace_file(*setup.svg, svg);
    csplan_free_text(svg);
    if (failure != 0) {
        error("cannot write '" + *setup.svg + "': " + std::strerror(failure));
        return kExitFailure;
    }
    return kExitOk;
}

namespace {

int run(const Call &call)
{
    const Args &args = call.args;
    PsfSetup setup;
    if (const int status = psf_setup(call, setup); status != kExitOk)
        return status;
    if (args.operands.size() != 1)
        return call.usage("sched psf needs exactly one schedule file");
    const std::string &path = args.operands.front();
    PsfView view;
    if (const int status = psf_of(path, setup, view, setup.svg.has_value()); status != kExitOk)
        return status;
    const csplan_psf_figures &f = view.figures;
    std::printf("points: %lld of %lld (%s)\n", static_cast<long long>(f.points),
                static_cast<long long>(f.grid), share_text(f).c_str());
    std::printf("max sidelobe: %s\n", sidelobe_text(f.max_sidelobe).c_str());
    std::printf("sidelobe at: %s\n", frequency_text(setup, f.at).c_str());
    std::printf("peak-to-sidelobe: %s\n", psr_text(f.max_sidelobe).c_str());
    std::printf("far sidelobe: %s\n", sidelobe_text(view.far.far_sidelobe).c_str());
    std::printf("far sidelobe at: %s\n", frequency_text(setup, view.far.at).c_str());
    std::printf("far peak-to-sidelobe: %s\n", psr_text(view.far.far_sidelobe).c_str());
    std::printf("main lobe: |k| <= %d in every dimension (%lld frequencies outside it)\n",
                view.far.exclude, static_cast<long long>(view.far.outside));
    if (view.far.shoulder)
        std::printf("note: the max sidelobe lies inside the main lobe: a shoulder of the "
                    "broadened peak, not an artefact; rank schedules by the far sidelobe\n");
    for (int k = 0; k < setup.grid.dimensions; ++k)
        std::printf("largest gap, dimension %d: %lld\n", k + 1,
                    static_cast<long long>(f.largest_gap[k]));
    return setup.svg ? write_psf_picture(setup, {view}) : kExitOk;
}

constexpr Option kOptions[] = {
    {"ni", "N[,N2...]", "increments per dimension (the grid)"},
    {"params", "FILE", "take the grid (and sw1, sw2, ...) from the parameters of FILE"},
    {"exclude", "W", "the main lobe's half-width (default 2)"},
    {"svg", "OUT",
     "draw |F| (a line in one dimension, a heat map in two or\n"
     "more) with the main lobe outlined and both sidelobes marked"},
    {"scale", "S",
     "the picture's scale: fixed:X (0 to X) or db:F (F dB to 0 dB,\n"
     "F < 0); by default 0 to the max sidelobe (heat map) or to\n"
     "the peak (line)"},
    {.name = "sw",
     .value = "S",
     .help = "spectral width of dimension J in Hz: positions and axes in\n"
             "Hz (frequency index k is k * S / ni Hz)",
     .numbered = Numbered::kFromOne},
};

}  // namespace

extern constinit const Command kPsf{
    .name = "psf",
    .summary = "point-spread function of a schedule: sidelobes (the far one\n"
               "outside the main lobe too) and gaps",
    .usage = "FILE (--ni N[,N2...] | --params FILE) [--exclude W]\n"
             "                [--svg OUT] [--scale fixed:X|db:F] [--sw1 S] [--sw2 S] ...",
    .usage_in_group = "FILE (--ni N[,N2...] | --params FILE) [--svg OUT]",
    .options = kOptions,
    .help = "The point-spread function of the schedule file FILE: the discrete Fourier\n"
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
            "first, on standard error.\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 success, 1 failure (the schedule cannot be read or does\n"
            "not fit the grid, OUT cannot be written, failed output), 2 usage error or\n"
            "no FFT library (psenv built without FFTW3).",
    .run = run,
};

}  // namespace psenv::sched
