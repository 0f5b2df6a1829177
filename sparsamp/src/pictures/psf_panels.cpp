#include "psf_panels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "axis_ticks.h"
#include "sparsamp_plan.h"

namespace psenv::plan {
namespace {

constexpr const char *kInk = "#222222";
constexpr const char *kLine = "#1f4e9c";
constexpr const char *kMark = "#c0392b";  // the max sidelobe
constexpr const char *kFar = "#e08a00";   // the far sidelobe
constexpr double kCharWidth = 6.6;        // 11-pixel digits, generously
constexpr double kLineHeight = 12;
constexpr int kColourLevels = 32;

std::string num(double value, const char *pattern = "%.2f")
{
    return number_text(value, pattern);
}

long long centred(long long k, long long n)
{
    return k <= (n - 1) / 2 ? k : k - n;
}

void ring(util::SvgWriter &svg, double x, double y, double r, const char *colour)
{
    svg.raw("<circle cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"" + num(r) +
            "\" fill=\"none\" stroke=\"" + colour +
            "\" stroke-width=\"2\" shape-rendering=\"geometricPrecision\"/>");
}

void dashed(util::SvgWriter &svg, double x1, double y1, double x2, double y2, const char *colour)
{
    svg.raw("<line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) + "\" y2=\"" +
            num(y2) + "\" stroke=\"" + colour + "\" stroke-dasharray=\"5 4\"/>");
}

// A frequency axis drawn along [from, from + length]: horizontal below
// `at`, or vertical left of it.
void axis(util::SvgWriter &svg, const FrequencyAxis &a, int dimension, double from, double length, double at,
          bool horizontal)
{
    const double unit = length / static_cast<double>(a.n);
    const double lo = static_cast<double>(a.low());
    if (horizontal) {
        svg.line(from, at, from + length, at, kInk);
        for (const Tick &t : frequency_ticks(a, length, kCharWidth, kLineHeight)) {
            const double x = from + (t.position - lo + 0.5) * unit;
            svg.line(x, at, x, at + 4, kInk);
            svg.text(x, at + 16, t.label, "middle", 11);
        }
        svg.text(from + length / 2, at + 34, axis_title(a, dimension), "middle", 12);
        return;
    }
    svg.line(at, from, at, from + length, kInk);
    for (const Tick &t : frequency_ticks(a, length, 0, kLineHeight)) {
        const double y = from + length - (t.position - lo + 0.5) * unit;
        svg.line(at - 4, y, at, y, kInk);
        svg.text(at - 7, y + 4, t.label, "end", 11);
    }
    svg.text(at - 52, from + length / 2, axis_title(a, dimension), "middle", 12, true);
}

}  // namespace

std::string number_text(double value, const char *pattern)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, pattern, value);
    return buf;
}

