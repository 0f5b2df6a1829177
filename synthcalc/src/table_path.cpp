// Where the lock-frequency table lives: under the installation's system
// directory.
#include <cstring>

#include "hostenv.h"
#include "synthcalc.h"
#include "synthcalc_internal.h"

namespace synthcalc {

std::optional<std::string> table_path()
{
    const std::size_t length = strnlen(systemdir, sizeof systemdir);
    if (length > LOCKFREQTAB_SYSTEMDIR_MAX)
        return std::nullopt;
    std::string path(systemdir, length);
    path += LOCKFREQTAB_SUFFIX;
    return path;
}

}  // namespace synthcalc
