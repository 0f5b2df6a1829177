// The load step of a run: a parameter file is used only when it loaded
// without a single message and holds something.
#ifndef PSG_PARAMETER_LOADING_H
#define PSG_PARAMETER_LOADING_H

namespace psg {

// Sends the store's messages to standard error after "<program>: ", counting
// them.  Installed once, before the first load.
void install_message_prefix();

// Number of messages the store has reported so far.
int messages_reported();

// Loads `path` into `tree` (0 global, 1 current).  false after a message on
// standard error when the file cannot be used: not a readable regular file,
// empty, refused by the strict check, or any message during the load.
bool load_parameter_file(int tree, const char *path);

} // namespace psg

#endif
