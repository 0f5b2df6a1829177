// The one form of number a psenv command line takes: util's plain numbers.
#ifndef PSENV_TOOL_CORE_NUMBERS_H
#define PSENV_TOOL_CORE_NUMBERS_H

#include "psenv_util/plain_numbers.h"

namespace psenv {

using util::parse_decimal;
using util::parse_decimal_list;
using util::parse_integer;
using util::parse_real;
using util::parse_whole;
using util::parse_whole_list;

}  // namespace psenv

#endif
