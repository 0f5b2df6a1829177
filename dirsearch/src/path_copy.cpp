// Path-form conversions: on this platform both forms are the same, so the
// copies change nothing, but keep strncpy's padding and non-termination.
#include "dirsearch.h"

#include <cstddef>
#include <cstring>

namespace {
char *copy_path(const char *src, char *dst, int len)
{
    if (src == nullptr || dst == nullptr || len <= 0)
        return dst;
    return std::strncpy(dst, src, static_cast<std::size_t>(len));
}
}  // namespace

extern "C" char *winPathToUnix(const char *src, char *dst, int len) { return copy_path(src, dst, len); }

extern "C" char *unixPathToWin(const char *src, char *dst, int len) { return copy_path(src, dst, len); }
