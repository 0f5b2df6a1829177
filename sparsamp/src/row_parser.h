// Parsing of one schedule file row.
#ifndef PSENV_SPARSAMP_ROW_PARSER_H
#define PSENV_SPARSAMP_ROW_PARSER_H

#include "sparsamp.h"

namespace sparsamp {

// Reads up to CS_MAX_DIMS integers from `text` like "%d %d ..." would: white
// space before each, an optional sign, decimal digits; parsing stops at the
// first character that cannot start or continue an integer.  Each integer
// replaces entries[0], entries[1], ... in turn; values beyond the 32-bit
// range are clamped.  Returns how many were found.
int parse_row(const char *text, int (&entries)[CS_MAX_DIMS]);

}  // namespace sparsamp

#endif
