#include "schedule_columns.h"

#include <algorithm>

namespace psenv::sched {

std::string delay_name(int k)
{
    // Appended rather than "d" + ...: g++ 12 at -O3 warns falsely (-Wrestrict)
    // about the insertion at the front of a temporary string.
    std::string name = "d";
    name += std::to_string(k + 2);
    return name;
}

DimensionStats dimension_stats(const std::vector<int> &column)
{
    DimensionStats stats;
    if (column.empty())
        return stats;
    std::vector<int> sorted = column;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    stats.lowest = sorted.front();
    stats.highest = sorted.back();
    stats.distinct = static_cast<int>(sorted.size());
    for (std::size_t i = 1; i < sorted.size(); ++i)
        stats.largest_gap = std::max(stats.largest_gap, static_cast<long long>(sorted[i]) - sorted[i - 1]);
    // The first quarter of the increments 0..highest, at least one increment.
    const long long extent = static_cast<long long>(std::max(stats.highest, 0)) + 1;
    stats.quarter = static_cast<int>(std::max(1LL, (extent + 3) / 4));
    for (int value : sorted)
        if (value >= 0 && value < stats.quarter)
            ++stats.quarter_taken;
    return stats;
}

}  // namespace psenv::sched
