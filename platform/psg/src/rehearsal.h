// The quiet rehearsal before a run: the whole experiment once, in a child
// process, so that what must stop a run before anything runs (a phase table
// out of range) stops it before the first line of the trace, and so that a
// sparse run learns what its full grid would take.  The child's side
// effects (the sequence's own state, its messages) stay in the child.
#ifndef PSG_REHEARSAL_H
#define PSG_REHEARSAL_H

#include "experiment_plan.h"

namespace psg {

struct Rehearsal {
    bool refused = false;   // the run must stop: the child's messages were written
    bool grid_timed = false;
    double grid_time = 0.0; // a sparse run's full grid, steady-state scans included
    long long grid_scans = 0;
};

// Runs the rehearsal.  When it cannot be made (no process, no pipe) the run
// goes ahead without it: the same checks then stop the run where they meet
// the fault.
Rehearsal rehearse(const ExperimentPlan &plan);

} // namespace psg

#endif
