// Why a file cannot be read, asked before a reader that would not say.
#ifndef PSENV_UTIL_UNREADABLE_H
#define PSENV_UTIL_UNREADABLE_H

namespace psenv::util {

// The errno value of opening `path` for reading (without waiting on a FIFO
// and without taking a terminal), EISDIR for a directory (readers would take
// it for an empty file), or 0 when it opens.
int unreadable(const char *path);

}  // namespace psenv::util

#endif
