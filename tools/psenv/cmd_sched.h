// Shared parts of the `psenv sched` subcommands.
#ifndef PSENV_TOOL_CMD_SCHED_H
#define PSENV_TOOL_CMD_SCHED_H

#include <optional>
#include <string>
#include <vector>

namespace psenv::sched {

int make(int argc, char **argv);
int show(int argc, char **argv);
int plot(int argc, char **argv);

// A schedule file as the sampling module reads it: columns[k][i] is the
// increment of dimension k in row i.
struct Schedule {
    std::vector<std::vector<int>> columns;
    std::size_t rows() const { return columns.empty() ? 0 : columns[0].size(); }
    int dimensions() const { return static_cast<int>(columns.size()); }
};

// Reads `path` through the sampling module, finding its column count; prints
// the error and returns nothing when it cannot be read.
std::optional<Schedule> load_schedule(const std::string &path);

// Delay name of file column k (0-based) when the dimensions follow "ni",
// "ni2", ... without gaps.
std::string delay_name(int k);

// Per-dimension figures shared by `show` and `plot`.
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
