// Random sampling weighted by an exponential decay along each dimension.
#include <algorithm>
#include <cmath>

#include "generators.h"
#include "plan_random.h"

namespace psenv::plan {

// Weighted choice without replacement by keys: each point draws
// u^(1 / w) and the largest keys win.  In logarithms that is the smallest
// log(E) - log(w) with E exponential, and -log(w) is sum_k c_k / decay_k,
// so no weight underflows however far the point lies from the origin.
std::vector<std::int64_t> exponential_forced(const Grid &grid, std::int64_t points,
                                             const std::vector<double> &decay,
                                             const std::vector<std::int64_t> &forced,
                                             PlanRandom &random)
{
    const std::int64_t total = grid.points();
    std::vector<std::pair<double, std::int64_t>> keys;
    keys.reserve(static_cast<std::size_t>(std::max<std::int64_t>(total - 1, 0)));
    auto next_forced = forced.begin();
    for (std::int64_t m = 0; m < total; ++m) {
        if (next_forced != forced.end() && *next_forced == m) {
            ++next_forced;
            continue;
        }
        double distance = 0;
        std::int64_t rest = m;
        for (int k = 0; k < grid.dimensions(); ++k) {
            const int n = grid.ni[static_cast<std::size_t>(k)];
            distance += static_cast<double>(rest % n) / decay[static_cast<std::size_t>(k)];
            rest /= n;
        }
        keys.emplace_back(std::log(random.exponential()) + distance, m);
    }
    const auto wanted = static_cast<std::size_t>(std::clamp<std::int64_t>(
        points - static_cast<std::int64_t>(forced.size()), 0,
        static_cast<std::int64_t>(keys.size())));
    std::nth_element(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(wanted), keys.end());
    std::vector<std::int64_t> result = forced;
    for (std::size_t i = 0; i < wanted; ++i)
        result.push_back(keys[i].second);
    std::sort(result.begin(), result.end());
    return result;
}

std::vector<std::int64_t> exponential(const Grid &grid, std::int64_t points,
                                      const std::vector<double> &decay, std::int32_t seed)
{
    PlanRandom random(seed);
    return exponential_forced(grid, points, decay, {0}, random);
}

}  // namespace psenv::plan
