// Reading schedule files for the `psenv sched` commands.
#include "sched/schedule.h"

#include <algorithm>

#include "core/report.h"
#include "sparsamp.h"

namespace psenv::sched {

std::vector<int> Schedule::row_major() const
{
    const auto width = static_cast<std::size_t>(dimensions());
    std::vector<int> rows(this->rows() * width);
    for (std::size_t i = 0; i < this->rows(); ++i)
        for (std::size_t k = 0; k < width; ++k)
            rows[i * width + k] = columns[k][i];
    return rows;
}

std::string delay_name(int k)
{
    // Appended rather than "d" + ...: g++ 12 at -O3 warns falsely (-Wrestrict)
    // about the insertion at the front of a temporary string.
    std::string name = "d";
    name += std::to_string(k + 2);
    return name;
}

int load_schedule(const std::string &path, Schedule &schedule)
{
    int dims = 0;
    char detail[CS_NAME_SIZE + 128];
    if (CSreadSchedFile(path.c_str(), &dims, nullptr, detail, sizeof detail) != CS_READ_OK) {
        error(detail);
        return kExitFailure;
    }
    schedule.columns.clear();
    schedule.columns.resize(static_cast<std::size_t>(dims));
    for (int k = 0; k < dims; ++k)
        for (int i = 0; i < getCSnum(); ++i)
            schedule.columns[static_cast<std::size_t>(k)].push_back(
                static_cast<int>(getCSval(k, i)));
    return kExitOk;
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
        stats.largest_gap =
            std::max(stats.largest_gap, static_cast<long long>(sorted[i]) - sorted[i - 1]);
    // The first quarter of the increments 0..highest, at least one increment.
    const long long extent = static_cast<long long>(std::max(stats.highest, 0)) + 1;
    stats.quarter = static_cast<int>(std::max(1LL, (extent + 3) / 4));
    for (int value : sorted)
        if (value >= 0 && value < stats.quarter)
            ++stats.quarter_taken;
    return stats;
}

}  // namespace psenv::sched
