// csplan_delays, csplan_transposed: a schedule's rows as delays, and a grid
// given in the wrong order recognised.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "c_interface.h"

using psenv::plan::grid_of;
using psenv::plan::guarded;

extern "C" int csplan_delays(const int *rows, int64_t count, int columns, const double *sw,
                             double *delays, int64_t capacity)
{
    return guarded([&] {
        if (count < 0 || columns < 1 || columns > CSPLAN_MAX_DIMS || sw == nullptr ||
            delays == nullptr || (count > 0 && rows == nullptr))
            return CSPLAN_EINVAL;
        if (std::any_of(sw, sw + columns, [](double w) { return !(w > 0) || !std::isfinite(w); }))
            return CSPLAN_EINVAL;
        if (count > 0 && std::any_of(rows, rows + count * columns, [](int c) { return c < 0; }))
            return CSPLAN_EINVAL;
        if (count > capacity / columns)
            return CSPLAN_ERANGE;
        for (int64_t i = 0; i < count * columns; ++i)
            delays[i] = static_cast<double>(rows[i]) / sw[i % columns];
        return CSPLAN_OK;
    });
}

extern "C" int csplan_transposed(const csplan_grid *grid, const int *rows, int64_t count,
                                 int columns, csplan_grid *reordered)
{
    return guarded([&] {
        const auto checked = grid_of(grid);
        if (!checked || count < 0 || reordered == nullptr || (count > 0 && rows == nullptr))
            return CSPLAN_EINVAL;
        if (columns != checked->dimensions())
            return 0;
        // The largest entry of each column decides what fits.
        std::vector<int> largest(static_cast<std::size_t>(columns), 0);
        for (int64_t i = 0; i < count; ++i)
            for (int k = 0; k < columns; ++k) {
                const int c = rows[i * columns + k];
                if (c < 0)
                    return 0;
                largest[static_cast<std::size_t>(k)] = std::max(largest[static_cast<std::size_t>(k)], c);
            }
        const auto fits = [&](const std::vector<int> &ni) {
            for (int k = 0; k < columns; ++k)
                if (largest[static_cast<std::size_t>(k)] >= ni[static_cast<std::size_t>(k)])
                    return false;
            return true;
        };
        if (fits(checked->ni))
            return 0;
        std::vector<int> order = checked->ni;
        std::reverse(order.begin(), order.end());
        bool found = fits(order);
        if (!found) {
            std::sort(order.begin(), order.end());
            do
                found = fits(order);
            while (!found && std::next_permutation(order.begin(), order.end()));
        }
        if (!found)
            return 0;
        csplan_grid result = *grid;
        std::copy(order.begin(), order.end(), result.ni);
        *reordered = result;
        return 1;
    });
}
