// The point-spread function of a schedule as an SVG picture.
#ifndef PSENV_PICTURES_PSF_PICTURE_H
#define PSENV_PICTURES_PSF_PICTURE_H

#include <string>
#include <vector>

#include "sparsamp_plan.h"

namespace psenv::sched {

// One dimension: |F(k)| / |F(0)| as a line over k centred on 0; two or more:
// a heat map over the first two dimensions (the largest value over the others)
// with a colour legend.  The max sidelobe is marked in both.  `file` names
// the schedule in the title (none when empty).
std::string psf_picture(const std::string &file, const csplan_grid &grid,
                        const csplan_psf_figures &figures, const std::vector<float> &magnitude);

// Colour of a value in 0..1 on the heat map's scale ("#rrggbb").
std::string heat_colour(double value);

}  // namespace psenv::sched

#endif
