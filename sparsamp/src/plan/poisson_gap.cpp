// Poisson-gap sampling along one walk of the grid: in increment order, or
// outwards by normalised distance.
#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <numeric>

#include "generators.h"
#include "plan_random.h"

namespace psenv::plan {
namespace {

constexpr double kHalfPi = 1.57079632679489661923;
// Passes before the closest one is completed or thinned.  Enough for the
// random count to meet the target in most runs; the repair covers the rest.
constexpr int kMostPasses = 200;

struct Walk {
    std::int64_t length;
    GapWeight weight;
    // Relative mean gap after walk position i - 1; sine: small at the start.
    double shape(std::int64_t i) const
    {
        if (weight == GapWeight::None)
            return 1.0;
        const double portion = weight == GapWeight::Half ? 2 * kHalfPi : kHalfPi;
        return std::sin((static_cast<double>(i) + 0.5) / (static_cast<double>(length) + 1.0) *
                        portion);
    }
};

// Walk positions that are sampled in any case, and the test of a pass that
// has the right size (the periodicity guard).
struct Constraints {
    std::vector<std::int64_t> forced;  // sorted walk positions
    std::function<bool(const std::vector<std::int64_t> &)> acceptable;

    bool is_forced(std::int64_t position) const
    {
        return std::binary_search(forced.begin(), forced.end(), position);
    }
};

void one_pass(const Walk &walk, double scale, PlanRandom &random,
              std::vector<std::int64_t> &taken)
{
    taken.clear();
    std::int64_t i = 0;
    while (i < walk.length) {
        taken.push_back(i);
        ++i;
        i += random.poisson(scale * walk.shape(i));
    }
}

// Drops the point whose neighbours lie closest together for the gap expected
// there, so that thinning never opens a gap where the weighting wants none.
void thin_once(const Walk &walk, double scale, const Constraints &constraints,
               std::vector<std::int64_t> &taken)
{
    std::size_t drop = 0;
    double best = 0;
    for (std::size_t j = 1; j < taken.size(); ++j) {
        if (!constraints.forced.empty() && constraints.is_forced(taken[j]))
            continue;
        const std::int64_t next = j + 1 < taken.size() ? taken[j + 1] : walk.length;
        const double score = static_cast<double>(next - taken[j - 1]) /
                             (1.0 + scale * walk.shape(taken[j]));
        if (drop == 0 || score <= best) {
            drop = j;
            best = score;
        }
    }
    taken.erase(taken.begin() + static_cast<std::ptrdiff_t>(drop));
}

// Fills the middle of the gap that is longest for the gap expected there.
void fill_once(const Walk &walk, double scale, std::vector<std::int64_t> &taken)
{
    std::size_t after = taken.size();
    std::int64_t free_best = 0;
    double best = 0;
    for (std::size_t j = 0; j < taken.size(); ++j) {
        const std::int64_t next = j + 1 < taken.size() ? taken[j + 1] : walk.length;
        const std::int64_t free = next - taken[j] - 1;
        if (free < 1)
            continue;
        const double score =
            static_cast<double>(free) / (1.0 + scale * walk.shape(taken[j] + 1));
        if (after == taken.size() || score > best) {
            after = j;
            best = score;
            free_best = free;
        }
    }
    taken.insert(taken.begin() + static_cast<std::ptrdiff_t>(after) + 1,
                 taken[after] + 1 + free_best / 2);
}

// Walk positions of exactly `points` samples.
std::vector<std::int64_t> walk_positions(const Walk &walk, std::int64_t points, std::int32_t seed,
                                         const Constraints &constraints, GapOutcome &outcome)
{
    const double mean_gap =
        static_cast<double>(walk.length) / static_cast<double>(points) - 1.0;
    // The sine's mean over a quarter (or half) period is 2/pi.
    double scale = walk.weight != GapWeight::None ? mean_gap * kHalfPi : mean_gap;
    double step = 1.25;
    int last_direction = 0;

    PlanRandom random(seed);
    std::vector<std::int64_t> taken;
    std::vector<std::int64_t> merged;
    std::vector<std::int64_t> closest;
    double closest_scale = scale;
    std::int64_t closest_miss = -1;
    for (int pass = 0; pass < kMostPasses; ++pass) {
        one_pass(walk, scale, random, taken);
        ++outcome.passes;
        if (!constraints.forced.empty()) {
            merged.clear();
            std::set_union(taken.begin(), taken.end(), constraints.forced.begin(),
                           constraints.forced.end(), std::back_inserter(merged));
            taken.swap(merged);
        }
        const auto count = static_cast<std::int64_t>(taken.size());
        if (count == points) {
            if (!constraints.acceptable || constraints.acceptable(taken)) {
                outcome.scale = scale;
                return taken;
            }
            // Another pass at the same scale: the draws differ.
            ++outcome.periodic_passes;
            if (closest_miss < 0) {
                closest_miss = 0;
                closest = taken;
                closest_scale = scale;
            }
            continue;
        }
        const std::int64_t miss = count > points ? count - points : points - count;
        if (closest_miss < 0 || miss < closest_miss) {
            closest_miss = miss;
            closest = taken;
            closest_scale = scale;
        }
        const int direction = count > points ? 1 : -1;
        if (last_direction != 0 && direction != last_direction)
            step = std::max(1.002, std::sqrt(step));
        last_direction = direction;
        scale = direction > 0 ? scale * step : scale / step;
    }
    outcome.completed = true;
    outcome.scale = closest_scale;
    while (static_cast<std::int64_t>(closest.size()) > points)
        thin_once(walk, closest_scale, constraints, closest);
    while (static_cast<std::int64_t>(closest.size()) < points)
        fill_once(walk, closest_scale, closest);
    return closest;
}

}  // namespace

std::vector<std::int64_t> walk_order(const Grid &grid)
{
    const std::int64_t total = grid.points();
    std::vector<std::int64_t> order(static_cast<std::size_t>(total));
    std::iota(order.begin(), order.end(), std::int64_t{0});
    if (grid.dimensions() < 2)
        return order;
    std::vector<double> radius(static_cast<std::size_t>(total));
    for (std::int64_t m = 0; m < total; ++m) {
        double sum = 0;
        std::int64_t rest = m;
        for (int n : grid.ni) {
            const double t = static_cast<double>(rest % n) / n;
            sum += t * t;
            rest /= n;
        }
        radius[static_cast<std::size_t>(m)] = sum;
    }
    std::sort(order.begin(), order.end(), [&radius](std::int64_t a, std::int64_t b) {
        const double ra = radius[static_cast<std::size_t>(a)];
        const double rb = radius[static_cast<std::size_t>(b)];
        return ra < rb || (ra == rb && a < b);
    });
    return order;
}

GapOutcome poisson_gap_walk(const Grid &grid, std::int64_t points, const GapOptions &options,
                            bool radial, std::int32_t seed)
{
    const std::int64_t total = grid.points();
    GapOutcome outcome;
    if (points >= total) {
        outcome.indices.resize(static_cast<std::size_t>(total));
        std::iota(outcome.indices.begin(), outcome.indices.end(), std::int64_t{0});
        return outcome;
    }
    if (points <= 1) {
        outcome.indices = {0};
        return outcome;
    }
    const std::vector<std::int64_t> order =
        radial && grid.dimensions() >= 2 ? walk_order(grid) : std::vector<std::int64_t>{};
    Constraints constraints;
    if (order.empty()) {
        constraints.forced = options.forced;
    } else if (!options.forced.empty()) {
        for (std::size_t position = 0; position < order.size(); ++position)
            if (std::binary_search(options.forced.begin(), options.forced.end(),
                                   order[position]))
                constraints.forced.push_back(static_cast<std::int64_t>(position));
    }
    const auto indices_of = [&order](std::vector<std::int64_t> positions) {
        if (!order.empty()) {
            for (auto &position : positions)
                position = order[static_cast<std::size_t>(position)];
            std::sort(positions.begin(), positions.end());
        }
        return positions;
    };
    if (options.periodic_guard)
        constraints.acceptable = [&](const std::vector<std::int64_t> &positions) {
            return !periodic(grid, indices_of(positions));
        };
    outcome.indices = indices_of(
        walk_positions(Walk{total, options.weight}, points, seed, constraints, outcome));
    if (options.periodic_guard && periodic(grid, outcome.indices))
        break_periodicity(grid, outcome.indices, options.forced);
    return outcome;
}

std::vector<std::int64_t> poisson_gap(const Grid &grid, std::int64_t points, GapWeight weight,
                                      std::int32_t seed)
{
    GapOptions options;
    options.weight = weight;
    return poisson_gap_walk(grid, points, options, true, seed).indices;
}

}  // namespace psenv::plan
