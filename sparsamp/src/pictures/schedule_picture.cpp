#include "schedule_picture.h"

#include <algorithm>
#include <cstddef>

#include "axis_ticks.h"
#include "psenv_util/svg_writer.h"

namespace psenv::plan {
namespace {

constexpr const char *kTaken = "#1f4e9c";
constexpr const char *kEmpty = "#e6eaf0";
constexpr const char *kInk = "#222222";
constexpr double kLeft = 80;
constexpr double kPanel = 560;      // longer side of a grid panel
constexpr int kMostCells = 512;     // cells per axis before increments are binned
constexpr int kMostBars = 256;
constexpr double kCharWidth = 6.6;  // of an 11-pixel digit, generously
constexpr double kLineHeight = 12;
constexpr double kShortestSide = 120;  // of a grid panel, however narrow the grid

// One axis of a panel: the increments 0..extent-1 in `cells` equal bins.
struct Axis {
    long long extent = 1;
    int cells = 1;
    int dimension = 0;
    int cell_of(int increment) const
    {
        return static_cast<int>(static_cast<long long>(increment) * cells / extent);
    }
};

// The largest entry of a column (0 for none).
long long highest(const std::vector<int> &column)
{
    return column.empty() ? 0 : *std::max_element(column.begin(), column.end());
}

// The increments 0..ni-1 when the grid is known (or further, to hold the
// largest entry), else 0..the largest entry.
Axis make_axis(const SchedulePicture &schedule, int k, int most)
{
    const long long top = highest(schedule.columns[static_cast<std::size_t>(k)]);
    Axis axis;
    axis.dimension = k;
    axis.extent = static_cast<std::size_t>(k) < schedule.ni.size()
                      ? std::max<long long>(schedule.ni[static_cast<std::size_t>(k)], top + 1)
                      : std::max(top, 0LL) + 1;
    axis.cells = static_cast<int>(std::min<long long>(axis.extent, most));
    return axis;
}

// Dimension k of a schedule file is the delay d(k+2).
std::string axis_title(const Axis &axis)
{
    std::string title = "d";
    title += std::to_string(axis.dimension + 2);
    return title + " increment (dimension " + std::to_string(axis.dimension + 1) + ")";
}

// Tick labels of an axis drawn from `from` over `length` pixels.
void draw_ticks(util::SvgWriter &svg, const Axis &axis, double from, double length, double at,
                bool horizontal)
{
    const double unit = length / axis.extent;
    for (long long t : axis_ticks(0, axis.extent - 1, length, horizontal ? kCharWidth : 0,
                                        kLineHeight)) {
        const double pos = from + (t + 0.5) * unit;
        if (horizontal) {
            svg.line(pos, at, pos, at + 4, kInk);
            svg.text(pos, at + 16, std::to_string(t), "middle", 11);
        } else {
            svg.line(at - 4, pos, at, pos, kInk);
            svg.text(at - 7, pos + 4, std::to_string(t), "end", 11);
        }
    }
}

// Filled cells of a grid panel; the shade says how many points a cell holds
// relative to the fullest, in four steps so that runs can be merged.
void draw_cells(util::SvgWriter &svg, const std::vector<long long> &counts, const Axis &x, const Axis &y,
                double left, double top, double cell_w, double cell_h)
{
    const long long most = *std::max_element(counts.begin(), counts.end());
    auto level = [most](long long count) {
        return count == 0 ? 0 : static_cast<int>((4 * count + most - 1) / most);
    };
    for (int row = 0; row < y.cells; ++row) {
        const double top_of_row = top + (y.cells - 1 - row) * cell_h;  // origin at the bottom
        int c = 0;
        while (c < x.cells) {
            const int lv = level(counts[static_cast<std::size_t>(row) * x.cells + c]);
            int end = c + 1;
            while (end < x.cells && level(counts[static_cast<std::size_t>(row) * x.cells + end]) == lv)
                ++end;
            if (lv > 0)
                svg.rect(left + c * cell_w, top_of_row, (end - c) * cell_w, cell_h, kTaken,
                         lv / 4.0);
            c = end;
        }
    }
}

// A grid panel of dimensions x and y (y.dimension < 0: a one-dimensional strip).
double draw_grid(util::SvgWriter &svg, const SchedulePicture &schedule, const Axis &x, const Axis &y,
                 double top, long long *fullest = nullptr)
{
    const bool strip = y.dimension < 0;
    const int longest = std::max(x.cells, y.cells);
    const double cell_w = strip ? kPanel / x.cells : std::max(kPanel / longest, kShortestSide / x.cells);
    const double cell_h = strip ? 36.0 : std::max(kPanel / longest, kShortestSide / y.cells);
    const double width = cell_w * x.cells;
    const double height = cell_h * y.cells;

    std::vector<long long> counts(static_cast<std::size_t>(x.cells) * static_cast<std::size_t>(y.cells));
    const auto &xs = schedule.columns[static_cast<std::size_t>(x.dimension)];
    for (std::size_t i = 0; i < schedule.rows(); ++i) {
        const int yi = strip ? 0 : schedule.columns[static_cast<std::size_t>(y.dimension)][i];
        if (xs[i] < 0 || yi < 0)
            continue;
        ++counts[static_cast<std::size_t>(y.cell_of(yi)) * x.cells + x.cell_of(xs[i])];
    }
    svg.rect(kLeft, top, width, height, kEmpty);
    draw_cells(svg, counts, x, y, kLeft, top, cell_w, cell_h);
    if (fullest != nullptr)
        *fullest = *std::max_element(counts.begin(), counts.end());
    svg.line(kLeft, top + height, kLeft + width, top + height, kInk);
    draw_ticks(svg, x, kLeft, width, top + height, true);
    svg.text(kLeft + width / 2, top + height + 34, axis_title(x), "middle", 12);
    if (!strip) {
        svg.line(kLeft, top, kLeft, top + height, kInk);
        // Ticks count from the bottom: mirror the axis.
        const double unit = height / y.extent;
        for (long long t : axis_ticks(0, y.extent - 1, height, 0, kLineHeight)) {
            const double pos = top + height - (t + 0.5) * unit;
            svg.line(kLeft - 4, pos, kLeft, pos, kInk);
            svg.text(kLeft - 7, pos + 4, std::to_string(t), "end", 11);
        }
        svg.text(kLeft - 48, top + height / 2, axis_title(y), "middle", 12, true);
    }
    return top + height + 50;
}

// Histogram of the points per increment of dimension k.
double draw_histogram(util::SvgWriter &svg, const SchedulePicture &schedule, int k, double top)
{
    const Axis x = make_axis(schedule, k, kMostBars);
    constexpr double kHeight = 90;
    std::vector<long long> counts(static_cast<std::size_t>(x.cells));
    for (int value : schedule.columns[static_cast<std::size_t>(k)])
        if (value >= 0)
            ++counts[static_cast<std::size_t>(x.cell_of(value))];
    const long long most = std::max(1LL, *std::max_element(counts.begin(), counts.end()));
    const double bar = kPanel / x.cells;
    svg.rect(kLeft, top, kPanel, kHeight, "#f5f6f8");
    for (int c = 0; c < x.cells; ++c)
        if (counts[static_cast<std::size_t>(c)] > 0) {
            const double h = kHeight * static_cast<double>(counts[static_cast<std::size_t>(c)]) /
                             static_cast<double>(most);
            const double gap = bar >= 4 ? bar * 0.15 : 0.0;  // separate wide bars
            svg.rect(kLeft + c * bar + gap / 2, top + kHeight - h, bar - gap, h, kTaken);
        }
    svg.line(kLeft, top + kHeight, kLeft + kPanel, top + kHeight, kInk);
    svg.line(kLeft, top, kLeft, top + kHeight, kInk);
    svg.text(kLeft - 7, top + 10, std::to_string(most), "end", 11);
    svg.text(kLeft - 7, top + kHeight, "0", "end", 11);
    svg.text(kLeft - 48, top + kHeight / 2, "points", "middle", 12, true);
    draw_ticks(svg, x, kLeft, kPanel, top + kHeight, true);
    svg.text(kLeft + kPanel / 2, top + kHeight + 34, axis_title(x), "middle", 12);
    return top + kHeight + 50;
}

// What the four shades of a projection mean, in points per cell.
double draw_shade_legend(util::SvgWriter &svg, long long fullest, double top)
{
    svg.text(kLeft, top + 4, "points per cell:", "start", 11);
    double x = kLeft + 96;
    long long from = 1;
    for (int level = 1; level <= 4; ++level) {
        const long long to = fullest * level / 4;  // a cell with c points has level ceil(4c / fullest)
        if (to < from)
            continue;
        svg.rect(x, top - 6, 14, 14, kEmpty);
        svg.rect(x, top - 6, 14, 14, kTaken, level / 4.0);
        const std::string label = from == to ? std::to_string(to)
                                             : std::to_string(from) + "\u2013" + std::to_string(to);
        svg.text(x + 19, top + 5, label, "start", 11);
        x += 19 + kCharWidth * static_cast<double>(label.size()) + 18;
        from = to + 1;
    }
    return top + 24;
}

}  // namespace

std::string schedule_picture(const SchedulePicture &schedule, int a, int b)
{
    // The picture's height depends on what is drawn: it is laid out twice.
    auto draw = [&](util::SvgWriter &svg) {
        // A schedule given without a name (from Python) has none to show.
        svg.text(kLeft, 24,
                 schedule.title.empty() ? std::string("Sampling schedule")
                                        : "Sampling schedule " + schedule.title,
                 "start", 15);
        const std::string count = std::to_string(schedule.rows()) + " points, " +
                                  std::to_string(schedule.dimensions()) + " dimension" +
                                  (schedule.dimensions() == 1 ? "" : "s");
        double top = 60;
        if (schedule.dimensions() == 1) {
            svg.text(kLeft, 42, count + "; filled: sampled increments", "start", 12);
            return draw_grid(svg, schedule, make_axis(schedule, 0, kMostCells * 2),
                             Axis{1, 1, -1}, top);
        }
        const bool projection = schedule.dimensions() > 2;
        svg.text(kLeft, 42,
                 count + (projection ? "; projection, darker cells hold more points"
                                     : "; filled: sampled grid points"),
                 "start", 12);
        long long fullest = 0;
        top = draw_grid(svg, schedule, make_axis(schedule, a, kMostCells),
                        make_axis(schedule, b, kMostCells), top, &fullest);
        if (projection) {
            top = draw_shade_legend(svg, fullest, top);
            for (int k = 0; k < schedule.dimensions(); ++k)
                top = draw_histogram(svg, schedule, k, top + 10);
        }
        return top;
    };
    util::SvgWriter measure(kLeft + kPanel + 40, 100);
    const double height = draw(measure);
    util::SvgWriter svg(kLeft + kPanel + 40, height);
    draw(svg);
    return svg.finish();
}

}  // namespace psenv::plan
