// psenv sched plot: a schedule file drawn as a self-contained SVG picture.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/command.h"
#include "core/numbers.h"
#include "psenv_util/file_replacement.h"
#include "psenv_util/svg_writer.h"
#include "sched/axis_ticks.h"
#include "sched/grid.h"
#include "sched/schedule.h"

namespace psenv::sched {

using util::SvgWriter;
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
    int extent = 1;
    int cells = 1;
    int dimension = 0;
    int cell_of(int increment) const
    {
        return static_cast<int>(static_cast<long long>(increment) * cells / extent);
    }
};

// The increments 0..ni-1 when the grid is known, else 0..the largest entry.
Axis make_axis(const Schedule &schedule, int k, int most, const std::vector<int> &ni)
{
    const DimensionStats stats = dimension_stats(schedule.columns[static_cast<std::size_t>(k)]);
    Axis axis;
    axis.dimension = k;
    axis.extent = static_cast<std::size_t>(k) < ni.size() ? std::max(ni[static_cast<std::size_t>(k)], stats.highest + 1)
                                                         : std::max(stats.highest, 0) + 1;
    axis.cells = std::min(axis.extent, most);
    return axis;
}

std::string axis_title(const Axis &axis)
{
    return delay_name(axis.dimension) + " increment (dimension " +
           std::to_string(axis.dimension + 1) + ")";
}

