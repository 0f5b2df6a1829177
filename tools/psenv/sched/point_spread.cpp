// What `sched psf` and `sched compare` share: the grid they need, the
// figures of a schedule and their texts.
#include "sched/point_spread.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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

std::string frequency_text(const csplan_grid &grid, const csplan_psf_figures &f)
{
    std::string text;
    for (int k = 0; k < grid.dimensions; ++k)
        text += (k ? "," : "") + std::to_string(f.at[k]);
    return text;
}

int figures_of(const std::string &path, const csplan_grid &grid, csplan_psf_figures &figures,
               std::vector<float> *magnitude)
{
    warn_about_schedule(path, std::vector<int>(grid.ni, grid.ni + grid.dimensions));
    Schedule schedule;
    if (const int status = load_schedule(path, schedule); status != kExitOk)
        return status;
    // The module holds its rows column by column; the planner takes them row by row.
    const std::size_t width = static_cast<std::size_t>(schedule.dimensions());
    std::vector<int> rows(schedule.rows() * width);
    for (std::size_t i = 0; i < schedule.rows(); ++i)
        for (std::size_t k = 0; k < width; ++k)
            rows[i * width + k] = schedule.columns[k][i];
    const std::int64_t points = csplan_grid_points(&grid);
    std::vector<unsigned char> mask(static_cast<std::size_t>(points));
    if (magnitude != nullptr)
        magnitude->resize(mask.size());
    char problem[256];
    if (csplan_mask(&grid, rows.data(), static_cast<std::int64_t>(schedule.rows()),
                    schedule.dimensions(), mask.data(), points, problem, sizeof problem) !=
            CSPLAN_OK ||
        csplan_psf(&grid, mask.data(), points, &figures,
                   magnitude != nullptr ? magnitude->data() : nullptr, points, problem,
                   sizeof problem) != CSPLAN_OK) {
        error(path + ": " + problem);
        return kExitFailure;
    }
    return kExitOk;
}

int psf_grid(const Call &call, csplan_grid &grid)
{
    if (!csplan_psf_available()) {
        error(std::string("sched: ") + csplan_strerror(CSPLAN_NOT_AVAILABLE));
        return kExitUsage;
    }
    std::vector<int> ni;
    if (const int status = grid_option(call, ni); status != kExitOk)
        return status;
    if (ni.empty())
        return call.usage("the grid is needed: give --ni N[,N2...] or --params FILE");
    grid = csplan_grid{};
    grid.dimensions = static_cast<int>(ni.size());
    std::copy(ni.begin(), ni.end(), grid.ni);
    const std::int64_t points = csplan_grid_points(&grid);
    if (points > CSPLAN_MOST_PSF_POINTS) {
        error("the grid has " +
              (points == INT64_MAX ? std::string("more than 2^63") : std::to_string(points)) +
              " points; the transform takes " + std::to_string(CSPLAN_MOST_PSF_POINTS) +
              " at most");
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace psenv::sched
