// What `sched psf` and `sched compare` share: their common options, the
// figures of one schedule, and the wording of the figures.
#ifndef PSENV_TOOL_SCHED_PSF_VIEWS_H
#define PSENV_TOOL_SCHED_PSF_VIEWS_H

#include <optional>
#include <string>
#include <vector>

#include "core/command.h"
#include "sparsamp_pictures.h"
#include "sparsamp_plan.h"

namespace psenv::sched {

// One schedule's point-spread function and figures.
struct PsfView {
    std::string file;
    csplan_psf_figures figures{};
    csplan_far_figures far{};
    std::vector<float> magnitude;  // |F(k)| / |F(0)| in linear index order
};

// The grid and the options both commands take.
struct PsfSetup {
    csplan_grid grid{};
    int exclude = CSPLAN_DEFAULT_EXCLUDE;      // --exclude W
    csplan_scale scale{};                      // --scale (zeroed: automatic)
    std::vector<double> widths;                // --swJ or sw1.. of --params (0: unknown)
    std::optional<std::string> svg;            // --svg OUT
};

// The options both commands take, read into `setup` once the transform is
// known to be there, with the grid: kExitOk, else a usage error (no
// transform in this build is one too) or failure reported.
int psf_setup(const Call &call, PsfSetup &setup);

// Loads, masks and transforms one schedule (warning about lenient rows
// first): kExitOk, or kExitFailure after saying why not.  The magnitudes
// are kept only with `keep`.
int psf_of(const std::string &path, const PsfSetup &setup, PsfView &view, bool keep);

// Draws the views (one: sched psf's picture; several: sched compare's) to
// --svg OUT: kExitOk, or kExitFailure after saying why not.
int write_psf_picture(const PsfSetup &setup, const std::vector<PsfView> &views);

// Wordings of the figures.
std::string sidelobe_text(double x);                   // ten significant digits
std::string psr_text(double x);                        // "Y dB" below the peak
std::string share_text(const csplan_psf_figures &f);  // "D%"
// A frequency as "k1,k2" (0 .. ni-1), with Hz where the width is known.
std::string frequency_text(const PsfSetup &setup, const int *at);

}  // namespace psenv::sched

#endif
