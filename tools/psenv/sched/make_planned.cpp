// psenv sched make --method poisson-gap|exponential: the planner's
// csplan_make() (sparsamp_plan.h), written in the module's schedule file format.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "sched/grid.h"
#include "sched/make_planned.h"
#include "sparsamp.h"
#include "sparsamp_plan.h"
#include "treekeep.h"
#include "vartree.h"

namespace psenv::sched {
namespace {

constexpr int kTree = VARTREE_CURRENT;  // where `sched make` puts the parameters

std::optional<double> real_parameter(const char *name, bool need_active)
{
    double value = 0;
    if (P_getreal(kTree, name, &value, 1) != 0)
        return std::nullopt;
    if (need_active && P_getactive(kTree, name) == 0)
        return std::nullopt;
    return value;
}

// The seed the module would take from "CSseed": rounded half away from zero,
// 169 when missing; clamped to 32 bits.
std::int32_t seed_from_tree()
{
    const auto value = real_parameter("CSseed", false);
    if (!value || std::isnan(*value))
        return 169;
    const long double s = *value;
    const long double rounded = s < 0 ? s - 0.5L : s + 0.5L;
    if (rounded >= 2147483647.0L)
        return INT32_MAX;
    if (rounded <= -2147483648.0L)
        return INT32_MIN;
    return static_cast<std::int32_t>(rounded);
}

// K from "CSdensity" as a percentage of the whole grid when --points is
// not given (the planner's options read --points); a usage error when
// neither gives one.
int point_count(const Call &call, std::int64_t total, std::int64_t &count)
{
    if (call.args.has("points"))
        return kExitOk;
    const auto density = real_parameter("CSdensity", true);
    if (!density || !(*density > 0) || !(*density <= 100))
        return call.usage("give --points K or --density P (0 < P <= 100, percent of the grid)");
    const double share = *density / 100.0 * static_cast<double>(total);
    count = std::max<std::int64_t>(static_cast<std::int64_t>(std::floor(share + 0.5)), 1);
    return kExitOk;
}

// `rows` row-major, grid.dimensions entries each.
void print_summary(const std::string &location, const std::string &method_text,
                   const std::string &density_text, const csplan_grid &grid,
                   const std::vector<int> &rows, const csplan_options &options,
                   const csplan_made &made)
{
    const auto width = static_cast<std::size_t>(grid.dimensions);
    const std::size_t count = rows.size() / width;
    const std::int64_t total = csplan_grid_points(&grid);
    std::printf("schedule file: %s (written)\n", location.c_str());
    std::printf("method:        %s\n", method_text.c_str());
    std::string shape;
    std::vector<int> distinct(width, 0);
    for (int k = 0; k < grid.dimensions; ++k) {
        std::vector<char> seen(static_cast<std::size_t>(grid.ni[k]), 0);
        for (std::size_t i = 0; i < count; ++i)
            seen[static_cast<std::size_t>(rows[i * width + static_cast<std::size_t>(k)])] = 1;
        for (char s : seen)
            distinct[static_cast<std::size_t>(k)] += s;
        std::printf("dimension %d:   d%-3d increments %d, %d of them in some row\n", k + 1, k + 2,
                    grid.ni[k], distinct[static_cast<std::size_t>(k)]);
        shape += (k ? " x " : "") + std::to_string(grid.ni[k]);
    }
    std::printf("grid:          %lld points (%s)\n", static_cast<long long>(total), shape.c_str());
    std::printf("points:        %zu (%.4g%% of the grid)\n", count,
                100.0 * static_cast<double>(count) / static_cast<double>(total));
    // --density is of the whole grid here, per dimension with --method uniform.
    std::printf("density:       %s; per dimension, the share of increments in some row: ",
                density_text.c_str());
    for (int k = 0; k < grid.dimensions; ++k)
        std::printf("%s%.4g%%", k ? ", " : "",
                    100.0 * static_cast<double>(distinct[static_cast<std::size_t>(k)]) /
                        grid.ni[k]);
    std::printf("\n");
    std::printf("seed:          %d (mt19937_64), rows in %s\n", made.seed,
                options.order == CSPLAN_ORDER_SHUFFLED ? "shuffled order, the origin first"
                                                      : "grid order");
    print_made(options, made);
}

// What --density (or --points) came to: a share of the whole grid.
std::string density_understood(const Args &args, std::int64_t points, std::int64_t total)
{
    char text[160];
    if (args.has("points"))
        std::snprintf(text, sizeof text, "--points %lld: %.4g%% of the grid's %lld points",
                      static_cast<long long>(points),
                      100.0 * static_cast<double>(points) / static_cast<double>(total),
                      static_cast<long long>(total));
    else
        std::snprintf(text, sizeof text,
                      "--density %g is of the whole grid here: %lld of its %lld points",
                      real_parameter("CSdensity", true).value_or(0.0),
                      static_cast<long long>(points), static_cast<long long>(total));
    return text;
}

}  // namespace

int make_planned(const Call &call, const std::string &method, const std::string &location,
                 std::optional<long long> max_points)
{
    const Args &args = call.args;
    for (int j = 2; j <= 10; ++j)
        if (args.has("density" + std::to_string(j)))
            return call.usage("--density" + std::to_string(j) +
                              ": per-dimension densities belong to --method uniform; give "
                              "--density P (percent of the whole grid) or --points K");
    if (auto type = args.get("type"); type && *type != "generated")
        return call.usage("--method " + method + " makes a schedule: --type must be generated");
    const std::vector<int> ni = grid_from_tree(kTree);
    if (ni.empty()) {
        error("no sparse dimension: give --ni N (above 1)");
        return kExitFailure;
    }
    csplan_grid grid{};
    grid.dimensions = static_cast<int>(ni.size());
    std::copy(ni.begin(), ni.end(), grid.ni);
    const std::int64_t total = csplan_grid_points(&grid);
    if (total > CSPLAN_MOST_GENERATOR_POINTS) {
        error("--method " + method + " takes grids of up to " +
              std::to_string(CSPLAN_MOST_GENERATOR_POINTS) + " points; this one has " +
              (total == INT64_MAX ? std::string("more than 2^63") : std::to_string(total)));
        return kExitFailure;
    }
    if (max_points && total > *max_points) {
        error("the grid has " + std::to_string(total) + " points; the limit is " +
              std::to_string(*max_points) + " grid points: give --max-points " +
              std::to_string(total) + " to allow it");
        return kExitFailure;
    }
    std::int64_t points = 0;
    if (const int status = point_count(call, total, points); status != kExitOk)
        return status;
    csplan_options options;
    csplan_options_init(&options);
    options.points = points;
    options.seed = seed_from_tree();
    if (const int status = planned_options(call, method, grid, options); status != kExitOk)
        return status;
    points = options.points;

    std::vector<std::int64_t> indices(static_cast<std::size_t>(points));
    csplan_made made{};
    char detail[256];
    int code = csplan_make(&grid, &options, indices.data(), points, &made, detail, sizeof detail);
    if (code == CSPLAN_EINVAL)
        return call.usage(detail);
    if (code == CSPLAN_NOT_AVAILABLE) {
        error(std::string("--best-of: ") + detail);
        return kExitUsage;
    }
    std::vector<int> rows(indices.size() * ni.size());
    if (code == CSPLAN_OK)
        code = csplan_rows(&grid, indices.data(), points, rows.data(),
                           static_cast<std::int64_t>(rows.size()));
    if (code != CSPLAN_OK) {
        error("--method " + method + ": " + detail);
        return kExitFailure;
    }
    int failure = 0;
    const int written =
        csplan_write_schedule(location.c_str(), rows.data(), points, grid.dimensions, &failure);
    if (written != CSPLAN_OK) {
        error("cannot write '" + location + "': " +
              (written == CSPLAN_EIO ? std::strerror(failure) : csplan_strerror(written)));
        return kExitFailure;
    }
    print_summary(location, made_text(options, made, args.get("decay").value_or("")),
                  density_understood(args, points, total), grid, rows, options, made);
    return kExitOk;
}

}  // namespace psenv::sched
