// The periodicity guard: a schedule whose increments along a dimension share
// a common stride s > 1 samples only every s-th increment there, and its
// point-spread function has a full-height ghost 1/s of the way across.
#include <algorithm>
#include <numeric>

#include "generators.h"

namespace psenv::plan {

std::vector<std::int64_t> common_strides(const Grid &grid, const std::vector<std::int64_t> &indices)
{
    std::vector<std::int64_t> strides(static_cast<std::size_t>(grid.dimensions()), 0);
    for (std::int64_t index : indices)
        for (std::size_t k = 0; k < strides.size(); ++k) {
            strides[k] = std::gcd(strides[k], index % grid.ni[k]);
            index /= grid.ni[k];
        }
    return strides;
}

bool periodic(const Grid &grid, const std::vector<std::int64_t> &indices)
{
    const auto strides = common_strides(grid, indices);
    return std::any_of(strides.begin(), strides.end(), [](std::int64_t s) { return s > 1; });
}

namespace {

// Normalised distance sum from the origin, the measure of "far".
double distance(const Grid &grid, std::int64_t index)
{
    double sum = 0;
    for (const int n : grid.ni) {
        if (n > 1)
            sum += static_cast<double>(index % n) / (n - 1);
        index /= n;
    }
    return sum;
}

}  // namespace

bool break_periodicity(const Grid &grid, std::vector<std::int64_t> &indices,
                       const std::vector<std::int64_t> &forced)
{
    std::vector<std::int64_t> placed;
    for (;;) {
        const auto strides = common_strides(grid, indices);
        const auto dimension = std::find_if(strides.begin(), strides.end(),
                                            [](std::int64_t s) { return s > 1; });
        if (dimension == strides.end())
            return true;
        const auto k = static_cast<std::size_t>(dimension - strides.begin());
        // One increment along dimension k: its stride in linear indices.
        std::int64_t unit = 1;
        for (std::size_t j = 0; j < k; ++j)
            unit *= grid.ni[j];
        std::size_t drop = indices.size();
        double farthest = -1;
        for (std::size_t i = 0; i < indices.size(); ++i) {
            const std::int64_t m = indices[i];
            if (m == 0 || std::binary_search(forced.begin(), forced.end(), m) ||
                std::find(placed.begin(), placed.end(), m) != placed.end())
                continue;
            const double d = distance(grid, m);
            if (d >= farthest) {
                farthest = d;
                drop = i;
            }
        }
        if (drop == indices.size())
            return false;
        // The stride exceeds 1, so the point one increment out is not taken.
        indices.erase(indices.begin() + static_cast<std::ptrdiff_t>(drop));
        indices.insert(std::lower_bound(indices.begin(), indices.end(), unit), unit);
        placed.push_back(unit);
    }
}

}  // namespace psenv::plan
