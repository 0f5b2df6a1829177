// Reading schedule files for `sched show` and `sched plot`.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli.h"
#include "cmd_sched.h"
#include "tool_streams.h"
#include "sparsamp.h"
#include "treekeep.h"

namespace psenv::sched {
namespace {

// A file-type configuration of `dims` dimensions in tree 1, so that the
// module reads the file with that many columns.
void configure_reader(int dims)
{
    SymbolNode **root = getTreeRootByIndex(1);
    tossVars(root);
    assignString("i", RcreateVar("CStype", root, T_STRING), 0);
    for (int j = 1; j <= dims; ++j) {
        const std::string suffix = j == 1 ? "" : std::to_string(j);
        assignReal(2.0, RcreateVar(("ni" + suffix).c_str(), root, T_REAL), 0);
        assignReal(100.0, RcreateVar(("CSdensity" + suffix).c_str(), root, T_REAL), 0);
    }
}

}  // namespace

std::string delay_name(int k)
{
    // Appended rather than "d" + ...: g++ 12 at -O3 warns falsely (-Wrestrict)
    // about the insertion at the front of a temporary string.
    std::string name = "d";
    name += std::to_string(k + 2);
    return name;
}

std::optional<Schedule> load_schedule(const std::string &path)
{
    const bool absolute = !path.empty() && path[0] == '/';
    if (path.size() + (absolute ? 0 : 2) > 255 || path.size() >= CS_NAME_SIZE) {
        error("schedule file name '" + path + "' is too long (255 characters at most)");
        return std::nullopt;
    }
    // The module would take a directory for a file without rows.
    if (const int reason = unreadable(path); reason != 0) {
        error("cannot open schedule file '" + path + "': " + std::strerror(reason));
        return std::nullopt;
    }
    // The module knows no file without knowing its column count: try each.
    int status = CS_READ_COLUMNS;
    int dims = 0;
    while (status == CS_READ_COLUMNS && dims < CS_MAX_DIMS) {
        configure_reader(++dims);
        CSinit(0, nullptr);
        std::snprintf(getCSname(), CS_NAME_SIZE, "%s", path.c_str());
        status = CSreadSched(".");
    }
    tossVars(getTreeRootByIndex(1));
    switch (status) {
    case CS_READ_OK:
        break;
    case CS_READ_NOFILE:
        error("cannot open schedule file '" + path + "'");
        return std::nullopt;
    case CS_READ_NODATA:
        error("schedule file '" + path + "' has no data row");
        return std::nullopt;
    default:
        error("schedule file '" + path + "': its first row holds more than " +
              std::to_string(CS_MAX_DIMS) + " integers");
        return std::nullopt;
    }
    Schedule schedule;
    schedule.columns.resize(static_cast<std::size_t>(dims));
    for (int k = 0; k < dims; ++k)
        for (int i = 0; i < getCSnum(); ++i)
            schedule.columns[static_cast<std::size_t>(k)].push_back(
                static_cast<int>(getCSval(k, i)));
    return schedule;
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
