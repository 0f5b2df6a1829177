#include "fs_seam.h"

namespace {

int system_statvfs(const char *path, struct statvfs *figures) { return statvfs(path, figures); }
int system_stat(const char *path, struct stat *info) { return stat(path, info); }

constexpr dirsearch_fs_calls kSystemCalls{system_statvfs, system_stat};
dirsearch_fs_calls current_calls = kSystemCalls;

}  // namespace

extern "C" dirsearch_fs_calls dirsearch_set_fs_calls(const dirsearch_fs_calls *calls)
{
    dirsearch_fs_calls previous = current_calls;
    current_calls = calls != nullptr ? *calls : kSystemCalls;
    return previous;
}

extern "C" const dirsearch_fs_calls *dirsearch_fs(void) { return &current_calls; }
