// The check of new values against a parameter, shared by P_checkvalues and
// P_createparam.
#ifndef PSENV_TREEKEEP_VALUE_CHECK_H
#define PSENV_TREEKEEP_VALUE_CHECK_H

#include <cstddef>

#include "treekeep.h"
#include "treekeep_values.h"

namespace treekeep {

// Every value against the kind, limits, step and enumeration of `record`,
// the parameter `name` of `tree` (write protection not looked at).
int checkValues(int tree, const char *name, const varInfo &record, const char *const *values,
                std::size_t count, P_verdict *verdict);

// The length and enumeration of one string value; P_OK or the refusal.
int checkString(const varInfo &record, const char *value, P_verdict *verdict);

}  // namespace treekeep

#endif
