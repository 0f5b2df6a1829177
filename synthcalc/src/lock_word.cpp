// Synthesizer words and lock frequencies of the two console types.
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "console_buffer.h"
#include "hostenv.h"
#include "synthcalc.h"
#include "synthcalc_internal.h"
#include "table_row.h"

using synthcalc::ConsoleBuffer;
using synthcalc::TableRow;

namespace {

// Nominal-frequency factor of the "ardel" synthesizer (bits 0x3FC3A63736CDF267).
constexpr double kArdelFactor = 0.15351;
// The synthesizer step, 40 MHz / 2^24.
constexpr long double kArdelStep = 40.0L / 16777216.0L;
// 2^32 / 40 MHz, per Hz (bits 0x405AD7F29ABCAF48).
constexpr double kQuilmarWordsPerHz = 107.3741824;

// Truncation toward zero into int32; out-of-range values are clamped.  The
// caller has ruled out NaN.
int truncate_clamped(long double x)
{
    if (x >= 2147483648.0L)
        return INT32_MAX;
    if (x <= -2147483649.0L)
        return INT32_MIN;
    return static_cast<int>(x);
}

bool in_int32(long double x)
{
    return x < 2147483648.0L && x > -2147483649.0L;
}

// The ardel word before its truncation and division: offset * 2^24 + 0.5.
long double ardel_steps(double offset)
{
    return static_cast<long double>(offset) * 16777216 + 0.5;
}

int ardel_word(double lockfreq, int key)
{
    const double offset = getlkfreqoffset(key, lockfreq);
    if (std::isnan(offset))
        return -1;
    return truncate_clamped(ardel_steps(offset)) / 40;
}

// The quilmar word before its truncation.
long double quilmar_exact(double lockfreq, int key)
{
    int n = 1;
    int m = 1;
    if (key == 300) {
        n = 23;
        m = 13;
    } else if (key == 400) {
        n = 33;
        m = 13;
    }
    long double x = static_cast<long double>(-20 * n) / m;
    x += lockfreq;
    x *= 1000000;
    x *= kQuilmarWordsPerHz;
    return x;
}

int quilmar_word(double lockfreq, int key)
{
    if (std::isnan(lockfreq))
        return -1;
    return truncate_clamped(quilmar_exact(lockfreq, key));
}

}  // namespace

extern "C" double apvalue2lkfreq(int word, int key)
{
    const ConsoleBuffer console;
    if (!console.present())
        return -1.0;
    if (!console.is("ardel"))
        return 0.0;
    TableRow row;
    if (!synthcalc::lookup_row(key, row))
        return 0.0;

    const long double nominal = static_cast<long double>(key) * kArdelFactor;
    const double locksynth = row.adds()
                                 ? static_cast<double>(nominal + row.synthif - row.lockref)
                                 : static_cast<double>(nominal - row.synthif - row.lockref);
    if (bgflag)
        std::fprintf(stderr, "gettmpfreqsign ardel(): locksynth = %g \n", locksynth);

    const long double d = static_cast<long double>(word) * kArdelStep;
    // A zero or NaN locksynth takes the upper side.
    const long double g = locksynth < 0 ? row.lockref - d : row.lockref + d;
    return row.adds() ? static_cast<double>(g - row.synthif) : static_cast<double>(g + row.synthif);
}

extern "C" int getlkfreqapword(double lockfreq, int key)
{
    const ConsoleBuffer console;
    if (console.is("ardel"))
        return ardel_word(lockfreq, key);
    if (console.is("quilmar"))
        return quilmar_word(lockfreq, key);
    return -1;
}

extern "C" int getlkfreqapword_fits(double lockfreq, int key)
{
    const ConsoleBuffer console;
    if (console.is("ardel")) {
        const double offset = getlkfreqoffset(key, lockfreq);
        return std::isnan(offset) ? -1 : in_int32(ardel_steps(offset)) ? 1 : 0;
    }
    if (console.is("quilmar"))
        return std::isnan(lockfreq) ? -1 : in_int32(quilmar_exact(lockfreq, key)) ? 1 : 0;
    return -1;
}

extern "C" void oneLongToTwoShort(int value, short halves[2])
{
    if (halves == nullptr)
        return;
    const auto bits = static_cast<std::uint32_t>(value);
    halves[0] = static_cast<short>(static_cast<std::uint16_t>(bits >> 16));
    halves[1] = static_cast<short>(static_cast<std::uint16_t>(bits));
}
