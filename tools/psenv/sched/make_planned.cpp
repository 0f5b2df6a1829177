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

#include "core/numbers.h"
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

std::optional<std::vector<double>> parse_decays(const std::string &text, int dimensions)
{
    auto decays = parse_decimal_list(text, 0.0, DBL_MAX, CS_MAX_DIMS);
    if (!decays || std::any_of(decays->begin(), decays->end(), [](double d) { return d <= 0; }))
        return std::nullopt;
    if (decays->size() == 1)
        decays->assign(static_cast<std::size_t>(dimensions), decays->front());
    if (static_cast<int>(decays->size()) != dimensions)
        return std::nullopt;
    return decays;
}

// K from --points, else from "CSdensity" as a percentage of the whole grid;
// a usage error when neither gives one.
int point_count(const Call &call, std::int64_t total, std::int64_t &count)
{
    if (auto points = call.args.get("points")) {
        const auto k = parse_whole(*points, 1, total);
        if (!k)
            return call.usage("--points must be a whole number from 1 to the grid's " +
                              std::to_string(total) + " points");
        count = *k;
        return kExitOk;
    }
    const auto density = real_parameter("CSdensity", true);
    if (!density || !(*density > 0) || !(*density <= 100))
        return call.usage("give --points K or --density P (0 < P <= 100, percent of the grid)");
    const double share = *density / 100.0 * static_cast<double>(total);
    count = std::max<std::int64_t>(static_cast<std::int64_t>(std::floor(share + 0.5)), 1);
    return kExitOk;
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
    const std::int32_t seed = seed_from_tree();

    std::vector<std::int64_t> indices;
    int made = CSPLAN_OK;
    std::string detail;
    if (method == "poisson-gap") {
        if (args.has("decay"))
            return call.usage("--decay belongs to --method exponential");
        const std::string weight = args.get("weight").value_or("sine");
        if (weight != "sine" && weight != "none")
            return call.usage("--weight must be sine or none");
        detail = ", " + weight + " weighting";
        indices.resize(static_cast<std::size_t>(points));
        made = csplan_poisson_gap(&grid, points,
                                  weight == "sine" ? CSPLAN_WEIGHT_SINE : CSPLAN_WEIGHT_NONE, seed,
                                  indices.data(), points);
    } else {
        if (args.has("weight"))
            return call.usage("--weight belongs to --method poisson-gap");
        const auto decay_text = args.get("decay");
        if (!decay_text)
            return call.usage("--method exponential needs --decay T (increments)");
        const auto decays = parse_decays(*decay_text, grid.dimensions);
        if (!decays)
            return call.usage("--decay needs one positive number, or one per dimension (" +
                              std::to_string(grid.dimensions) +
                              "), separated by commas, without signs or blanks");
        detail = ", decay " + *decay_text + " increments";
        indices.resize(static_cast<std::size_t>(points));
        made = csplan_exponential(&grid, points, decays->data(), seed, indices.data(), points);
    }
    std::vector<int> rows(indices.size() * ni.size());
    if (made == CSPLAN_OK)
        made = csplan_rows(&grid, indices.data(), points, rows.data(),
                           static_cast<std::int64_t>(rows.size()));
    if (made != CSPLAN_OK) {
        error("--method " + method + ": " + csplan_strerror(made));
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
    print_summary(location, method, detail, grid, rows, seed);
    return kExitOk;
}

}  // namespace psenv::sched
