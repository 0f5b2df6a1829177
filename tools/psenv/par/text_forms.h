// Text forms of parameter values and attributes for `psenv par`.
#ifndef PSENV_TOOL_PAR_FORMAT_H
#define PSENV_TOOL_PAR_FORMAT_H

#include <cstddef>
#include <string>
#include <string_view>

#include "par/param_trees.h"

namespace psenv::par {

// A real as the parameter files write it: 12 significant digits, shortest form.
std::string real_text(double value);

// A text between double quotes with backslash, double quote and control
// characters escaped, so that it stays on one line.
std::string quoted(std::string_view text);

// A parameter name for output: backslashes and control characters escaped
// as in quoted(), without the quotes.  Names hold no white space, but a file
// may give them any other byte.
std::string name_text(std::string_view name);

// The store's words for `code` about the parameter `name`, the name set off
// by ": " ("tpwr: Value exceeds upper limit"), the words' trailing blank
// dropped; a `detail` follows in parentheses.
std::string store_words(int code, std::string_view name, std::string_view detail = "");

// "real", "string", or "type N" for any other code.
std::string type_name(int type);

// The list as blank-separated reals or quoted texts.  With `limit` nonzero and
// more entries than that: the first limit-1 entries, "..." and the count.
// With `width` nonzero, texts longer than that are cut and end in "...".
std::string list_text(const ValueList &list, std::size_t limit = 0, std::size_t width = 0);

// "min..max" plus the step when there is one; "-" when all three are 0.
// Limits held in parmin/parmax are shown as those positions.
std::string limits_text(const Param &param);

// Protection bits as "0x%04x".
std::string prot_text(int prot);

}  // namespace psenv::par

#endif
