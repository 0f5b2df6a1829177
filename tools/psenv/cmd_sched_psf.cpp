// psenv sched psf and psenv sched compare: point-spread figures of schedules.
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "cmd_sched.h"
#include "cmd_sched_plan.h"
#include "psf_picture.h"
#include "replace_file.h"
#include "sparsamp_plan.h"

namespace psenv::sched {
namespace {

void print_psf_help()
{
    std::puts("Usage: psenv sched psf FILE (--ni N[,N2...] | --params FILE) [--svg OUT]\n\n"
              "The point-spread function of the schedule file FILE: the discrete Fourier\n"
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
              "standard error.\n\n"
              "  --ni N[,N2...]  increments per dimension (the grid)\n"
              "  --params FILE   take the grid from the ni, ni2, ... parameters of FILE\n"
              "  --svg OUT       draw |F| (a line in one dimension, a heat map in two or\n"
              "                  more) with the max sidelobe marked\n\n"
              "Exit status: 0 success, 1 failure (the schedule cannot be read or does\n"
              "not fit the grid, OUT cannot be written, failed output), 2 usage error or\n"
              "no FFT library (psenv built without FFTW3).");
}

void print_compare_help()
{
    std::puts("Usage: psenv sched compare FILE FILE... (--ni N[,N2...] | --params FILE)\n\n"
              "The point-spread figures of 'psenv sched psf' for several schedule files\n"
              "of one grid, one column per file, after the warnings of each file (see\n"
              "'psenv sched psf').\n\n"
              "  --ni N[,N2...]  increments per dimension (the grid)\n"
              "  --params FILE   take the grid from the ni, ni2, ... parameters of FILE\n\n"
              "Exit status: 0 success, 1 failure (a schedule cannot be read or does not\n"
              "fit the grid, failed output), 2 usage error or no FFT library (psenv\n"
              "built without FFTW3).");
}

std::string format(const char *pattern, double value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, pattern, value);
    return buf;
}

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

std::string frequency_text(const csplan_grid &grid, const csplan_psf_figures &f)
{
    std::string text;
    for (int k = 0; k < grid.dimensions; ++k)
        text += (k ? "," : "") + std::to_string(f.at[k]);
    return text;
}

// Loads, masks and transforms one schedule; prints why not and returns false.
// Rows that read only because the reader is lenient are warned about first,
// as `sched show` does: the figures are those of what the module reads.
bool figures_of(const std::string &path, const csplan_grid &grid, csplan_psf_figures &figures,
                std::vector<float> *magnitude)
{
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
    if (magnitude != nullptr)
        magnitude->resize(mask.size());
    char problem[256];
    if (csplan_mask(&grid, rows.data(), static_cast<std::int64_t>(schedule->rows()),
                    schedule->dimensions(), mask.data(), points, problem, sizeof problem) !=
            CSPLAN_OK ||
        csplan_psf(&grid, mask.data(), points, &figures,
                   magnitude != nullptr ? magnitude->data() : nullptr, points, problem,
                   sizeof problem) != CSPLAN_OK) {
        error(path + ": " + problem);
        return false;
    }
    return true;
}

// Options, operands and grid shared by both commands; nothing when the
// command must end with `status`.
std::optional<csplan_grid> prepare(int argc, char **argv, const char *command, void (*help)(),
                                  std::vector<OptionSpec> specs, Args &args, int &status)
{
    specs.push_back({"help", false});
    specs.push_back({"ni", true});
    specs.push_back({"params", true});
    auto parsed = parse_command(argc, argv, 1, specs, command, help, status);
    if (!parsed)
        return std::nullopt;
    args = *parsed;
    if (!csplan_psf_available()) {
        error(std::string("sched: ") + csplan_strerror(CSPLAN_NOT_AVAILABLE));
        status = kExitUsage;
        return std::nullopt;
    }
    const auto ni = grid_option(args, command, status);
    if (!ni)
        return std::nullopt;
    if (ni->empty()) {
        status = usage_error("the grid is needed: give --ni N[,N2...] or --params FILE", command);
        return std::nullopt;
    }
    csplan_grid grid{};
    grid.dimensions = static_cast<int>(ni->size());
    std::copy(ni->begin(), ni->end(), grid.ni);
    const std::int64_t points = csplan_grid_points(&grid);
    if (points > CSPLAN_MOST_PSF_POINTS) {
        error("the grid has " +
              (points == INT64_MAX ? std::string("more than 2^63") : std::to_string(points)) +
              " points; the transform takes " + std::to_string(CSPLAN_MOST_PSF_POINTS) +
              " at most");
        status = kExitFailure;
        return std::nullopt;
    }
    return grid;
}

}  // namespace

