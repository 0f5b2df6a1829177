// What the library's entry knows about the run in progress, for the
// primitives that must report where they were called.
#ifndef PSG_RUN_STATE_H
#define PSG_RUN_STATE_H

namespace psg {

void set_program_name(const char *name);
const char *program_name();

void set_current_element(int element);
int current_element();

// While muted, the display calls write nothing: the elements before the one
// picked with --element are drawn only for the state they leave behind.
void set_display_muted(bool muted);
bool display_muted();

// Set by a default display rendition: the program defines none of its own.
void note_missing_rendition(const char *name);

} // namespace psg

#endif
