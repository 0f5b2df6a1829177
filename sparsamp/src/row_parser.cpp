#include "row_parser.h"

#include <cstdint>

namespace sparsamp {
namespace {

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

int parse_row(const char *text, int (&entries)[CS_MAX_DIMS])
{
    int found = 0;
    const char *p = text;
    while (found < CS_MAX_DIMS) {
        while (is_space(*p))
            ++p;
        bool negative = false;
        if (*p == '+' || *p == '-') {
            negative = *p == '-';
            ++p;
        }
        if (!is_digit(*p))
            break;
        std::int64_t magnitude = 0;
        for (; is_digit(*p); ++p)
            if (magnitude <= INT32_MAX)
                magnitude = magnitude * 10 + (*p - '0');
        std::int64_t value = negative ? -magnitude : magnitude;
        if (value > INT32_MAX)
            value = INT32_MAX;
        if (value < INT32_MIN)
            value = INT32_MIN;
        entries[found++] = static_cast<int>(value);
    }
    return found;
}

}  // namespace sparsamp
