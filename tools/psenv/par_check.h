// The rules a new value must meet before `psenv par set` stores it.
#ifndef PSENV_TOOL_PAR_CHECK_H
#define PSENV_TOOL_PAR_CHECK_H

#include <optional>
#include <string>
#include <string_view>

#include "cmd_par.h"
#include "treekeep_files.h"

namespace psenv::par {

// Limits in force for a real parameter, resolved by the store (positions in
// parmin/parmax included); nullopt when they cannot be resolved.
struct Limits {
    double min = 0.0;
    double max = 0.0;
    double step = 0.0;
};

// A rule broken by a value: the store's code and a short detail for the
// message.
struct Refusal {
    int code;
    std::string detail;
};

// A real as a value: the whole text a finite number in range (decimal or
// hexadecimal, no blanks around it).
std::optional<double> value_real(std::string_view text);

// True for a text that reads as a number but not as a usable one: nan,
// inf, or beyond the range of a real (1e999, 1e-999).
bool unusable_number(std::string_view text);

// Checks of one value against a real parameter: upper and lower limit (only
// when max > min), step (only when step > 0; the value must be a whole
// multiple of it), enumeration (when the parameter has one).
std::optional<Refusal> check_real(const Param &param, const std::optional<Limits> &limits,
                                  double value);

// Checks of one value against a string parameter: its length (the files read
// back at most 1022 characters) and the enumeration.
std::optional<Refusal> check_string(const Param &param, std::string_view value);

// Longest string a parameter file reads back whole.
constexpr std::size_t kLongestText = P_LONGEST_STRING;

}  // namespace psenv::par

#endif
