// The point-spread function of schedules as SVG pictures.
#ifndef PSENV_TOOL_CMD_SCHED_PSF_SVG_H
#define PSENV_TOOL_CMD_SCHED_PSF_SVG_H

#include <string>
#include <vector>

#include "cmd_sched_psf_scale.h"
#include "sparsamp_plan.h"

namespace psenv::sched {

// One schedule's point-spread function and figures.
struct PsfView {
    std::string file;
    csplan_psf_figures figures{};
    csplan_far_figures far{};
    std::vector<float> magnitude;  // |F(k)| / |F(0)| in linear index order
};

// One dimension: |F(k)| / |F(0)| as a line over k centred on 0; two or more:
// a heat map over the first two dimensions (the largest value over the
// others) with a colour legend.  The main lobe is outlined, the max and the
// far sidelobe marked.  `widths` holds each dimension's spectral width in
// Hz (0: unknown, the axes count frequency indices).
std::string psf_picture(const PsfView &view, const csplan_grid &grid, const PsfScale &scale,
                        const std::vector<double> &widths);

// Several schedules side by side on one scale; an automatic scale runs to
// the largest max sidelobe of them all (heat maps) or to 1 (lines).
std::string compare_picture(const std::vector<PsfView> &views, const csplan_grid &grid,
                            const PsfScale &scale, const std::vector<double> &widths);

// Colour of a value in 0..1 on the heat map's scale ("#rrggbb").
std::string heat_colour(double value);

}  // namespace psenv::sched

#endif
