// Poisson-gap sampling along the walk of the grid.
#include <algorithm>
#include <cmath>
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
        return std::sin((static_cast<double>(i) + 0.5) / (static_cast<double>(length) + 1.0) *
                        kHalfPi);
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
void thin_once(const Walk &walk, double scale, std::vector<std::int64_t> &taken)
{
    std::size_t drop = 0;
    double best = 0;
    for (std::size_t j = 1; j < taken.size(); ++j) {
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
std::vector<std::int64_t> walk_positions(const Walk &walk, std::int64_t points, std::int32_t seed)
{
    const double mean_gap =
        static_cast<double>(walk.length) / static_cast<double>(points) - 1.0;
    // The sine's mean over a quarter period is 2/pi.
    double scale = walk.weight == GapWeight::Sine ? mean_gap * kHalfPi : mean_gap;
    double step = 1.25;
    int last_direction = 0;

    PlanRandom random(seed);
    std::vector<std::int64_t> taken;
    std::vector<std::int64_t> closest;
    double closest_scale = scale;
    std::int64_t closest_miss = -1;
    for (int pass = 0; pass < kMostPasses; ++pass) {
        one_pass(walk, scale, random, taken);
        const auto count = static_cast<std::int64_t>(taken.size());
        if (count == points)
            return taken;
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
    while (static_cast<std::int64_t>(closest.size()) > points)
        thin_once(walk, closest_scale, closest);
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

std::vector<std::int64_t> poisson_gap(const Grid &grid, std::int64_t points, GapWeight weight,
                                      std::int32_t seed)
{
    const std::int64_t total = grid.points();
    std::vector<std::int64_t> result;
    if (points >= total) {
        result.resize(static_cast<std::size_t>(total));
        std::iota(result.begin(), result.end(), std::int64_t{0});
        return result;
    }
    if (points <= 1)
        return {0};
    result = walk_positions(Walk{total, weight}, points, seed);
    if (grid.dimensions() >= 2) {
        const std::vector<std::int64_t> order = walk_order(grid);
        for (auto &position : result)
            position = order[static_cast<std::size_t>(position)];
        std::sort(result.begin(), result.end());
    }
    return result;
}

}  // namespace psenv::plan
