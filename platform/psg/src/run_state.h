// What the library's entry knows about the run in progress, for the
// primitives that must report where they were called.
#ifndef PSG_RUN_STATE_H
#define PSG_RUN_STATE_H

#include <string>

namespace psg {

void set_program_name(const char *name);
const char *program_name();

void set_current_element(int element);
int current_element();

// The scan in progress (from 1) of the element's `scans`; the scan counter
// ct the sequence sees is scan - 1.  An element of one scan is named
// without it in messages.
void set_current_scan(int scan, int scans);
int current_scan();

// Where the run is, for messages: "element 3", or "element 3, scan 2" when
// the element has several scans.
std::string location();

// While rehearsing, the run goes quietly through the whole experiment once
// before anything is traced; a check that must stop a run before anything
// runs then ends the rehearsal with kExitRefused.
void set_rehearsing(bool on);
bool rehearsing();
constexpr int kExitRefused = 3;

// "<program>: <location>: <message>" on standard error after standard
// output and any scan the trace holds back were flushed; ends the process
// with status 1, or kExitRefused while rehearsing.
[[noreturn]] void refuse(const std::string &message);

// While muted, the display calls write nothing: the elements before the one
// picked with --element are drawn only for the state they leave behind.
void set_display_muted(bool muted);
bool display_muted();

// Set by a default display rendition: the program defines none of its own.
void note_missing_rendition(const char *name);

} // namespace psg

#endif
