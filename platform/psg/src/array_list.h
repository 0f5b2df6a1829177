// The "array" parameter's text taken apart: names separated by commas vary
// nested (the last one fastest); names in parentheses vary together.
#ifndef PSG_ARRAY_LIST_H
#define PSG_ARRAY_LIST_H

#include <string>
#include <string_view>
#include <vector>

namespace psg {

// One position of the nesting: a single name, or the names of a
// parenthesised group that step through their values jointly.
using ArrayGroup = std::vector<std::string>;

// Splits `text` into its groups, in the order listed.  An empty or blank
// text gives no group.  false with `error` set for a malformed text (an empty
// name, an unbalanced or nested parenthesis).
bool parse_array_list(std::string_view text, std::vector<ArrayGroup> &groups,
                      std::string &error);

} // namespace psg

#endif
