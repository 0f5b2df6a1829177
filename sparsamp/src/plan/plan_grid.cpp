#include "plan_grid.h"

#include <cstdint>

namespace psenv::plan {

std::int64_t Grid::points() const
{
    if (ni.empty())
        return 0;
    // Saturating: ten dimensions of up to 2^31 increments overflow 64 bits,
    // and callers compare the result with their limits.
    std::int64_t total = 1;
    for (int n : ni) {
        if (n <= 0)
            return 0;
        if (total > INT64_MAX / n)
            return INT64_MAX;
        total *= n;
    }
    return total;
}

int Grid::coordinate(std::int64_t index, int k) const
{
    for (int j = 0; j < k; ++j)
        index /= ni[static_cast<std::size_t>(j)];
    return static_cast<int>(index % ni[static_cast<std::size_t>(k)]);
}

Columns rows_of(const Grid &grid, const std::vector<std::int64_t> &indices)
{
    Columns columns(static_cast<std::size_t>(grid.dimensions()));
    for (auto &column : columns)
        column.reserve(indices.size());
    for (std::int64_t index : indices)
        for (int k = 0; k < grid.dimensions(); ++k) {
            columns[static_cast<std::size_t>(k)].push_back(
                static_cast<int>(index % grid.ni[static_cast<std::size_t>(k)]));
            index /= grid.ni[static_cast<std::size_t>(k)];
        }
    return columns;
}

}  // namespace psenv::plan
