#include "table_row.h"

#include <cstdio>

#include "hostenv.h"
#include "synthcalc.h"
#include "synthcalc_internal.h"

namespace synthcalc {

bool lookup_row(int key, TableRow &row)
{
    const std::optional<std::string> path = table_path();
    if (!path || lockfreqtab_read(path->c_str(), key, &row.synthif, row.sense, &row.lockref) != 0)
        return false;
    if (bgflag)
        std::fprintf(stderr, "lockfreqtab: synthif=%g lksense= %c lockref=%g\n", row.synthif,
                     row.sense[0], row.lockref);
    return true;
}

}  // namespace synthcalc
