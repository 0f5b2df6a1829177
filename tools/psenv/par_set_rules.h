// What `psenv par set` does to a parameter in a tree before it is saved:
// the rules every value must meet, the creation of a new parameter with
// its attributes, and the assignment itself.  The Python module's
// ParameterSet applies the same rules through these functions.
#ifndef PSENV_TOOL_PAR_SET_RULES_H
#define PSENV_TOOL_PAR_SET_RULES_H

#include <optional>
#include <string>
#include <vector>

#include "cmd_par.h"
#include "par_check.h"

namespace psenv::par {

// What the options say about a new parameter.
struct NewAttributes {
    std::optional<double> min;
    std::optional<double> max;
    std::optional<double> step;
    std::optional<int> group;
    std::optional<int> prot;

    bool any() const { return min || max || step || group || prot; }
    bool limits() const { return min || max || step; }
};

// Limits of the parameter `param` of `tree`, read through the store so that
// positions in parmin and parmax resolve; those arrays are taken from
// `tree` too.  When they cannot be resolved that is reported and no limits
// are checked.
std::optional<Limits> resolve_limits(int tree, const Param &param);

// "NAME: <the store's words> (detail)" on standard error.
void refuse(const std::string &name, const Refusal &refusal);

// The checks of every value (as its text) against a parameter's kind,
// limits, step and enumeration; the first refusal is reported.  True when
// all pass.
bool values_allowed(int tree, const Param &param, const std::vector<std::string> &values);

// A new parameter `name` of `type` (T_REAL or T_STRING) in `tree` with the
// attributes given, its values checked; `param` receives it.  Refusals are
// reported (false).
bool create_parameter(int tree, const std::string &name, int type,
                      const std::vector<std::string> &values, const NewAttributes &attributes,
                      Param &param);

// Makes `values` the values of `param` in `tree`: index 0 for the first
// (the list becomes exactly that value), appended after it for the rest.
// Returns the store's code.
int assign_values(int tree, const Param &param, const std::vector<std::string> &values);

}  // namespace psenv::par

#endif
