// The point-spread function of schedules as an SVG picture.
#ifndef PSENV_PICTURES_PSF_PICTURE_H
#define PSENV_PICTURES_PSF_PICTURE_H

#include <string>
#include <vector>

#include "psf_panels.h"
#include "psf_scale.h"
#include "sparsamp_plan.h"

namespace psenv::plan {

// One view: its function with its figures.  One dimension: |F(k)| / |F(0)|
// as a line over k centred on 0; two or more: a heat map over the first
// two dimensions (the largest value over the others) with a colour legend.
// The main lobe is outlined, the max and the far sidelobe marked.  Several
// views: side by side on one scale; an automatic scale runs to the largest
// max sidelobe of them all (heat maps) or to 1 (lines).  `widths` holds
// each dimension's spectral width in Hz (0 or missing: unknown, the axes
// count frequency indices).  `views` is not empty.
std::string psf_picture(const std::vector<PsfView> &views, const csplan_grid &grid,
                        const PsfScale &scale, const std::vector<double> &widths);

}  // namespace psenv::plan

#endif
