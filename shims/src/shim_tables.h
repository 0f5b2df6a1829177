// The constant tables of the shim module: names by index and, per shim set,
// the bit mask of the indices the set has.
#ifndef PSENV_SHIMS_SHIM_TABLES_H
#define PSENV_SHIMS_SHIM_TABLES_H

#include <cstdint>

#include "shims.h"

namespace shims {

using NameTable = const char *const[SHIM_INDEX_COUNT];

// Names of the standard table.
extern NameTable sh_names_std;
// Names of set 12: "x4" and "y4" sit at 14 and 15 instead of 44 and 45.
extern NameTable sh_names_12;

// Row s, set s (0 to MAX_SHIMSET): index i is present when bit (i % 16) of
// word (i / 16) is set.
extern const std::uint16_t valid_mask[MAX_SHIMSET + 1][4];

}  // namespace shims

#endif