int psf(int argc, char **argv)
{
    constexpr const char *kCommand = "sched psf";
    Args args;
    int status = kExitOk;
    const auto grid = prepare(argc, argv, kCommand, print_psf_help, {{"svg", true}}, args, status);
    if (!grid)
        return status;
    if (args.operands.size() != 1)
        return usage_error("sched psf needs exactly one schedule file", kCommand);
    const auto svg = args.get("svg");
    if (svg && svg->empty())
        return usage_error("--svg needs a file name", kCommand);
    const std::string &path = args.operands.front();
    csplan_psf_figures figures{};
    std::vector<float> magnitude;
    if (!figures_of(path, *grid, figures, svg ? &magnitude : nullptr))
        return kExitFailure;
    std::printf("points: %lld of %lld (%s)\n", static_cast<long long>(figures.points),
                static_cast<long long>(figures.grid), share_text(figures).c_str());
    std::printf("max sidelobe: %s\n", sidelobe_text(figures.max_sidelobe).c_str());
    std::printf("sidelobe at: %s\n", frequency_text(*grid, figures).c_str());
    std::printf("peak-to-sidelobe: %s\n", psr_text(figures.max_sidelobe).c_str());
    for (int k = 0; k < grid->dimensions; ++k)
        std::printf("largest gap, dimension %d: %lld\n", k + 1,
                    static_cast<long long>(figures.largest_gap[k]));
    if (svg) {
        if (const int failure = replace_file(*svg, psf_picture(path, *grid, figures, magnitude));
            failure != 0) {
            error("cannot write '" + *svg + "': " + std::strerror(failure));
            return kExitFailure;
        }
    }
    return kExitOk;
}

int compare(int argc, char **argv)
{
    constexpr const char *kCommand = "sched compare";
    Args args;
    int status = kExitOk;
    const auto grid = prepare(argc, argv, kCommand, print_compare_help, {}, args, status);
    if (!grid)
        return status;
    if (args.operands.size() < 2)
        return usage_error("sched compare needs two or more schedule files", kCommand);
    std::vector<csplan_psf_figures> all;
    for (const auto &path : args.operands) {
        csplan_psf_figures figures{};
        if (!figures_of(path, *grid, figures, nullptr))
            return kExitFailure;
        all.push_back(figures);
    }
    std::vector<std::vector<std::string>> table;
    table.push_back({"schedule"});
    table.push_back({"points"});
    table.push_back({"density"});
    table.push_back({"max sidelobe"});
    table.push_back({"sidelobe at"});
    table.push_back({"peak-to-sidelobe"});
    for (int k = 0; k < grid->dimensions; ++k)
        table.push_back({"largest gap, dim " + std::to_string(k + 1)});
    for (std::size_t i = 0; i < all.size(); ++i) {
        const auto &f = all[i];
        table[0].push_back(args.operands[i]);
        table[1].push_back(std::to_string(f.points) + " of " + std::to_string(f.grid));
        table[2].push_back(share_text(f));
        table[3].push_back(sidelobe_text(f.max_sidelobe));
        table[4].push_back(frequency_text(*grid, f));
        table[5].push_back(psr_text(f.max_sidelobe));
        for (int k = 0; k < grid->dimensions; ++k)
            table[static_cast<std::size_t>(6 + k)].push_back(std::to_string(f.largest_gap[k]));
    }
    std::vector<std::size_t> width(table[0].size(), 0);
    for (const auto &line : table)
        for (std::size_t c = 0; c < line.size(); ++c)
            width[c] = std::max(width[c], line[c].size());
    for (const auto &line : table) {
        std::string text;
        for (std::size_t c = 0; c < line.size(); ++c) {
            text += line[c];
            if (c + 1 < line.size())
                text += std::string(width[c] - line[c].size() + 2, ' ');
        }
        std::puts(text.c_str());
    }
    return kExitOk;
}

}  // namespace psenv::sched
