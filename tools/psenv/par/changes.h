// Differences between parameters, shared by `par diff` and `par merge`.
#ifndef PSENV_TOOL_PAR_CHANGES_H
#define PSENV_TOOL_PAR_CHANGES_H

#include <string>
#include <vector>

#include "par/param_trees.h"

namespace psenv::par {

// "FIELD: a -> b" for every field in which a and b differ (name excluded).
std::vector<std::string> field_changes(const Param &a, const Param &b);

// Lines "- NAME" (only in a), "+ NAME" (only in b) and "~ NAME FIELD: x -> y",
// in name order; both vectors must be in name order.
std::vector<std::string> tree_changes(const std::vector<Param> &a, const std::vector<Param> &b);

}  // namespace psenv::par

#endif
