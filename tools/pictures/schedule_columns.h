// A schedule held column by column, as the sampling module serves it, and
// the per-dimension figures the tool's listings and pictures show.
#ifndef PSENV_PICTURES_SCHEDULE_COLUMNS_H
#define PSENV_PICTURES_SCHEDULE_COLUMNS_H

#include <cstddef>
#include <string>
#include <vector>

namespace psenv::sched {

// columns[k][i] is the increment of dimension k in row i.
struct Schedule {
    std::vector<std::vector<int>> columns;
    std::size_t rows() const { return columns.empty() ? 0 : columns[0].size(); }
    int dimensions() const { return static_cast<int>(columns.size()); }
};

// Delay name of column k (0-based) when the dimensions follow "ni",
// "ni2", ... without gaps.
std::string delay_name(int k);

struct DimensionStats {
    int lowest = 0;
    int highest = 0;
    int distinct = 0;      // distinct increments sampled
    long long largest_gap = 0;  // largest step between consecutive sampled increments
    int quarter = 0;       // increments in the first quarter of 0..highest
    int quarter_taken = 0; // of those, how many are sampled
};
DimensionStats dimension_stats(const std::vector<int> &column);

}  // namespace psenv::sched

#endif
