// The console type, read from the "Console" parameter into a buffer of the
// environment's allocator.
#include "memalloc.h"
#include "synthcalc_internal.h"
#include "treekeep.h"
#include "vartree.h"

extern "C" char *getconsoletype(void)
{
    auto *buffer = static_cast<char *>(allocate(SYNTHCALC_CONSOLE_SIZE));
    if (buffer == nullptr)
        return nullptr;
    // The console's own value (tree "system") overrides the one in "global".
    const int maxlen = SYNTHCALC_CONSOLE_SIZE - 1;
    if (P_getstring(VARTREE_SYSTEM, "Console", buffer, 1, maxlen) != 0 &&
        P_getstring(VARTREE_GLOBAL, "Console", buffer, 1, maxlen) != 0) {
        release(buffer);
        return nullptr;
    }
    return buffer;
}
