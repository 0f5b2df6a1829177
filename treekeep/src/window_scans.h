// The loaders' fast path: tokens scanned whole, straight on a FileWindow,
// without going character by character through next() and putBack().
#ifndef PSENV_TREEKEEP_WINDOW_SCANS_H
#define PSENV_TREEKEEP_WINDOW_SCANS_H

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "record_scanner.h"
#include "record_source.h"
#include "scan_characters.h"

namespace treekeep {
// Kept to the scanner's own translation unit, where the hot loops inline
// them as they would their own.
namespace {

// Whole-token scans straight on a window.  Each takes only a token that
// lies wholly inside the window, in its plain form, followed by a character
// the conversion would leave unread; anything else (a token cut by the
// window's end, signs without digits, hex, inf, nan, a dangling exponent, a
// number out of range) returns false with nothing consumed, and the
// character scans decide.

const char *skipBlanks(const char *p, const char *end)
{
    while (p < end && isBlank(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

const char *skipDigits(const char *p, const char *end)
{
    while (p < end && isDigit(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

bool quickWord(FileWindow &window, char *buffer, std::size_t size)
{
    const char *end = window.limit();
    const char *first = skipBlanks(window.cursor(), end);
    const char *p = first;
    while (p < end && !isBlank(static_cast<unsigned char>(*p)))
        ++p;
    const auto length = static_cast<std::size_t>(p - first);
    if (p == end || length == 0 || length + 1 > size)
        return false;
    std::memcpy(buffer, first, length);
    buffer[length] = '\0';
    window.skipTo(p);
    return true;
}

bool quickInteger(FileWindow &window, long &value)
{
    const char *end = window.limit();
    const char *p = skipBlanks(window.cursor(), end);
    if (p == end)
        return false;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    const char *digits = p;
    p = skipDigits(p, end);
    // Up to 18 digits cannot overflow; longer numbers take the scan that
    // saturates.
    if (p == end || p == digits || p - digits > 18)
        return false;
    long magnitude = 0;
    for (const char *d = digits; d < p; ++d)
        magnitude = magnitude * 10 + (*d - '0');
    value = negative ? -magnitude : magnitude;
    window.skipTo(p);
    return true;
}

// Exact powers of ten as doubles.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Digits gathered in one pass, with how many there were.
struct Digits {
    const char *end;
    std::uint64_t value;
    int count;
};

Digits gatherDigits(const char *p, const char *end, std::uint64_t value, int count)
{
    for (; p < end && isDigit(static_cast<unsigned char>(*p)); ++p) {
        // Past 19 digits the value is not used; only the count matters.
        if (count < 19)
            value = value * 10 + static_cast<std::uint64_t>(*p - '0');
        ++count;
    }
    return {p, value, count};
}

bool quickReal(FileWindow &window, double &value)
{
    const char *end = window.limit();
    const char *first = skipBlanks(window.cursor(), end);
    const char *p = first;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+'))
        ++p;
    if (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
        return false;
    Digits whole = gatherDigits(p, end, 0, 0);
    Digits all = whole;
    if (whole.end < end && *whole.end == '.')
        all = gatherDigits(whole.end + 1, end, whole.value, whole.count);
    if (all.count == 0)
        return false;
    p = all.end;
    int exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool down = p < end && *p == '-';
        if (p < end && (*p == '-' || *p == '+'))
            ++p;
        const Digits power = gatherDigits(p, end, 0, 0);
        if (power.count == 0)
            return false;  // the conversion takes the mark and fails
        p = power.end;
        exponent = power.count > 4 ? 99999 : static_cast<int>(power.value);
        if (down)
            exponent = -exponent;
    }
    if (p == end || p - first >= static_cast<std::ptrdiff_t>(kLongestNumber))
        return false;

    // At most 15 digits and a power of ten up to 22 either way: both are
    // exact doubles, so one multiplication or division rounds exactly as
    // the full conversion does.  Whole limits and short values, most of a
    // parameter file, take this path.
    const int scale = exponent - (all.count - whole.count);
    if (all.count <= 15 && scale >= -22 && scale <= 22) {
        const auto digits = static_cast<double>(all.value);
        const double result =
            scale < 0 ? digits / kPowersOfTen[-scale] : digits * kPowersOfTen[scale];
        value = negative ? -result : result;
        window.skipTo(p);
        return true;
    }
    const char *number = *first == '+' ? first + 1 : first;
    auto [stop, ec] = std::from_chars(number, p, value);
    if (ec != std::errc() || stop != p)
        return false;
    window.skipTo(p);
    return true;
}

}  // namespace
}  // namespace treekeep

#endif
