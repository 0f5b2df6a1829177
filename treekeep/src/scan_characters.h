// The characters the token scans tell apart, as the stdio conversions of the
// "C" locale do, and the digits they gather the way strtol and strtoul clip.
#ifndef PSENV_TREEKEEP_SCAN_CHARACTERS_H
#define PSENV_TREEKEEP_SCAN_CHARACTERS_H

#include <climits>

namespace treekeep {
// Kept to the scanner's own translation unit, where the hot loops inline
// them as they would their own.
namespace {

// isspace() of the "C" locale, which is what the conversions skip.
inline bool isBlank(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

inline int hexDigit(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline int lower(int c)
{
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

// The first character that is not white space, consumed (EOF at the end).
template <class Source>
inline int firstNonBlank(Source &stream)
{
    int c;
    do
        c = stream.next();
    while (isBlank(c));
    return c;
}

// Digits accumulate saturated, the way strtol and strtoul clip.
template <int Base>
unsigned long accumulate(unsigned long value, int digit, bool &overflow)
{
    if (value > (ULONG_MAX - static_cast<unsigned long>(digit)) / Base) {
        overflow = true;
        return ULONG_MAX;
    }
    return value * Base + static_cast<unsigned long>(digit);
}

}  // namespace
}  // namespace treekeep

#endif
