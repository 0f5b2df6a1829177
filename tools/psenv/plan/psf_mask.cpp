// The sampling mask and the figures that need no transform.
#include <algorithm>
#include <cmath>
#include <limits>

#include "psf.h"

namespace psenv::plan {

bool sampling_mask(const Grid &grid, const Columns &columns, std::vector<unsigned char> &mask,
                   std::string &problem)
{
    if (static_cast<int>(columns.size()) != grid.dimensions()) {
        problem = "the schedule has " + std::to_string(columns.size()) + " column" +
                  (columns.size() == 1 ? "" : "s") + " but the grid " +
                  std::to_string(grid.dimensions()) + " dimension" +
                  (grid.dimensions() == 1 ? "" : "s");
        return false;
    }
    mask.assign(static_cast<std::size_t>(grid.points()), 0);
    const std::size_t rows = columns.empty() ? 0 : columns.front().size();
    for (std::size_t i = 0; i < rows; ++i) {
        std::int64_t index = 0;
        std::int64_t stride = 1;
        for (int k = 0; k < grid.dimensions(); ++k) {
            const int n = grid.ni[static_cast<std::size_t>(k)];
            const int c = columns[static_cast<std::size_t>(k)][i];
            if (c < 0 || c >= n) {
                problem = "row " + std::to_string(i + 1) + ": entry " + std::to_string(c) +
                          " of dimension " + std::to_string(k + 1) + " lies outside 0.." +
                          std::to_string(n - 1);
                return false;
            }
            index += c * stride;
            stride *= n;
        }
        mask[static_cast<std::size_t>(index)] = 1;
    }
    return true;
}

std::vector<std::int64_t> largest_gaps(const Grid &grid, const std::vector<unsigned char> &mask)
{
    std::vector<std::int64_t> gaps(static_cast<std::size_t>(grid.dimensions()), 0);
    const std::int64_t total = grid.points();
    std::int64_t stride = 1;
    for (int k = 0; k < grid.dimensions(); ++k) {
        const std::int64_t n = grid.ni[static_cast<std::size_t>(k)];
        const std::int64_t block = stride * n;
        std::int64_t &largest = gaps[static_cast<std::size_t>(k)];
        // All lines of a block side by side, so that the mask is read in order.
        std::vector<std::int64_t> runs(static_cast<std::size_t>(stride));
        for (std::int64_t high = 0; high < total; high += block) {
            std::fill(runs.begin(), runs.end(), 0);
            for (std::int64_t j = 0; j < n; ++j) {
                const unsigned char *row = mask.data() + high + j * stride;
                for (std::int64_t low = 0; low < stride; ++low) {
                    std::int64_t &run = runs[static_cast<std::size_t>(low)];
                    run = row[low] ? 0 : run + 1;
                    largest = std::max(largest, run);
                }
            }
        }
        stride = block;
    }
    return gaps;
}

double peak_to_sidelobe_db(double max_sidelobe)
{
    if (max_sidelobe <= 0)
        return std::numeric_limits<double>::infinity();
    return -20.0 * std::log10(max_sidelobe);
}

}  // namespace psenv::plan
