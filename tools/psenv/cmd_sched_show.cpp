// psenv sched show: a schedule file's rows and per-dimension statistics.
#include <algorithm>
#include <cstdio>
#include <string>

#include "cli.h"
#include "cmd_sched.h"
#include "cmd_sched_plan.h"
#include "sparsamp_plan.h"

namespace psenv::sched {
namespace {

constexpr const char *kCommand = "sched show";

void print_help()
{
    std::puts("Usage: psenv sched show FILE [--ni N[,N2...] | --params FILE] [--no-rows]\n\n"
              "Warnings about rows that read only because the reader is lenient (see\n"
              "'psenv sched check') come first, on standard error.  Then it\n"
              "lists the rows of the schedule file FILE, then per dimension: how many\n"
              "distinct increments are sampled, the largest gap between sampled\n"
              "increments, and how much of the first quarter of the increments (where\n"
              "the signal is strongest) is sampled.  The increments of a dimension are\n"
              "taken as 0 up to its largest entry unless the grid is given; delay names\n"
              "assume the dimensions follow ni, ni2, ... without gaps.  \"sampled\" of a\n"
              "dimension counts its increments that occur in some row; the density is\n"
              "rows / grid points.  With two or more dimensions the largest gap along\n"
              "the grid lines of each dimension follows, as 'psenv sched psf' counts it\n"
              "(the gap above is that of the increments sampled in any row).\n\n"
              "  --ni N[,N2...]  the grid: increments per dimension\n"
              "  --params FILE   the grid from the ni, ni2, ... parameters of FILE\n"
              "  --no-rows       print the statistics only\n\n"
              "Exit status: 0 success, 1 failure (the schedule cannot be read, failed\n"
              "output), 2 usage error.");
}

void print_rows(const Schedule &schedule)
{
    std::printf("%6s", "row");
    for (int k = 0; k < schedule.dimensions(); ++k)
        std::printf(" %6s", delay_name(k).c_str());
    std::putchar('\n');
    for (std::size_t i = 0; i < schedule.rows(); ++i) {
        std::printf("%6zu", i);
        for (const auto &column : schedule.columns)
            std::printf(" %6d", column[i]);
        std::putchar('\n');
    }
}

void print_statistics(const Schedule &schedule, const std::vector<int> &ni)
{
    std::printf("%zu rows, %d dimension%s\n", schedule.rows(), schedule.dimensions(),
                schedule.dimensions() == 1 ? "" : "s");
    double grid = 1;
    for (int k = 0; k < schedule.dimensions(); ++k)
        grid *= ni.size() == static_cast<std::size_t>(schedule.dimensions())
                    ? ni[static_cast<std::size_t>(k)]
                    : std::max(dimension_stats(schedule.columns[static_cast<std::size_t>(k)]).highest, 0) + 1;
    std::printf("density: %zu rows / %.0f grid points = %.4g%%%s\n", schedule.rows(), grid,
                100.0 * static_cast<double>(schedule.rows()) / grid,
                ni.empty() ? " (grid up to the largest entries)" : "");
    for (int k = 0; k < schedule.dimensions(); ++k) {
        const DimensionStats s = dimension_stats(schedule.columns[static_cast<std::size_t>(k)]);
        std::printf("dimension %d (%s): %d distinct increments in %d..%d, largest gap %lld, "
                    "first quarter %d of %d sampled (%.1f%%)\n",
                    k + 1, delay_name(k).c_str(), s.distinct, s.lowest, s.highest,
                    s.largest_gap, s.quarter_taken, s.quarter,
                    100.0 * s.quarter_taken / s.quarter);
    }
}

// Two or more dimensions: the largest gap along the grid lines of each
// dimension, as `sched psf` counts it; the projection above hides gaps that
// other lines fill.  The grid is the one given, else the entries' extents.
void print_line_gaps(const Schedule &schedule, const std::vector<int> &ni)
{
    const int dims = schedule.dimensions();
    if (dims < 2)
        return;
    csplan_grid grid{};
    grid.dimensions = dims;
    for (int k = 0; k < dims; ++k)
        grid.ni[k] = ni.size() == static_cast<std::size_t>(dims)
                         ? ni[static_cast<std::size_t>(k)]
                         : std::max(dimension_stats(schedule.columns[static_cast<std::size_t>(k)]).highest, 0) + 1;
    const std::int64_t points = csplan_grid_points(&grid);
    if (points > CSPLAN_MOST_GENERATOR_POINTS)
        return;
    const auto width = static_cast<std::size_t>(dims);
    std::vector<int> rows(schedule.rows() * width);
    for (std::size_t i = 0; i < schedule.rows(); ++i)
        for (std::size_t k = 0; k < width; ++k)
            rows[i * width + k] = schedule.columns[k][i];
    std::vector<unsigned char> mask(static_cast<std::size_t>(points));
    std::vector<std::int64_t> gaps(width);
    if (csplan_mask(&grid, rows.data(), static_cast<std::int64_t>(schedule.rows()), dims,
                    mask.data(), points, nullptr, 0) != CSPLAN_OK ||
        csplan_largest_gaps(&grid, mask.data(), points, gaps.data(), dims) != CSPLAN_OK)
        return;  // entries outside the grid: the warnings above said so
    std::printf("largest gap along grid lines:");
    for (int k = 0; k < dims; ++k)
        std::printf("%s dimension %d (%s) %lld", k ? "," : "", k + 1, delay_name(k).c_str(),
                    static_cast<long long>(gaps[static_cast<std::size_t>(k)]));
    std::printf(" (the most consecutive unsampled increments on any line along it, as 'sched "
                "psf' counts)\n");
}

}  // namespace

int show(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1,
                              {{"help", false}, {"no-rows", false}, {"ni", true}, {"params", true}},
                              kCommand, print_help, exit_status);
    if (!args)
        return exit_status;
    if (args->operands.size() != 1)
        return usage_error("sched show needs exactly one schedule file", kCommand);
    const auto ni = grid_option(*args, kCommand, exit_status);
    if (!ni)
        return exit_status;
    warn_about_schedule(args->operands.front(), *ni);
    const auto schedule = load_schedule(args->operands.front());
    if (!schedule)
        return kExitFailure;
    if (!args->has("no-rows"))
        print_rows(*schedule);
    print_statistics(*schedule, *ni);
    print_line_gaps(*schedule, *ni);
    return kExitOk;
}

}  // namespace psenv::sched
