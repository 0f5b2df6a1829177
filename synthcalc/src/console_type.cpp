// The console type, read from the "Console" parameter into a buffer of the
// environment's allocator.
#include "memalloc.h"
#include "synthcalc_internal.h"
#include "treekeep.h"

extern "C" char *getconsoletype(void)
{
    auto *buffer = static_cast<char *>(allocate(SYNTHCALC_CONSOLE_SIZE));
    if (buffer == nullptr)
        return nullptr;
    // The current experiment (tree 4) overrides the system-wide value (tree 0).
    const int maxlen = SYNTHCALC_CONSOLE_SIZE - 1;
    if (P_getstring(4, "Console", buffer, 1, maxlen) != 0 &&
        P_getstring(0, "Console", buffer, 1, maxlen) != 0) {
        release(buffer);
        return nullptr;
    }
    return buffer;
}
