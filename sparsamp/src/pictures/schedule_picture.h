// A schedule as an SVG picture: a strip of increments, a grid, or a
// projection with a histogram per dimension.
#ifndef PSENV_PICTURES_SCHEDULE_PICTURE_H
#define PSENV_PICTURES_SCHEDULE_PICTURE_H

#include <string>
#include <vector>

namespace psenv::plan {

// The rows of a schedule by column: columns[k][i] is the increment of
// dimension k in row i.  Negative entries are left out of the panels.
struct SchedulePicture {
    std::vector<std::vector<int>> columns;
    std::vector<int> ni;  // the grid's increment counts, or empty when unknown
    std::string title;    // drawn after "Sampling schedule "
    std::size_t rows() const { return columns.empty() ? 0 : columns[0].size(); }
    int dimensions() const { return static_cast<int>(columns.size()); }
};

// One dimension: a strip of all increments with the sampled ones filled;
// two: the grid with the sampled cells filled; three or more: the
// projection on dimensions a and b (0-based, different; a darker cell holds
// more points) and a histogram of sampled points per increment for each
// dimension.  Axes run to ni - 1 when the grid is known (further when an
// entry lies beyond), else to the largest entry.
std::string schedule_picture(const SchedulePicture &schedule, int a, int b);

}  // namespace psenv::plan

#endif
