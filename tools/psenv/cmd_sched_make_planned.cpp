// psenv sched make --method poisson-gap|exponential: the planner's
// generators (sparsamp_plan.h), written in the module's schedule file format.
#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cmd_sched_plan.h"
#include "sched_methods.h"
#include "sparsamp.h"
#include "sparsamp_plan.h"
#include "treekeep.h"

namespace psenv::sched {
namespace {

constexpr const char *kCommand = "sched make";
constexpr int kTree = 1;  // where `sched make` puts the parameters

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

std::optional<std::vector<double>> parse_decays(const std::string &text, int dimensions)
{
    const auto decays = parse_decimal_list(text, 0.0, DBL_MAX, CS_MAX_DIMS);
    if (!decays)
        return std::nullopt;
    return decays_for(*decays, dimensions);
}

// K from --points, else from "CSdensity" as a percentage of the whole grid.
std::optional<std::int64_t> point_count(const Args &args, std::int64_t total, int &status)
{
    if (auto points = args.get("points")) {
        const auto k = parse_whole(*points, 1, total);
        if (!k) {
            status = usage_error("--points must be a whole number from 1 to the grid's " +
                                     std::to_string(total) + " points",
                                 kCommand);
            return std::nullopt;
        }
        return *k;
    }
    const auto density = real_parameter("CSdensity", true);
    if (!density || !(*density > 0) || !(*density <= 100)) {
        status = usage_error("give --points K or --density P (0 < P <= 100, percent of the grid)",
                             kCommand);
        return std::nullopt;
    }
    return points_of_density(*density, total);
}

// `rows` row-major, grid.dimensions entries each.
void print_summary(const std::string &location, const std::string &method,
                   const std::string &detail, const csplan_grid &grid, const std::vector<int> &rows,
                   std::int32_t seed)
{
    const auto width = static_cast<std::size_t>(grid.dimensions);
    const std::size_t count = rows.size() / width;
    const std::int64_t total = csplan_grid_points(&grid);
    std::printf("schedule file: %s (written)\n", location.c_str());
    std::printf("method:        %s%s\n", method.c_str(), detail.c_str());
    std::string shape;
    for (int k = 0; k < grid.dimensions; ++k) {
        std::vector<char> seen(static_cast<std::size_t>(grid.ni[k]), 0);
        for (std::size_t i = 0; i < count; ++i)
            seen[static_cast<std::size_t>(rows[i * width + static_cast<std::size_t>(k)])] = 1;
        int distinct = 0;
        for (char s : seen)
            distinct += s;
        std::printf("dimension %d:   d%-3d increments %d, %d of them in some row\n", k + 1, k + 2,
                    grid.ni[k], distinct);
        shape += (k ? " x " : "") + std::to_string(grid.ni[k]);
    }
    std::printf("grid:          %lld points (%s)\n", static_cast<long long>(total), shape.c_str());
    std::printf("points:        %zu (%.4g%% of the grid)\n", count,
                100.0 * static_cast<double>(count) / static_cast<double>(total));
    std::printf("seed:          %d (mt19937_64), rows in grid order\n", seed);
}

}  // namespace

const std::vector<OptionSpec> &planned_make_options()
{
    static const std::vector<OptionSpec> options = [] {
        std::vector<OptionSpec> list = {{"method", true}};
        for (const GeneratorOption &option : generator_options())
            list.push_back({option.name, true});
        return list;
    }();
    return options;
}

std::vector<int> grid_from_tree(int tree)
{
    std::vector<int> ni;
    for (int j = 1; j <= 10; ++j) {
        const std::string name = j == 1 ? "ni" : "ni" + std::to_string(j);
        double value = 0;
        if (P_getreal(tree, name.c_str(), &value, 1) != 0 || P_getactive(tree, name.c_str()) == 0 ||
            !(value > 1.0) || value >= 2147483647.0)
            continue;
        ni.push_back(static_cast<int>(static_cast<long double>(value) + 0.1L));
    }
    return ni;
}

int make_planned(const Args &args, const std::string &method, const std::string &location,
                 std::optional<long long> max_points)
{
    for (int j = 2; j <= 10; ++j)
        if (args.has("density" + std::to_string(j)))
            return usage_error("--density" + std::to_string(j) +
                                   ": per-dimension densities belong to --method uniform; give "
                                   "--density P (percent of the whole grid) or --points K",
                               kCommand);
    if (auto type = args.get("type"); type && *type != "generated")
        return usage_error("--method " + method + " makes a schedule: --type must be generated",
                           kCommand);
    const std::vector<int> ni = grid_from_tree(kTree);
    if (ni.empty()) {
        error("no sparse dimension: give --ni N (above 1)");
        return kExitFailure;
    }
    csplan_grid grid{};
    grid.dimensions = static_cast<int>(ni.size());
    std::copy(ni.begin(), ni.end(), grid.ni);
    const std::int64_t total = csplan_grid_points(&grid);
    const Method chosen = *method_named(method);
    if (const std::string problem = planned_grid_problem(chosen, grid); !problem.empty()) {
        error("--method " + problem);
        return kExitFailure;
    }
    if (max_points && total > *max_points) {
        error("the grid has " + std::to_string(total) + " points; the limit is " +
              std::to_string(*max_points) + " grid points: give --max-points " +
              std::to_string(total) + " to allow it");
        return kExitFailure;
    }
    int status = kExitOk;
    const auto points = point_count(args, total, status);
    if (!points)
        return status;
    const std::int32_t seed = seed_from_tree();

    PlannedRequest request;
    request.method = chosen;
    request.grid = grid;
    request.points = *points;
    request.seed = seed;
    std::string detail;
    for (const GeneratorOption &option : generator_options())
        if (args.has(option.name) && !method_takes(chosen, option.name))
            return usage_error(misplaced_option(option.name, chosen, "--"), kCommand);
    if (chosen == Method::kPoissonGap) {
        const std::string weight = args.get("weight").value_or("sine");
        const auto code = weight_named(weight);
        if (!code)
            return usage_error("--weight must be " + weight_list(), kCommand);
        request.weight = *code;
        detail = ", " + weight + " weighting";
    } else {
        const auto decay_text = args.get("decay");
        if (!decay_text)
            return usage_error("--method exponential needs --decay T (increments)", kCommand);
        const auto decays = parse_decays(*decay_text, grid.dimensions);
        if (!decays)
            return usage_error("--decay needs one positive number, or one per dimension (" +
                                   std::to_string(grid.dimensions) +
                                   "), separated by commas, without signs or blanks",
                               kCommand);
        request.decay = *decays;
        detail = ", decay " + *decay_text + " increments";
    }
    std::vector<int> rows;
    if (const int made = make_planned_rows(request, rows); made != CSPLAN_OK) {
        error("--method " + method + ": " + csplan_strerror(made));
        return kExitFailure;
    }
    int failure = 0;
    const int written =
        csplan_write_schedule(location.c_str(), rows.data(), *points, grid.dimensions, &failure);
    if (written != CSPLAN_OK) {
        error("cannot write '" + location + "': " +
              (written == CSPLAN_EIO ? std::strerror(failure) : csplan_strerror(written)));
        return kExitFailure;
    }
    print_summary(location, method, detail, grid, rows, seed);
    return kExitOk;
}

}  // namespace psenv::sched
