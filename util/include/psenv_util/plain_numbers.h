// The one plain form of numbers that texts given by people take: the
// command line's option values and operands, the planner's option texts and
// the pictures' scales.
#ifndef PSENV_UTIL_PLAIN_NUMBERS_H
#define PSENV_UTIL_PLAIN_NUMBERS_H

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace psenv::util {

// Numbers given as option values and operands: the whole token in plain
// decimal form (an optional sign, digits with an optional point, an optional
// exponent for reals), no blanks, no hexadecimal, no "nan" or "inf", and
// within [low, high].  Nothing otherwise.  Every number read from such a
// text goes through these two, so that one form is accepted everywhere.
std::optional<double> parse_decimal(std::string_view text, double low, double high);
std::optional<long long> parse_whole(std::string_view text, long long low, long long high);

// The same without a range of their own: any finite real, any long long.
std::optional<double> parse_real(std::string_view text);
std::optional<long long> parse_integer(std::string_view text);

// Comma lists such as "--ni 64,32": 1 to `most` elements, each read as
// above but unsigned (a sign inside a list is taken for a slip), no empty
// element, no blank around a comma.  Nothing otherwise.
std::optional<std::vector<long long>> parse_whole_list(std::string_view text, long long low,
                                                       long long high, std::size_t most);
std::optional<std::vector<double>> parse_decimal_list(std::string_view text, double low,
                                                      double high, std::size_t most);

}  // namespace psenv::util

#endif