// Tick labels of an axis drawn from `from` over `length` pixels.
void draw_ticks(SvgWriter &svg, const Axis &axis, double from, double length, double at,
                bool horizontal)
{
    const double unit = length / axis.extent;
    for (long long t : plan::axis_ticks(0, axis.extent - 1, length, horizontal ? kCharWidth : 0,
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
void draw_cells(SvgWriter &svg, const std::vector<int> &counts, const Axis &x, const Axis &y,
                double left, double top, double cell_w, double cell_h)
{
    const int most = *std::max_element(counts.begin(), counts.end());
    auto level = [most](int count) { return count == 0 ? 0 : (4 * count + most - 1) / most; };
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
double draw_grid(SvgWriter &svg, const Schedule &schedule, const Axis &x, const Axis &y,
                 double top, int *fullest = nullptr)
{
    const bool strip = y.dimension < 0;
    const int longest = std::max(x.cells, y.cells);
    const double cell_w = strip ? kPanel / x.cells : std::max(kPanel / longest, kShortestSide / x.cells);
    const double cell_h = strip ? 36.0 : std::max(kPanel / longest, kShortestSide / y.cells);
    const double width = cell_w * x.cells;
    const double height = cell_h * y.cells;

    std::vector<int> counts(static_cast<std::size_t>(x.cells) * static_cast<std::size_t>(y.cells));
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
        for (long long t : plan::axis_ticks(0, y.extent - 1, height, 0, kLineHeight)) {
            const double pos = top + height - (t + 0.5) * unit;
            svg.line(kLeft - 4, pos, kLeft, pos, kInk);
            svg.text(kLeft - 7, pos + 4, std::to_string(t), "end", 11);
        }
        svg.text(kLeft - 48, top + height / 2, axis_title(y), "middle", 12, true);
    }
    return top + height + 50;
}

// Histogram of the points per increment of dimension k.
double draw_histogram(SvgWriter &svg, const Schedule &schedule, int k, double top,
                      const std::vector<int> &ni)
{
    const Axis x = make_axis(schedule, k, kMostBars, ni);
    constexpr double kHeight = 90;
    std::vector<int> counts(static_cast<std::size_t>(x.cells));
    for (int value : schedule.columns[static_cast<std::size_t>(k)])
        if (value >= 0)
            ++counts[static_cast<std::size_t>(x.cell_of(value))];
    const int most = std::max(1, *std::max_element(counts.begin(), counts.end()));
    const double bar = kPanel / x.cells;
    svg.rect(kLeft, top, kPanel, kHeight, "#f5f6f8");
    for (int c = 0; c < x.cells; ++c)
        if (counts[static_cast<std::size_t>(c)] > 0) {
            const double h = kHeight * counts[static_cast<std::size_t>(c)] / most;
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
double draw_shade_legend(SvgWriter &svg, int fullest, double top)
{
    svg.text(kLeft, top + 4, "points per cell:", "start", 11);
    double x = kLeft + 96;
    int from = 1;
    for (int level = 1; level <= 4; ++level) {
        const int to = fullest * level / 4;  // a cell with c points has level ceil(4c / fullest)
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

// The picture's height depends on what is drawn; lay it out twice.
std::string schedule_picture(const Schedule &schedule, const std::string &file, int a, int b,
                             const std::vector<int> &ni)
{
    auto draw = [&](SvgWriter &svg) {
        // A schedule given without a file (from Python) has no name to show.
        svg.text(kLeft, 24, file.empty() ? std::string("Sampling schedule") : "Sampling schedule " + file,
                 "start", 15);
        const std::string count = std::to_string(schedule.rows()) + " points, " +
                                  std::to_string(schedule.dimensions()) + " dimension" +
                                  (schedule.dimensions() == 1 ? "" : "s");
        double top = 60;
        if (schedule.dimensions() == 1) {
            svg.text(kLeft, 42, count + "; filled: sampled increments", "start", 12);
            return draw_grid(svg, schedule, make_axis(schedule, 0, kMostCells * 2, ni),
                             Axis{1, 1, -1}, top);
        }
        const bool projection = schedule.dimensions() > 2;
        svg.text(kLeft, 42,
                 count + (projection ? "; projection, darker cells hold more points"
                                     : "; filled: sampled grid points"),
                 "start", 12);
        int fullest = 0;
        top = draw_grid(svg, schedule, make_axis(schedule, a, kMostCells, ni),
                        make_axis(schedule, b, kMostCells, ni), top, &fullest);
        if (projection) {
            top = draw_shade_legend(svg, fullest, top);
            for (int k = 0; k < schedule.dimensions(); ++k)
                top = draw_histogram(svg, schedule, k, top + 10, ni);
        }
        return top;
    };
    SvgWriter measure(kLeft + kPanel + 40, 100);
    const double height = draw(measure);
    SvgWriter svg(kLeft + kPanel + 40, height);
    draw(svg);
    return svg.finish();
}

namespace {

// "A,B" with two different dimensions of the schedule, 1-based.
bool parse_dims(const std::string &text, int dimensions, int *a, int *b)
{
    const auto dims = parse_whole_list(text, 1, dimensions, 2);
    if (!dims || dims->size() != 2 || (*dims)[0] == (*dims)[1])
        return false;
    *a = static_cast<int>((*dims)[0]) - 1;
    *b = static_cast<int>((*dims)[1]) - 1;
    return true;
}

int run(const Call &call)
{
    const Args &args = call.args;
    if (args.operands.size() != 1)
        return call.usage("sched plot needs exactly one schedule file");
    const auto out = args.get("svg");
    if (!out || out->empty())
        return call.usage("sched plot needs --svg OUT");
    const std::string file = args.operands.front();
    std::vector<int> ni;
    if (const int status = grid_option(call, ni); status != kExitOk)
        return status;
    warn_about_schedule(file, ni);
    Schedule schedule;
    if (const int status = load_schedule(file, schedule); status != kExitOk)
        return status;
    int a = 0;
    int b = 1;
    if (auto dims = args.get("dims")) {
        if (schedule.dimensions() < 2 || !parse_dims(*dims, schedule.dimensions(), &a, &b))
            return call.usage("--dims needs two different dimensions 1.." +
                              std::to_string(schedule.dimensions()) + ", as in 1,2");
    }
    // The file is at fault as much as the grid: a failure, as in psf.
    if (!ni.empty() && static_cast<int>(ni.size()) != schedule.dimensions()) {
        const int columns = schedule.dimensions();
        error(file + ": the schedule has " + std::to_string(columns) + " column" +
              (columns == 1 ? "" : "s") + " but the grid " + std::to_string(ni.size()) +
              " dimension" + (ni.size() == 1 ? "" : "s"));
        return kExitFailure;
    }
    const std::string svg = schedule_picture(schedule, file, a, b, ni);
    if (const int failure = util::replace_file(*out, svg); failure != 0) {
        error("cannot write '" + *out + "': " + std::strerror(failure));
        return kExitFailure;
    }
    return kExitOk;
}

constexpr Option kOptions[] = {
    {"svg", "OUT", "file to write"},
    {"dims", "A,B", "dimensions (1-based) of the projection"},
    {"ni", "N[,N2...]", "the grid: increments per dimension"},
    {"params", "FILE", "the grid from the ni, ni2, ... parameters of FILE"},
};

}  // namespace

extern constinit const Command kPlot{
    .name = "plot",
    .summary = "draw a schedule file as an SVG picture",
    .usage = "FILE --svg OUT [--dims A,B] [--ni N,... | --params FILE]",
    .options = kOptions,
    .help = "Draws the schedule file FILE as an SVG picture in OUT.  One dimension: a\n"
            "strip of all increments with the sampled ones filled; two: the grid with\n"
            "the sampled cells filled; three or more: the projection on the\n"
            "dimensions A and B (default 1,2; a darker cell holds more points) and a\n"
            "histogram of sampled points per increment for each dimension.  Axes run\n"
            "to ni - 1 when the grid is given, else to the largest entry.  Rows that\n"
            "read only because the reader is lenient (see 'psenv sched check') are\n"
            "warned about first, on standard error.\n"
            "\n"
            "{options}\n"
            "\n"
            "OUT is replaced only once the picture was written whole.  Texts in the\n"
            "picture (the file name) are made valid UTF-8: a byte that is not is\n"
            "shown as U+FFFD.\n"
            "\n"
            "Exit status: 0 success, 1 failure (the schedule cannot be read or has\n"
            "another number of columns than the grid has dimensions, OUT cannot be\n"
            "written, failed output), 2 usage error.",
    .option_column = 19,
    .run = run,
};

}  // namespace psenv::sched
