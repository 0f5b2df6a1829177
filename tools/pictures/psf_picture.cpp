#include "psf_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "axis_ticks.h"
#include "svg_writer.h"

namespace psenv::sched {
namespace {

constexpr const char *kInk = "#222222";
constexpr const char *kLine = "#1f4e9c";
constexpr const char *kMark = "#c0392b";
constexpr double kLeft = 80;
constexpr double kTop = 76;
constexpr double kCharWidth = 6.6;  // 11-pixel digits, generously
constexpr double kLineHeight = 12;
constexpr int kMostHeatCells = 200;  // per axis, before frequencies are binned
constexpr int kColourLevels = 32;

std::string num(double value, const char *pattern = "%.2f")
{
    char buf[48];
    std::snprintf(buf, sizeof buf, pattern, value);
    return buf;
}

// Frequency k (0..n-1) as drawn: centred, negative frequencies on the left.
long long centred(long long k, long long n)
{
    return k <= (n - 1) / 2 ? k : k - n;
}

// A schedule given without a file (from Python) has no name to show.
std::string title(const std::string &file)
{
    return file.empty() ? std::string("Point-spread function") : "Point-spread function of " + file;
}

std::string subtitle(const csplan_psf_figures &f)
{
    const double db = csplan_peak_to_sidelobe_db(f.max_sidelobe);
    return std::to_string(f.points) + " of " + std::to_string(f.grid) + " points sampled (" +
           num(100.0 * static_cast<double>(f.points) / static_cast<double>(f.grid), "%.4g") +
           "%); max sidelobe " + num(f.max_sidelobe, "%.4f") +
           (std::isinf(db) ? "" : " (" + num(db, "%.1f") + " dB below the peak)");
}

void horizontal_ticks(Svg &svg, long long lo, long long hi, double left, double width,
                      double bottom)
{
    const double unit = width / static_cast<double>(hi - lo + 1);
    for (long long t : plan::axis_ticks(lo, hi, width, kCharWidth, kLineHeight)) {
        const double x = left + (static_cast<double>(t - lo) + 0.5) * unit;
        svg.line(x, bottom, x, bottom + 4, kInk);
        svg.text(x, bottom + 16, std::to_string(t), "middle", 11);
    }
}

void vertical_ticks(Svg &svg, long long lo, long long hi, double left, double top, double height)
{
    const double unit = height / static_cast<double>(hi - lo + 1);
    for (long long t : plan::axis_ticks(lo, hi, height, 0, kLineHeight)) {
        const double y = top + height - (static_cast<double>(t - lo) + 0.5) * unit;
        svg.line(left - 4, y, left, y, kInk);
        svg.text(left - 7, y + 4, std::to_string(t), "end", 11);
    }
}

std::string line_picture(const std::string &file, const csplan_grid &grid,
                         const csplan_psf_figures &f, const std::vector<float> &magnitude)
{
    constexpr double kWidth = 680;
    constexpr double kHeight = 320;
    const long long n = grid.ni[0];
    const long long lo = -(n / 2);
    const long long hi = lo + n - 1;
    Svg svg(kLeft + kWidth + 40, kTop + kHeight + 60);
    svg.text(kLeft, 24, title(file), "start", 15);
    svg.text(kLeft, 44, subtitle(f), "start", 12);
    svg.text(kLeft, 60, "|F(k)| / |F(0)| over the frequency index k", "start", 12);
    svg.rect(kLeft, kTop, kWidth, kHeight, "#f5f6f8");
    auto y_of = [&](double v) { return kTop + kHeight * (1.0 - v); };
    const double unit = kWidth / static_cast<double>(n);
    auto x_of = [&](double k) { return kLeft + (k - static_cast<double>(lo) + 0.5) * unit; };
    for (int i = 0; i <= 5; ++i) {
        const double v = i / 5.0;
        svg.line(kLeft, y_of(v), kLeft + kWidth, y_of(v), i == 0 ? kInk : "#d8dce3");
        svg.text(kLeft - 7, y_of(v) + 4, num(v, "%.1f"), "end", 11);
    }
    // The curve, one vertex per frequency or, when they outnumber the pixels,
    // the largest value of each pixel column (the sidelobes survive binning).
    std::string points;
    const long long columns = std::min<long long>(n, static_cast<long long>(kWidth) * 2);
    for (long long c = 0; c < columns; ++c) {
        const long long from = lo + c * n / columns;
        const long long to = lo + (c + 1) * n / columns;
        double value = 0;
        for (long long k = from; k < to; ++k)
            value = std::max(value, static_cast<double>(magnitude[static_cast<std::size_t>((k + n) % n)]));
        const double x = columns == n ? x_of(static_cast<double>(from))
                                      : x_of((static_cast<double>(from + to) - 1) / 2);
        points += num(x) + "," + num(y_of(value)) + " ";
    }
    svg.raw("<polyline fill=\"none\" stroke=\"" + std::string(kLine) +
            "\" stroke-width=\"1.2\" shape-rendering=\"geometricPrecision\" points=\"" + points +
            "\"/>");
    // The max sidelobe: its level dashed, both of its (mirror) frequencies ringed.
    const double level = y_of(f.max_sidelobe);
    svg.raw("<line x1=\"" + num(kLeft) + "\" y1=\"" + num(level) + "\" x2=\"" +
            num(kLeft + kWidth) + "\" y2=\"" + num(level) + "\" stroke=\"" + kMark +
            "\" stroke-dasharray=\"5 4\"/>");
    const long long at = f.at[0];
    for (long long k : {centred(at, n), centred((n - at) % n, n)})
        svg.raw("<circle cx=\"" + num(x_of(static_cast<double>(k))) + "\" cy=\"" + num(level) +
                "\" r=\"5\" fill=\"none\" stroke=\"" + kMark +
                "\" stroke-width=\"1.5\" shape-rendering=\"geometricPrecision\"/>");
    svg.text(kLeft + kWidth - 4, level - 6,
             "max sidelobe " + num(f.max_sidelobe, "%.4f") + " at k = \u00b1" + std::to_string(at),
             "end", 11);
    svg.line(kLeft, kTop, kLeft, kTop + kHeight, kInk);
    horizontal_ticks(svg, lo, hi, kLeft, kWidth, kTop + kHeight);
    svg.text(kLeft + kWidth / 2, kTop + kHeight + 36, "frequency index k (dimension 1)", "middle",
             12);
    svg.text(kLeft - 44, kTop + kHeight / 2, "|F(k)| / |F(0)|", "middle", 12, true);
    return svg.finish();
}

std::string heat_picture(const std::string &file, const csplan_grid &grid,
                         const csplan_psf_figures &f, const std::vector<float> &magnitude)
{
    const long long nx = grid.ni[0];
    const long long ny = grid.ni[1];
    const long long cx = std::min<long long>(nx, kMostHeatCells);
    const long long cy = std::min<long long>(ny, kMostHeatCells);
    // Each cell holds the largest value of its frequencies (and, beyond two
    // dimensions, of every frequency of the other dimensions).
    std::vector<float> cells(static_cast<std::size_t>(cx * cy), 0.0f);
    const long long lox = -(nx / 2);
    const long long loy = -(ny / 2);
    const long long plane = nx * ny;
    for (std::size_t m = 0; m < magnitude.size(); ++m) {
        if (m == 0)
            continue;  // the peak would swamp its cell
        const long long in_plane = static_cast<long long>(m) % plane;
        const long long sx = (centred(in_plane % nx, nx) - lox) * cx / nx;
        const long long sy = (centred(in_plane / nx, ny) - loy) * cy / ny;
        float &cell = cells[static_cast<std::size_t>(sy * cx + sx)];
        cell = std::max(cell, magnitude[m]);
    }
    constexpr double kSide = 520;
    const double scale = kSide / static_cast<double>(std::max(cx, cy));
    const double width = std::max(static_cast<double>(cx) * scale, 200.0);
    const double height = std::max(static_cast<double>(cy) * scale, 200.0);
    const double cell_w = width / static_cast<double>(cx);
    const double cell_h = height / static_cast<double>(cy);
    const double legend_left = kLeft + width + 40;
    Svg svg(legend_left + 150, kTop + height + 64);
    svg.text(kLeft, 24, title(file), "start", 15);
    svg.text(kLeft, 44, subtitle(f), "start", 12);
    svg.text(kLeft, 60,
             grid.dimensions > 2
                 ? "|F(k)| / |F(0)| over dimensions 1 and 2, largest over the others"
                 : "|F(k)| / |F(0)| over the frequency indices of dimensions 1 and 2",
             "start", 12);
    const double top_value = f.max_sidelobe > 0 ? f.max_sidelobe : 1.0;
    auto level = [&](float v) {
        return std::min(kColourLevels - 1,
                        static_cast<int>(v / top_value * kColourLevels));
    };
    for (long long row = 0; row < cy; ++row) {
        const double y = kTop + height - static_cast<double>(row + 1) * cell_h;
        long long c = 0;
        while (c < cx) {
            const int lv = level(cells[static_cast<std::size_t>(row * cx + c)]);
            long long end = c + 1;
            while (end < cx && level(cells[static_cast<std::size_t>(row * cx + end)]) == lv)
                ++end;
            svg.rect(kLeft + static_cast<double>(c) * cell_w, y,
                     static_cast<double>(end - c) * cell_w, cell_h,
                     heat_colour((lv + 0.5) / kColourLevels));
            c = end;
        }
    }
    // The peak at the centre, and a ring on the max sidelobe.
    auto cell_x = [&](long long k) {
        return kLeft + (static_cast<double>((centred(k, nx) - lox) * cx / nx) + 0.5) * cell_w;
    };
    auto cell_y = [&](long long k) {
        return kTop + height - (static_cast<double>((centred(k, ny) - loy) * cy / ny) + 0.5) * cell_h;
    };
    svg.raw("<circle cx=\"" + num(cell_x(0)) + "\" cy=\"" + num(cell_y(0)) +
            "\" r=\"3\" fill=\"#ffffff\" shape-rendering=\"geometricPrecision\"/>");
    const long long ax = f.at[0];
    const long long ay = f.at[1];
    svg.raw("<circle cx=\"" + num(cell_x(ax)) + "\" cy=\"" + num(cell_y(ay)) +
            "\" r=\"" + num(std::max(10.0, 1.5 * std::max(cell_w, cell_h))) + "\" fill=\"none\" stroke=\"" +
            kMark + "\" stroke-width=\"2\" shape-rendering=\"geometricPrecision\"/>");
    svg.line(kLeft, kTop + height, kLeft + width, kTop + height, kInk);
    svg.line(kLeft, kTop, kLeft, kTop + height, kInk);
    horizontal_ticks(svg, lox, lox + nx - 1, kLeft, width, kTop + height);
    vertical_ticks(svg, loy, loy + ny - 1, kLeft, kTop, height);
    svg.text(kLeft + width / 2, kTop + height + 36, "frequency index, dimension 1", "middle", 12);
    svg.text(kLeft - 48, kTop + height / 2, "frequency index, dimension 2", "middle", 12, true);

    // Colour legend: 0 to the max sidelobe; the central peak lies above it.
    const double bar_h = std::min(height, 260.0);
    for (int i = 0; i < kColourLevels; ++i)
        svg.rect(legend_left, kTop + bar_h - (i + 1) * bar_h / kColourLevels, 18,
                 bar_h / kColourLevels + 0.5, heat_colour((i + 0.5) / kColourLevels));
    svg.text(legend_left, kTop - 8, "|F| / |F(0)|", "start", 11);
    for (int i = 0; i <= 4; ++i) {
        const double y = kTop + bar_h - i * bar_h / 4;
        svg.line(legend_left + 18, y, legend_left + 22, y, kInk);
        svg.text(legend_left + 25, y + 4, num(top_value * i / 4, "%.3f"), "start", 11);
    }
    svg.text(legend_left, kTop + bar_h + 18, "top: max sidelobe", "start", 11);
    svg.text(legend_left, kTop + bar_h + 32, "(peak 1 drawn white)", "start", 11);
    svg.raw("<circle cx=\"" + num(legend_left + 9) + "\" cy=\"" + num(kTop + bar_h + 50) +
            "\" r=\"6\" fill=\"none\" stroke=\"" + kMark +
            "\" stroke-width=\"2\" shape-rendering=\"geometricPrecision\"/>");
    svg.text(legend_left + 22, kTop + bar_h + 54, "max sidelobe", "start", 11);
    return svg.finish();
}

}  // namespace

std::string heat_colour(double value)
{
    // Dark blue through teal and green to yellow: brightness rises steadily,
    // so the order of values survives printing in grey.
    static const double stops[][3] = {
        {16, 24, 64}, {40, 80, 150}, {36, 150, 140}, {150, 205, 85}, {250, 230, 40}};
    value = std::clamp(value, 0.0, 1.0) * 4.0;
    const int i = std::min(3, static_cast<int>(value));
    const double t = value - i;
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x",
                  static_cast<int>(std::lround(stops[i][0] + t * (stops[i + 1][0] - stops[i][0]))),
                  static_cast<int>(std::lround(stops[i][1] + t * (stops[i + 1][1] - stops[i][1]))),
                  static_cast<int>(std::lround(stops[i][2] + t * (stops[i + 1][2] - stops[i][2]))));
    return buf;
}

std::string psf_picture(const std::string &file, const csplan_grid &grid,
                        const csplan_psf_figures &figures, const std::vector<float> &magnitude)
{
    if (grid.dimensions == 1)
        return line_picture(file, grid, figures, magnitude);
    return heat_picture(file, grid, figures, magnitude);
}

}  // namespace psenv::sched
