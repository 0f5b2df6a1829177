#include "real_format.h"

#include <charconv>
#include <cstdio>

namespace treekeep {

char *formatReal(double value, char *first)
{
    // Whole numbers below 10^12 print in full under "%.12g", digits only:
    // most limits and many values of a parameter file.  (Negative zero keeps
    // its sign: "-0".)
    if (value > -1e12 && value < 1e12 && value != 0.0) {
        const auto whole = static_cast<long long>(value);
        if (static_cast<double>(whole) == value)
            return std::to_chars(first, first + kRealTextMax, whole).ptr;
    }
    auto [end, error] =
        std::to_chars(first, first + kRealTextMax, value, std::chars_format::general, 12);
    if (error == std::errc{})
        return end;
    // Not reachable with this room; printf stays the reference if it were.
    int length = std::snprintf(first, kRealTextMax, "%.12g", value);
    return first + (length > 0 ? length : 0);
}

}  // namespace treekeep
