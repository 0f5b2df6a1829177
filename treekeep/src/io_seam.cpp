#include "io_seam.h"

#include "psenv_util/file_calls.h"

namespace {

// The system's calls are util's; the seam only keeps the store's own table
// and its form (an open that takes a mode), which the tests know.
const psenv::util::FileCalls &system() { return psenv::util::system_file_calls(); }

FILE *system_open(const char *path, const char *) { return system().create(path); }
int system_flush(FILE *stream) { return system().flush(stream); }
int system_sync(FILE *stream) { return system().sync(stream); }
int system_close(FILE *stream) { return system().close(stream); }
int system_rename(const char *from, const char *to) { return system().rename(from, to); }
int system_unlink(const char *path) { return system().unlink(path); }
int system_lstat(const char *path, struct stat *info) { return system().lstat(path, info); }
int system_chown(FILE *stream, uid_t owner, gid_t group)
{
    return system().chown(stream, owner, group);
}
int system_chmod(FILE *stream, mode_t mode) { return system().chmod(stream, mode); }

constexpr treekeep_io_calls kSystemCalls{system_open,   system_flush, system_sync,
                                         system_close,  system_rename, system_unlink,
                                         system_lstat,  system_chown, system_chmod};
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
