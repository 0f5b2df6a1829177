// Opening a parameter file for reading.
#ifndef PSENV_TREEKEEP_PARAMETER_FILE_OPEN_H
#define PSENV_TREEKEEP_PARAMETER_FILE_OPEN_H

#include <cstdio>

namespace treekeep {

// fopen(path, "r"), tried again for as long as a signal interrupts it.
// Null when the file cannot be opened (or `path` is null).
std::FILE *openForReading(const char *path);

}  // namespace treekeep

#endif
