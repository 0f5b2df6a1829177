// One pass of a run through its elements and their scans: traced, quiet
// (a dry run, a rehearsal), or timing one scan of each element.
#ifndef PSG_EXPERIMENT_RUN_H
#define PSG_EXPERIMENT_RUN_H

#include "experiment_plan.h"

namespace psg {

struct PassSettings {
    bool traced = false;
    int shown_element = 0; // 0: every element is traced
    int shown_scan = 1;    // traced in full besides scan 1, and kept for the diagram
    int kept_element = -1; // the element whose events stay for the diagram; -1 none
    bool one_scan_each = false; // time nt scans of an element by its first
};

struct PassTotals {
    long long scans = 0;
    double scan_time = 0.0;       // every element's scans
    double first_scan_time = 0.0; // element 1's first scan: a steady-state scan's
    double steady_state_time = 0.0;

    double experiment_time() const { return scan_time + steady_state_time; }
};

// Runs elements 1 to `elements` of the walk prepared.  false after a
// message on standard error when a check before an element's sequence
// fails or an element cannot be selected; the checks at the primitives and
// aborts end the process themselves.
bool run_pass(const ExperimentPlan &plan, int elements, const PassSettings &settings,
              PassTotals &totals);

} // namespace psg

#endif
