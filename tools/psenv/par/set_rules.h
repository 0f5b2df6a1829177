// What `psenv par set` does to a parameter in a tree before it is saved:
// the rules every value must meet, the creation of a new parameter with
// its attributes, and the assignment itself.  The Python module's
// ParameterSet applies the same rules through these functions.
#ifndef PSENV_TOOL_PAR_SET_RULES_H
#define PSENV_TOOL_PAR_SET_RULES_H

#include <optional>
#include <string>
#include <vector>

#include "par/param_trees.h"
#include "par/value_rules.h"

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

// "NAME: <the store's words> (detail)" through error(); returns kExitFailure.
int refuse(const std::string &name, const Refusal &refusal);

// Every value (as its text) against a parameter of `tree`: its kind, limits
// (positions in parmin/parmax resolved from `tree` itself), step and
// enumeration.  kExitOk when all pass, else the first refusal is reported.
int values_allowed(int tree, const Param &param, const std::vector<std::string> &values);

// A new parameter `name` of `type` (T_REAL or T_STRING) in `tree` with the
// attributes given, its values checked; `param` receives it.  kExitOk, or
// kExitFailure after a report.
int create_parameter(int tree, const std::string &name, int type,
                     const std::vector<std::string> &values, const NewAttributes &attributes,
                     Param &param);

// Makes `values` the values of `param` in `tree`: index 0 for the first
// (the list becomes exactly that value), appended after it for the rest.
// Returns the store's code.
int assign_values(int tree, const Param &param, const std::vector<std::string> &values);

}  // namespace psenv::par

#endif
