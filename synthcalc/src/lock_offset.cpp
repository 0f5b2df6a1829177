// The lock offset of the table row, and its bits for the synthesizer.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "hostenv.h"
#include "synthcalc.h"
#include "synthcalc_internal.h"
#include "table_row.h"

using synthcalc::TableRow;

extern "C" double getlkfreqoffset(int key, double lockfreq)
{
    TableRow row;
    if (!synthcalc::lookup_row(key, row))
        return -1.0;
    // Sums in extended precision, rounded once when stored.
    const long double l = lockfreq;
    double v = row.adds() ? static_cast<double>((l + row.synthif) - row.lockref)
                          : static_cast<double>((l - row.synthif) - row.lockref);
    if (v < 0)
        v = -v;
    if (bgflag)
        std::fprintf(stderr, "setlkfrqflt(): locksynth = %g \n", v);
    return v;
}

extern "C" void getlkfreqDDsi(double lockfreq, int key, int words[2])
{
    if (words == nullptr)
        return;
    const double offset = getlkfreqoffset(key, lockfreq);
    std::uint64_t bits = 0;
    static_assert(sizeof bits == sizeof offset);
    std::memcpy(&bits, &offset, sizeof bits);
    words[0] = static_cast<int>(static_cast<std::uint32_t>(bits >> 32));
    words[1] = static_cast<int>(static_cast<std::uint32_t>(bits));
}
