// A sparse run's points, through the sampling module: it reads the current
// tree (1), the one this library loads the parameter file into, and makes or
// reads the schedule in the experiment directory.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "errsink.h"
#include "sparsamp.h"
#include "treekeep.h"
#include "walk_parts.h"

namespace psg {
namespace {

constexpr int kCurrentTree = 1;

std::string schedule_path(const char *expdir)
{
    const char *name = getCSname();
    if (name[0] == '/')
        return name;
    return std::string(expdir) + "/" + name;
}

const char *read_failure(int code)
{
    switch (code) {
    case CS_READ_NOFILE:
        return "cannot be opened (missing, unreadable, or its path longer than 255 characters)";
    case CS_READ_NODATA:
        return "has no first row of increments";
    case CS_READ_COLUMNS:
        return "has a first row whose count of increments differs from the number of sparse "
               "dimensions";
    default:
        return "cannot be read";
    }
}

// The walked dimension a schedule column steps: "d2" is dimension 1.
int column_dimension(const char *delay, const std::vector<IndirectDimension> &dimensions)
{
    for (size_t at = 0; at < dimensions.size(); ++at)
        if (delay_name(dimensions[at].number) == delay)
            return static_cast<int>(at);
    return -1;
}

// Which walked dimension each column of the schedule fills; every walked
// dimension must have one.
bool match_columns(const std::vector<IndirectDimension> &dimensions, std::vector<int> &column_of)
{
    const int columns = getCSdimension();
    column_of.assign(dimensions.size(), -1);
    for (int k = 0; k < columns; ++k) {
        const char *delay = getCSpar(k);
        int at = column_dimension(delay, dimensions);
        if (at < 0) {
            Werrprintf("sampling: the schedule's dimension %d steps %s, which the run does not "
                       "walk; it walks d2, d3 and d4 (ni, ni2 and ni3, with sw1, sw2 and sw3)",
                       k + 1, delay);
            return false;
        }
        column_of[static_cast<size_t>(at)] = k;
    }
    for (size_t at = 0; at < dimensions.size(); ++at)
        if (column_of[at] < 0) {
            const int j = dimensions[at].number;
            const std::string density = j == 1 ? "CSdensity" : "CSdensity" + std::to_string(j);
            Werrprintf("sampling: %s = %d but indirect dimension %d is not sampled sparsely (%s "
                       "missing, inactive or outside 0 to 100); a sparse run takes every "
                       "walked dimension from the schedule",
                       increments_name(j).c_str(), dimensions[at].increments, j,
                       density.c_str());
            return false;
        }
    return true;
}

bool obtain_schedule(const char *expdir, std::string &path)
{
    if (CSinit(1, expdir) != 0) {
        CSinfo info;
        CSgetInfo(&info);
        path = schedule_path(expdir);
        if (info.readStatus < 0)
            Werrprintf("schedule %s %s", path.c_str(), read_failure(info.readStatus));
        else
            Werrprintf("sampling: the sampling module refused the configuration (a grid of "
                       "2147483648 points or more)");
        return false;
    }
    path = schedule_path(expdir);
    if (getCSdimension() == 0) {
        Werrprintf("sampling = 'sparse' but no indirect dimension is sampled sparsely: ni above 1 "
                   "with an active CSdensity above 0 and at most 100 is needed");
        return false;
    }
    if (CStypeIndexed() == 0) {
        Werrprintf("CStype = 'd': the schedule's entries are not increment indices; a run walks "
                   "a generated schedule or one of increment indices (CStype 'i')");
        return false;
    }
    if (int code = CSgetSched(expdir); code != 0) {
        Werrprintf("schedule %s %s", path.c_str(), read_failure(code));
        return false;
    }
    if (int error = CSwriteStatus(); error != 0) {
        Werrprintf("schedule %s: cannot be written: %s", path.c_str(), std::strerror(error));
        return false;
    }
    if (getCSnum() < 1) {
        Werrprintf("schedule %s holds no point", path.c_str());
        return false;
    }
    return true;
}

} // namespace

bool sparse_run_requested()
{
    char sampling[256] = "";
    return P_getstring(kCurrentTree, "sampling", sampling, 1, sizeof sampling) == P_OK &&
           std::strcmp(sampling, "sparse") == 0;
}

bool read_schedule(const char *expdir, const std::vector<IndirectDimension> &dimensions,
                   int elements_per_point, std::vector<GridPoint> &points, std::string &path)
{
    points.clear();
    std::vector<int> column_of;
    if (!obtain_schedule(expdir, path) || !match_columns(dimensions, column_of))
        return false;
    const int rows = getCSnum();
    points.reserve(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        GridPoint point{};
        for (size_t at = 0; at < dimensions.size(); ++at) {
            const double value = getCSval(column_of[at], row);
            const int increments = dimensions[at].increments;
            if (!(value >= 0.0 && value < increments)) {
                const int j = dimensions[at].number;
                Werrprintf("schedule %s: row %d (element %lld): increment %.0f of %s is outside "
                           "the grid: %s = %d gives increments 0 to %d",
                           path.c_str(), row + 1,
                           static_cast<long long>(row) * elements_per_point + 1, value,
                           delay_name(j).c_str(), increments_name(j).c_str(), increments,
                           increments - 1);
                return false;
            }
            point[at] = static_cast<int>(value);
        }
        points.push_back(point);
    }
    return true;
}

} // namespace psg
