// What `sched psf` and `sched compare` share: their common options, the
// figures of one schedule, and the wording of the figures.
#ifndef PSENV_TOOL_CMD_SCHED_PSF_H
#define PSENV_TOOL_CMD_SCHED_PSF_H

#include <optional>
#include <string>
#include <vector>

#include "cli.h"
#include "cmd_sched_psf_scale.h"
#include "cmd_sched_psf_svg.h"
#include "sparsamp_plan.h"

namespace psenv::sched {

// The grid and the options both commands take.
struct PsfSetup {
    csplan_grid grid{};
    int exclude = CSPLAN_DEFAULT_EXCLUDE;      // --exclude W
    PsfScale scale;                            // --scale
    std::vector<double> widths;                // --swJ or sw1.. of --params (0: unknown)
    std::optional<std::string> svg;            // --svg OUT
};

// Parses the command line (the common options and `specs`), checks that the
// transform is available and reads the grid; nothing when the command must
// end with `status`.
std::optional<PsfSetup> prepare_psf(int argc, char **argv, const char *command, void (*help)(),
                                    std::vector<OptionSpec> specs, Args &args, int &status);

// Loads, masks and transforms one schedule (warning about lenient rows
// first); prints why not and returns false.  The magnitudes are kept only
// with `keep`.
bool psf_of(const std::string &path, const PsfSetup &setup, PsfView &view, bool keep);

// Wordings of the figures.
std::string sidelobe_text(double x);                   // ten significant digits
std::string psr_text(double x);                        // "Y dB" below the peak
std::string share_text(const csplan_psf_figures &f);  // "D%"
// A frequency as "k1,k2" (0 .. ni-1), with Hz where the width is known.
std::string frequency_text(const PsfSetup &setup, const int *at);

}  // namespace psenv::sched

#endif
