// The panels of the point-spread pictures: a line over one dimension, a
// heat map over two, the heat map's colour legend, and what they share.
#ifndef PSENV_PICTURES_PSF_PANELS_H
#define PSENV_PICTURES_PSF_PANELS_H

#include <span>
#include <string>

#include "psenv_util/svg_writer.h"
#include "psf_scale.h"
#include "sparsamp_plan.h"

namespace psenv::plan {

// One schedule's point-spread function and figures.
struct PsfView {
    std::string file;
    csplan_psf_figures figures{};
    csplan_far_figures far{};
    std::span<const float> magnitude;  // |F(k)| / |F(0)| in linear index order
};

constexpr int kMostHeatCells = 200;  // per axis, before frequencies are binned

// `value` through a printf pattern (positions: two decimals).
std::string number_text(double value, const char *pattern = "%.2f");

// A line panel: |F| / |F(0)| over the centred frequency of `a`, the main
// lobe shaded, both sidelobes marked.
void line_panel(util::SvgWriter &svg, double left, double top, double width, double height,
                const PsfView &v, const FrequencyAxis &a, const PsfScale &scale);

// A heat map panel over the first two dimensions (beyond them, the largest
// value over the others); `automatic` is the top of an automatic scale.
void heat_panel(util::SvgWriter &svg, double left, double top, double width, double height,
                const PsfView &v, const FrequencyAxis &ax, const FrequencyAxis &ay,
                const PsfScale &scale, double automatic);

// The colour legend of a heat map and the key to its marks.
void legend(util::SvgWriter &svg, double left, double top, double height, const PsfScale &scale,
            double automatic, int exclude);

// Colour of a value in 0..1 on the heat map's scale ("#rrggbb").
std::string heat_colour(double value);

}  // namespace psenv::plan

#endif
