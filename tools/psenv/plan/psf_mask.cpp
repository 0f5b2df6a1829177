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
    // Runs are counted in 32 bits: no dimension holds 2^31 increments.
    std::vector<std::int64_t> gaps(static_cast<std::size_t>(grid.dimensions()), 0);
    const std::int64_t total = grid.points();
    const unsigned char *bytes = mask.data();
    std::int64_t stride = 1;
    for (int k = 0; k < grid.dimensions(); ++k) {
        const std::int64_t n = grid.ni[static_cast<std::size_t>(k)];
        const std::int64_t block = stride * n;
        std::uint32_t largest = 0;
        if (stride == 1) {
            // Sixteen lines at a time: their runs are independent, so the
            // processor overlaps them instead of waiting on one chain.
            constexpr std::int64_t kLanes = 16;
            const std::int64_t lines = total / n;
            std::int64_t line = 0;
            for (; line + kLanes <= lines; line += kLanes) {
                std::uint32_t run[kLanes] = {};
                std::uint32_t top[kLanes] = {};
                const unsigned char *base = bytes + line * n;
                for (std::int64_t j = 0; j < n; ++j)
                    for (std::int64_t g = 0; g < kLanes; ++g) {
                        // Without a branch: sampled points fall at random.
                        run[g] = (run[g] + 1) * static_cast<std::uint32_t>(base[g * n + j] == 0);
                        top[g] = std::max(top[g], run[g]);
                    }
                for (std::uint32_t t : top)
                    largest = std::max(largest, t);
            }
            for (; line < lines; ++line) {
                std::uint32_t run = 0;
                for (std::int64_t j = 0; j < n; ++j) {
                    run = (run + 1) * static_cast<std::uint32_t>(bytes[line * n + j] == 0);
                    largest = std::max(largest, run);
                }
            }
        } else {
            // All lines of a block side by side, so that the mask is read in
            // order; each line keeps its own run and its own largest run.
            std::vector<std::uint32_t> runs(static_cast<std::size_t>(stride));
            std::vector<std::uint32_t> most(static_cast<std::size_t>(stride), 0);
            for (std::int64_t high = 0; high < total; high += block) {
                std::fill(runs.begin(), runs.end(), 0);
                for (std::int64_t j = 0; j < n; ++j) {
                    const unsigned char *row = bytes + high + j * stride;
                    std::uint32_t *run = runs.data();
                    std::uint32_t *top = most.data();
                    for (std::int64_t low = 0; low < stride; ++low) {
                        run[low] = (run[low] + 1) * static_cast<std::uint32_t>(row[low] == 0);
                        top[low] = std::max(top[low], run[low]);
                    }
                }
            }
            largest = *std::max_element(most.begin(), most.end());
        }
        gaps[static_cast<std::size_t>(k)] = largest;
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
