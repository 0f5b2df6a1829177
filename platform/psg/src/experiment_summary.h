// The experiment's summary after the last element, or alone in a dry run:
// what was walked, the scans, the whole time and, for a sparse run, the
// time saved against the full grid.
#ifndef PSG_EXPERIMENT_SUMMARY_H
#define PSG_EXPERIMENT_SUMMARY_H

#include <string>

#include "experiment_plan.h"
#include "experiment_run.h"
#include "rehearsal.h"

namespace psg {

// "1:02:03.5" for 3723.5 s.
std::string clock_text(double seconds);

// The summary's lines, each ending in a newline.
std::string experiment_summary(const ExperimentPlan &plan, const PassTotals &totals,
                               const Rehearsal &rehearsal);

} // namespace psg

#endif
