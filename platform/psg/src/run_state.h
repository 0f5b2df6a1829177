// What the library's entry knows about the run in progress, for the
// primitives that must report where they were called.
#ifndef PSG_RUN_STATE_H
#define PSG_RUN_STATE_H

namespace psg {

void set_program_name(const char *name);
const char *program_name();

void set_current_element(int element);
int current_element();

} // namespace psg

#endif
