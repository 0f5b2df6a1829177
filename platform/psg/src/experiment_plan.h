// What a run will do, worked out and checked before anything runs: the
// elements (psgparam's walk), the scans of each and the steady-state scans.
#ifndef PSG_EXPERIMENT_PLAN_H
#define PSG_EXPERIMENT_PLAN_H

#include <vector>

#include "psgparam.h"

namespace psg {

struct ExperimentPlan {
    psgparam_walk shape{};
    std::vector<int> scans; // nt of each array element
    int steady_state = 0;   // ss
    long long total_scans = 0; // of every element, steady-state scans not included
    int fewest_scans = 1;
    // The parameters ask for more than one pass of a 1D sequence (nt, ss or
    // an indirect dimension): the trace ends with the experiment's summary.
    bool summarised = false;

    // nt of element `element` (1-based).
    int scans_of(int element) const;
};

// Reads and checks "nt" (of every array element; it may be arrayed) and
// "ss" once the walk is prepared.  false after a message on standard error
// naming the parameter and the element: nt must be a whole number from 1,
// ss one from 0, and all scans together at most kMostScans.
bool make_plan(ExperimentPlan &plan);

} // namespace psg

#endif
