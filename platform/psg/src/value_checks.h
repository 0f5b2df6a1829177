// What the hardware would refuse: the rules every value of a run must meet,
// before the sequence is called and again at every primitive.
#ifndef PSG_VALUE_CHECKS_H
#define PSG_VALUE_CHECKS_H

#include <string>

namespace psg {

enum class ValueRule {
    Duration,      // finite and not negative
    PulseWidth,    // finite and not negative
    SpectralWidth, // finite and positive
    Dwell,         // finite and positive
    Points,        // a positive even whole number
    Power,         // finite
    Phase,         // a whole number that fits in 32 bits
    Channel,       // finite, and once rounded it fits in 32 bits
};

// Whether `value` rounded to the nearest whole number (halves away from
// zero) fits in a 32-bit integer; false for NaN and infinities.
bool fits_int32_rounded(double value);

// "" when `value` meets `rule`, else why not ("a pulse width must be finite
// and not negative").
const char *rule_broken(ValueRule rule, double value);

// "<what> = <value>: <why>" for a value that breaks `rule`; "" when it meets it.
std::string check_value(const char *what, ValueRule rule, double value);

// The first sequence variable that breaks its rule, as check_value() words
// it; only variables whose parameter exists are checked (a missing one is 0
// and caught by the primitive that uses it).  "" when all are fine.
std::string check_sequence_variables();

// At a primitive: when `value` breaks `rule`, report "<program>: element N:
// <call>: <what> = <value>: <why>" on standard error after flushing standard
// output, and end the process with status 1.
void require(const char *call, const char *what, ValueRule rule, double value);

} // namespace psg

#endif