void line_panel(util::SvgWriter &svg, double left, double top, double width, double height,
                const PsfView &v, const FrequencyAxis &a, const PsfScale &scale)
{
    const long long n = a.n;
    const long long lo = a.low();
    const auto y_of = [&](double value) { return top + height * (1.0 - scale.fraction(value, 1.0)); };
    const double unit = width / static_cast<double>(n);
    const auto x_of = [&](double k) { return left + (k - static_cast<double>(lo) + 0.5) * unit; };
    svg.rect(left, top, width, height, "#f5f6f8");
    const double lobe = std::min<double>(v.far.exclude, static_cast<double>(n) / 2);
    svg.rect(x_of(-lobe) - unit / 2, top, (2 * lobe + 1) * unit, height, "#e3e7ee");
    for (int i = 0; i <= 5; ++i) {
        const double y = top + height * (1.0 - i / 5.0);
        svg.line(left, y, left + width, y, i == 0 ? kInk : "#d8dce3");
        svg.text(left - 7, y + 4, scale.label(i / 5.0, 1.0), "end", 11);
    }
    // One vertex per frequency or, when they outnumber the pixels, the
    // largest value of each pixel column (the sidelobes survive binning).
    std::string points;
    const long long columns = std::min<long long>(n, static_cast<long long>(width) * 2);
    for (long long c = 0; c < columns; ++c) {
        const long long from = lo + c * n / columns;
        const long long to = lo + (c + 1) * n / columns;
        double value = 0;
        for (long long k = from; k < to; ++k)
            value = std::max(value, static_cast<double>(v.magnitude[static_cast<std::size_t>((k + n) % n)]));
        const double x = columns == n ? x_of(static_cast<double>(from))
                                      : x_of((static_cast<double>(from + to) - 1) / 2);
        points += num(x) + "," + num(y_of(value)) + " ";
    }
    svg.raw("<polyline fill=\"none\" stroke=\"" + std::string(kLine) +
            "\" stroke-width=\"1.2\" shape-rendering=\"geometricPrecision\" points=\"" + points +
            "\"/>");
    const struct {
        double value;
        long long at;
        const char *colour;
        const char *name;
    } marks[] = {{v.figures.max_sidelobe, v.figures.at[0], kMark, "max sidelobe"},
                 {v.far.far_sidelobe, v.far.at[0], kFar, "far sidelobe"}};
    double label_y = top + 14;
    for (const auto &m : marks) {
        const double level = y_of(m.value);
        dashed(svg, left, level, left + width, level, m.colour);
        for (long long k : {centred(m.at, n), centred((n - m.at) % n, n)})
            ring(svg, x_of(static_cast<double>(k)), level, 5, m.colour);
        svg.text(left + width - 4, label_y,
                 std::string(m.name) + " " + num(m.value, "%.4f") + " at k = \u00b1" +
                     std::to_string(std::llabs(centred(m.at, n))),
                 "end", 11);
        label_y += 14;
    }
    svg.line(left, top, left, top + height, kInk);
    svg.text(left - 52, top + height / 2,
             scale.kind == PsfScale::Kind::Decibel ? "|F(k)| / |F(0)| in dB" : "|F(k)| / |F(0)|",
             "middle", 12, true);
    axis(svg, a, 1, left, width, top + height, true);
}

