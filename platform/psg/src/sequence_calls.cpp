#include "sequence_calls.h"

#include <cmath>

#include "psg.h"
#include "psgparam.h"
#include "value_checks.h"

namespace psg {
namespace {

constexpr int kDefaultObserveChannel = 1;
constexpr int kDefaultDecouplerChannel = 2;

// The check before the sequence refuses what does not fit; 0 only stands in
// until it has spoken.
int rounded(double value)
{
    if (!fits_int32_rounded(value))
        return 0;
    return static_cast<int>(std::lround(value));
}

int channel(const char *name, int fallback)
{
    return psgparam_exists(name) ? rounded(getval(name)) : fallback;
}

} // namespace

void fill_sequence_variables(int element, int scan_counter)
{
    getstr("dm", dm);
    getstr("homo", homo);
    d1 = getval("d1");
    d2 = getval("d2");
    d3 = getval("d3");
    d4 = getval("d4");
    pw = getval("pw");
    tpwr = getval("tpwr");
    rof1 = getval("rof1");
    rof2 = getval("rof2");
    alfa = getval("alfa");
    np = getval("np");
    sw = getval("sw");
    oph = rounded(getval("oph"));
    ix = element;
    ct = scan_counter;
    OBSch = channel("OBSch", kDefaultObserveChannel);
    DECch = channel("DECch", kDefaultDecouplerChannel);
}

void call_sequence(Rendition rendition)
{
    // Only the sequence's own reads are worth a warning about missing names.
    psgparam_warn_missing(1);
    switch (rendition) {
    case Rendition::Run:
        pulsesequence();
        break;
    case Rendition::Text:
        x_pulsesequence();
        break;
    case Rendition::Timing:
        t_pulsesequence();
        break;
    }
    psgparam_warn_missing(0);
}

} // namespace psg
