#include "psf_picture.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "psenv_util/svg_writer.h"
#include "sparsamp_plan.h"

namespace psenv::plan {
namespace {

std::string num(double value, const char *pattern)
{
    return number_text(value, pattern);
}

std::string db_text(double sidelobe)
{
    const double db = csplan_peak_to_sidelobe_db(sidelobe);
    return std::isinf(db) ? "" : " (" + num(db, "%.1f") + " dB)";
}

std::string max_text(const PsfView &v)
{
    return "max sidelobe " + num(v.figures.max_sidelobe, "%.4f") + db_text(v.figures.max_sidelobe) +
           (v.far.shoulder ? ", a shoulder of the peak" : "");
}

std::string far_text(const PsfView &v)
{
    return "far sidelobe " + num(v.far.far_sidelobe, "%.4f") + db_text(v.far.far_sidelobe);
}

std::string share_text(const csplan_psf_figures &f)
{
    return std::to_string(f.points) + " of " + std::to_string(f.grid) + " points sampled (" +
           num(100.0 * static_cast<double>(f.points) / static_cast<double>(f.grid), "%.4g") + "%)";
}

std::vector<FrequencyAxis> axes_of(const csplan_grid &grid, const std::vector<double> &widths)
{
    std::vector<FrequencyAxis> axes;
    for (int k = 0; k < std::min(grid.dimensions, 2); ++k)
        axes.push_back({grid.ni[k], static_cast<std::size_t>(k) < widths.size()
                                        ? widths[static_cast<std::size_t>(k)]
                                        : 0.0});
    return axes;
}

// The heat map's side lengths: the longer dimension `side` pixels.
std::pair<double, double> heat_size(const csplan_grid &grid, double side)
{
    const double cx = std::min(grid.ni[0], kMostHeatCells);
    const double cy = std::min(grid.ni[1], kMostHeatCells);
    const double scale = side / std::max(cx, cy);
    return {std::max(cx * scale, side * 0.4), std::max(cy * scale, side * 0.4)};
}

}  // namespace

std::string psf_picture(const std::vector<PsfView> &views, const csplan_grid &grid,
                        const PsfScale &scale, const std::vector<double> &widths)
{
    const auto axes = axes_of(grid, widths);
    const bool single = views.size() == 1;
    const bool heat = grid.dimensions >= 2;
    double automatic = heat ? 0.0 : 1.0;
    if (heat)
        for (const PsfView &v : views)
            automatic = std::max(automatic, v.figures.max_sidelobe);
    if (!(automatic > 0))
        automatic = 1.0;
    const std::size_t per_row = single ? 1 : std::min<std::size_t>(views.size(), heat ? 3 : 2);
    const std::size_t rows = (views.size() + per_row - 1) / per_row;
    const auto [panel_w, panel_h] =
        heat ? heat_size(grid, single ? 520.0 : 340.0)
             : std::pair<double, double>{single ? 680.0 : 480.0, single ? 320.0 : 240.0};
    constexpr double kLeft = 86;
    const double kHead = single ? 100 : 74;  // the picture's title lines
    const double kPanelHead = single ? 0 : 50;  // each panel's file and figures
    constexpr double kPanelFoot = 56; // its axis
    const double cell_w = panel_w + kLeft + 40;  // a panel and the next one's labels
    const double cell_h = kPanelHead + panel_h + kPanelFoot;
    const double legend_left = kLeft + static_cast<double>(per_row - 1) * cell_w + panel_w + 40;
    // The legend's colour bar, its key and the key's three lines.
    const double legend_h = kPanelHead + std::min(panel_h, 260.0) + 110;
    util::SvgWriter svg(heat ? legend_left + 170 : kLeft + static_cast<double>(per_row - 1) * cell_w + panel_w + 30,
            kHead + std::max(static_cast<double>(rows) * cell_h, heat ? legend_h : 0.0));

    const char *what = heat ? (single ? "the max sidelobe" : "the largest max sidelobe")
                            : "the peak";
    svg.text(kLeft, 24,
             // A schedule given without a name (from Python) has none to show.
             single ? (views.front().file.empty() ? std::string("Point-spread function")
                                                  : "Point-spread function of " + views.front().file)
                    : "Point-spread functions of " + std::to_string(views.size()) +
                          " schedules on one scale",
             "start", 15);
    svg.text(kLeft, 44,
             single ? share_text(views.front().figures) + "; " + max_text(views.front())
                    : "far sidelobe: the largest |F(k)| / |F(0)| outside the main lobe |k| \u2264 " +
                          std::to_string(views.front().far.exclude),
             "start", 12);
    if (single)
        svg.text(kLeft, 60,
                 far_text(views.front()) + " outside the main lobe |k| \u2264 " +
                     std::to_string(views.front().far.exclude),
                 "start", 12);
    svg.text(kLeft, single ? 76 : 60,
             std::string(heat ? (grid.dimensions > 2
                                     ? "|F(k)| / |F(0)| over dimensions 1 and 2, largest over the others"
                                     : "|F(k)| / |F(0)| over dimensions 1 and 2")
                              : "|F(k)| / |F(0)| over k") +
                 "; " + scale.describe(automatic, what),
             "start", 12);
    for (std::size_t i = 0; i < views.size(); ++i) {
        const PsfView &v = views[i];
        const double left = kLeft + static_cast<double>(i % per_row) * cell_w;
        const double top = kHead + static_cast<double>(i / per_row) * cell_h + kPanelHead;
        if (!single) {
            svg.text(left, top - 34, v.file, "start", 13);
            svg.text(left, top - 20, max_text(v), "start", 11);
            svg.text(left, top - 6, far_text(v), "start", 11);
        }
        if (heat)
            heat_panel(svg, left, top, panel_w, panel_h, v, axes[0], axes[1], scale, automatic);
        else
            line_panel(svg, left, top, panel_w, panel_h, v, axes[0], scale);
    }
    if (heat)
        legend(svg, legend_left, kHead + std::max(kPanelHead, 14.0), panel_h, scale, automatic,
               views.front().far.exclude);
    return svg.finish();
}


}  // namespace psenv::plan
