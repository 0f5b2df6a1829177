// Which missing parameters have been reported, shared by the reads and the
// start of an experiment.
#ifndef PSG_MISSING_READS_H
#define PSG_MISSING_READS_H

namespace psg {

void forget_missing_reads();

} // namespace psg

#endif
