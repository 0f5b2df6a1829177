// Schedule files as the `psenv sched` commands read them.
#ifndef PSENV_TOOL_SCHED_SCHEDULE_H
#define PSENV_TOOL_SCHED_SCHEDULE_H

#include <string>
#include <vector>

namespace psenv::sched {

// A schedule file as the sampling module reads it: columns[k][i] is the
// increment of dimension k in row i.
struct Schedule {
    std::vector<std::vector<int>> columns;
    std::size_t rows() const { return columns.empty() ? 0 : columns[0].size(); }
    int dimensions() const { return static_cast<int>(columns.size()); }
    // The rows one after another, as the planner takes them.
    std::vector<int> row_major() const;
};

// Reads `path` through the sampling module, finding its column count:
// kExitOk, or kExitFailure after saying why it cannot be read.
int load_schedule(const std::string &path, Schedule &schedule);

// Delay name of file column k (0-based) when the dimensions follow "ni",
// "ni2", ... without gaps.
std::string delay_name(int k);

// Per-dimension figures shared by `show` and `plot`.
struct DimensionStats {
    int lowest = 0;
    int highest = 0;
    int distinct = 0;           // distinct increments sampled
    long long largest_gap = 0;  // largest step between consecutive sampled increments
    int quarter = 0;            // increments in the first quarter of 0..highest
    int quarter_taken = 0;      // of those, how many are sampled
};
DimensionStats dimension_stats(const std::vector<int> &column);

// Writes the strict reading's findings for `path` (check.cpp) as "psenv:
// warning: PATH:LINE: ..." on standard error; returns how many there were.
int warn_about_schedule(const std::string &path, const std::vector<int> &ni);

// The picture `sched plot` draws.  One dimension: a strip of all increments
// with the sampled ones filled; two: the grid with the sampled cells filled;
// three or more: the projection on the dimensions a and b (0-based,
// different) with a darker cell for more points, and a histogram of points
// per increment for each dimension.  Axes run to ni - 1 where `ni` gives the
// dimension, else to the largest entry.  `file` names the schedule in the
// title (none when empty).
std::string schedule_picture(const Schedule &schedule, const std::string &file, int a, int b,
                             const std::vector<int> &ni);

}  // namespace psenv::sched

#endif
