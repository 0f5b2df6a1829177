// Wildcard matching of names.
//
// The matching rule is recursive: at a "*" that is not the pattern's last
// character the rest of the pattern is tried against every non-empty rest of
// the name.  Taken literally that is exponential in the number of stars, so
// the same rule is evaluated here as a dynamic programme over (star, name
// position), from the last star backwards, in O(pattern x name) time.
#include "dirsearch.h"

#include <cstddef>
#include <new>
#include <string_view>
#include <vector>

namespace {

// Only A-Z fold; locale and bytes above 127 play no part.
unsigned char fold(char c)
{
    auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

class Matcher {
public:
    Matcher(std::string_view pattern, std::string_view name) : pattern_(pattern), name_(name) {}

    bool matches()
    {
        std::vector<std::size_t> stars;
        for (std::size_t i = 0; i < pattern_.size(); ++i)
            if (pattern_[i] == '*')
                stars.push_back(i);

        // later[q]: some rest of the name from q or beyond matches the pattern
        // after the star that follows the segment being walked.
        std::vector<char> later(name_.size() + 1, 0);
        std::vector<char> current(name_.size() + 1, 0);
        for (std::size_t k = stars.size(); k-- > 0;) {
            current[name_.size()] = 0;  // the empty rest of the name is never tried
            for (std::size_t j = name_.size(); j-- > 0;)
                current[j] = static_cast<char>(walk(stars[k] + 1, j, later) || current[j + 1]);
            later.swap(current);
        }
        return walk(0, 0, later);
    }

private:
    // Walks the pattern from `from` and the name from `at` in step, up to the
    // end or the next star, as the recursive rule does.
    bool walk(std::size_t from, std::size_t at, const std::vector<char> &later) const
    {
        for (std::size_t step = 0;; ++step) {
            const std::size_t i = from + step;
            const std::size_t j = at + step;
            const bool pattern_ends = i == pattern_.size();
            const bool name_ends = j == name_.size();
            if (pattern_ends && name_ends)
                return true;
            if (pattern_ends || (name_ends && pattern_[i] != '*'))
                return false;
            const char c = pattern_[i];
            if (c == '*') {
                if (i + 1 == pattern_.size())
                    return true;
                return !name_ends && later[j] != 0;
            }
            if (c != '%' && fold(c) != fold(name_[j]))
                return false;
        }
    }

    std::string_view pattern_;
    std::string_view name_;
};

}  // namespace

extern "C" int nscmp(const char *pattern, const char *name)
{
    if (pattern == nullptr || name == nullptr)
        return 0;
    std::string_view p(pattern);
    std::string_view n(name);
    if (n.empty())
        return p == "*" || p.empty() ? 1 : 0;
    if (p.empty())
        return 0;
    try {
        return Matcher(p, n).matches() ? 1 : 0;
    } catch (const std::bad_alloc &) {
        return 0;  // a name too long to tabulate cannot be matched
    }
}
