#include "io_seam.h"

#include <unistd.h>

#include <cstdio>

namespace {

FILE *system_open(const char *path, const char *mode) { return std::fopen(path, mode); }
int system_flush(FILE *stream) { return std::fflush(stream); }
int system_sync(FILE *stream) { return fsync(fileno(stream)); }
int system_close(FILE *stream) { return std::fclose(stream); }
int system_rename(const char *from, const char *to) { return std::rename(from, to); }
int system_unlink(const char *path) { return unlink(path); }

constexpr treekeep_io_calls kSystemCalls{system_open,  system_flush,  system_sync,
                                         system_close, system_rename, system_unlink};
treekeep_io_calls current_calls = kSystemCalls;

}  // namespace

extern "C" const treekeep_io_calls *treekeep_system_io(void) { return &kSystemCalls; }

extern "C" treekeep_io_calls treekeep_set_io_calls(const treekeep_io_calls *calls)
{
    treekeep_io_calls previous = current_calls;
    current_calls = calls != nullptr ? *calls : kSystemCalls;
    return previous;
}

extern "C" const treekeep_io_calls *treekeep_io(void) { return &current_calls; }
