// The wildcard matching rule transcribed literally, recursion and all.  It is
// exponential in the number of stars, so it serves only as the reference for
// short texts (unit tests and the equivalence fuzzer).
#ifndef PSENV_TESTS_WILDCARD_REFERENCE_H
#define PSENV_TESTS_WILDCARD_REFERENCE_H

#include <cstddef>
#include <cstring>

namespace wildcard_reference {

inline char fold(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline int match(const char *pattern, const char *name)
{
    if (*pattern == '\0' && *name == '\0')
        return 1;
    if (*pattern == '\0')
        return 0;
    if (*name == '\0')
        return std::strcmp(pattern, "*") == 0 ? 1 : 0;
    for (std::size_t p = 0;; ++p) {
        if (pattern[p] == '\0' && name[p] == '\0')
            return 1;
        if (pattern[p] == '%') {
            if (name[p] == '\0')
                return 0;
            continue;
        }
        if (pattern[p] == '*') {
            if (pattern[p + 1] == '\0')
                return 1;
            if (name[p] == '\0')
                return 0;
            for (std::size_t q = p; name[q] != '\0'; ++q)
                if (match(pattern + p + 1, name + q) == 1)
                    return 1;
            return 0;
        }
        if (fold(pattern[p]) != fold(name[p]))
            return 0;
    }
}

}  // namespace wildcard_reference

#endif
