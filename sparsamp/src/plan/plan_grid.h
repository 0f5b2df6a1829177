// A sampling grid as the sampling module numbers it: one increment count per
// dimension, linear index = sum of c_k * stride_k with dimension 0 fastest.
#ifndef PSENV_PLAN_GRID_H
#define PSENV_PLAN_GRID_H

#include <cstdint>
#include <vector>

namespace psenv::plan {

struct Grid {
    std::vector<int> ni;  // increments per dimension, each >= 1

    int dimensions() const { return static_cast<int>(ni.size()); }
    // Points of the grid; 0 without dimensions, INT64_MAX when it would overflow.
    std::int64_t points() const;
    // Increment of dimension k of the point with linear index `index`.
    int coordinate(std::int64_t index, int k) const;
};

// Rows of a schedule, column-wise like the module holds them: columns[k][i].
using Columns = std::vector<std::vector<int>>;

// The rows of the points `indices` (linear indices, in the order given).
Columns rows_of(const Grid &grid, const std::vector<std::int64_t> &indices);

}  // namespace psenv::plan

#endif
