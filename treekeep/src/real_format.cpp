#include "real_format.h"

#include <charconv>
#include <cstdio>

namespace treekeep {

char *formatReal(double value, char *first)
{
    auto [end, error] =
        std::to_chars(first, first + kRealTextMax, value, std::chars_format::general, 12);
    if (error == std::errc{})
        return end;
    // Not reachable with this room; printf stays the reference if it were.
    int length = std::snprintf(first, kRealTextMax, "%.12g", value);
    return first + (length > 0 ? length : 0);
}

}  // namespace treekeep
