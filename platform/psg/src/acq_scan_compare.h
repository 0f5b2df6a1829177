// How a scan differs from the first scan of its element: only in its phases
// (then one line tells which), or in more (then it is traced in full).
#ifndef PSG_ACQ_SCAN_COMPARE_H
#define PSG_ACQ_SCAN_COMPARE_H

#include <string>
#include <vector>

#include "psgacq.h"

namespace psg {

// Whether `scan` makes the same calls as `first` but for the phases of its
// pulses and its receiver.
bool differs_only_in_phases(const std::vector<psgacq_event> &first,
                            const std::vector<psgacq_event> &scan);

// The phases of `scan` that differ from `first`'s, as "ph1=2, pulse 3=1,
// receiver=2": a phase is named by the table it was taken from, else by the
// pulse's number in the scan (a simultaneous pair counts two) or "receiver".
// "phases as scan 1" when none differs.  Both scans must differ only in
// phases.
std::string phase_changes(const std::vector<psgacq_event> &first,
                          const std::vector<psgacq_event> &scan);

} // namespace psg

#endif