void heat_panel(util::SvgWriter &svg, double left, double top, double width, double height, const PsfView &v,
                const FrequencyAxis &ax, const FrequencyAxis &ay, const PsfScale &scale,
                double automatic)
{
    const long long nx = ax.n;
    const long long ny = ay.n;
    const long long cx = std::min<long long>(nx, kMostHeatCells);
    const long long cy = std::min<long long>(ny, kMostHeatCells);
    // Each cell holds the largest value of its frequencies (and, beyond two
    // dimensions, of every frequency of the other dimensions).
    std::vector<float> cells(static_cast<std::size_t>(cx * cy), 0.0f);
    const long long plane = nx * ny;
    for (std::size_t m = 1; m < v.magnitude.size(); ++m) {  // the peak would swamp its cell
        const long long in_plane = static_cast<long long>(m) % plane;
        const long long sx = (centred(in_plane % nx, nx) - ax.low()) * cx / nx;
        const long long sy = (centred(in_plane / nx, ny) - ay.low()) * cy / ny;
        float &cell = cells[static_cast<std::size_t>(sy * cx + sx)];
        cell = std::max(cell, v.magnitude[m]);
    }
    const double cell_w = width / static_cast<double>(cx);
    const double cell_h = height / static_cast<double>(cy);
    const auto level = [&](float value) {
        return std::min(kColourLevels - 1,
                        static_cast<int>(scale.fraction(value, automatic) * kColourLevels));
    };
    for (long long row = 0; row < cy; ++row) {
        const double y = top + height - static_cast<double>(row + 1) * cell_h;
        long long c = 0;
        while (c < cx) {
            const int lv = level(cells[static_cast<std::size_t>(row * cx + c)]);
            long long end = c + 1;
            while (end < cx && level(cells[static_cast<std::size_t>(row * cx + end)]) == lv)
                ++end;
            svg.rect(left + static_cast<double>(c) * cell_w, y,
                     static_cast<double>(end - c) * cell_w, cell_h,
                     heat_colour((lv + 0.5) / kColourLevels));
            c = end;
        }
    }
    const auto cell_x = [&](double k) {
        return left + (std::floor((k - static_cast<double>(ax.low())) * static_cast<double>(cx) /
                                  static_cast<double>(nx)) + 0.5) * cell_w;
    };
    const auto cell_y = [&](double k) {
        return top + height -
               (std::floor((k - static_cast<double>(ay.low())) * static_cast<double>(cy) /
                           static_cast<double>(ny)) + 0.5) * cell_h;
    };
    // The main lobe outlined, the peak white, rings on both sidelobes.
    const double w = v.far.exclude;
    const double x0 = cell_x(-std::min<double>(w, static_cast<double>(nx / 2))) - cell_w / 2;
    const double x1 = cell_x(std::min<double>(w, static_cast<double>((nx - 1) / 2))) + cell_w / 2;
    const double y0 = cell_y(std::min<double>(w, static_cast<double>((ny - 1) / 2))) - cell_h / 2;
    const double y1 = cell_y(-std::min<double>(w, static_cast<double>(ny / 2))) + cell_h / 2;
    svg.raw("<rect x=\"" + num(x0) + "\" y=\"" + num(y0) + "\" width=\"" + num(x1 - x0) +
            "\" height=\"" + num(y1 - y0) +
            "\" fill=\"none\" stroke=\"#ffffff\" stroke-dasharray=\"3 2\"/>");
    svg.raw("<circle cx=\"" + num(cell_x(0)) + "\" cy=\"" + num(cell_y(0)) +
            "\" r=\"3\" fill=\"#ffffff\" shape-rendering=\"geometricPrecision\"/>");
    const double r = std::max(9.0, 1.5 * std::max(cell_w, cell_h));
    ring(svg, cell_x(static_cast<double>(centred(v.figures.at[0], nx))),
         cell_y(static_cast<double>(centred(v.figures.at[1], ny))), r, kMark);
    ring(svg, cell_x(static_cast<double>(centred(v.far.at[0], nx))),
         cell_y(static_cast<double>(centred(v.far.at[1], ny))), r + 3, kFar);
    axis(svg, ax, 1, left, width, top + height, true);
    axis(svg, ay, 2, top, height, left, false);
}

void legend(util::SvgWriter &svg, double left, double top, double height, const PsfScale &scale,
            double automatic, int exclude)
{
    const double bar_h = std::min(height, 260.0);
    for (int i = 0; i < kColourLevels; ++i)
        svg.rect(left, top + bar_h - (i + 1) * bar_h / kColourLevels, 18,
                 bar_h / kColourLevels + 0.5, heat_colour((i + 0.5) / kColourLevels));
    svg.text(left, top - 8, "|F| / |F(0)|", "start", 11);
    for (int i = 0; i <= 4; ++i) {
        const double y = top + bar_h - i * bar_h / 4;
        svg.line(left + 18, y, left + 22, y, kInk);
        svg.text(left + 25, y + 4, scale.label(i / 4.0, automatic), "start", 11);
    }
    svg.text(left, top + bar_h + 18, "(peak drawn white)", "start", 11);
    const struct {
        const char *colour;
        std::string what;
    } keys[] = {{kMark, "max sidelobe"},
                {kFar, "far sidelobe"},
                {nullptr, "main lobe |k| \u2264 " + std::to_string(exclude)}};
    double y = top + bar_h + 40;
    for (const auto &key : keys) {
        if (key.colour != nullptr)
            ring(svg, left + 9, y - 4, 6, key.colour);
        else
            svg.raw("<rect x=\"" + num(left + 3) + "\" y=\"" + num(y - 10) +
                    "\" width=\"12\" height=\"12\" fill=\"#28508f\" stroke=\"#ffffff\" "
                    "stroke-dasharray=\"3 2\"/>");
        svg.text(left + 22, y, key.what, "start", 11);
        y += 18;
    }
}

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

}  // namespace psenv::plan
