// Calling the program's sequence: its variables written first, the reads of
// missing parameters reported only while it runs.
#ifndef PSG_SEQUENCE_CALLS_H
#define PSG_SEQUENCE_CALLS_H

#include "runner_options.h"

namespace psg {

// Writes the sequence variables from the parameters of the element selected
// (ix = `element`, ct = `scan_counter`).
void fill_sequence_variables(int element, int scan_counter);

void call_sequence(Rendition rendition);

} // namespace psg

#endif
