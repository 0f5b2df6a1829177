// The rules of `psenv par set` as the parameter store offers them
// (treekeep_values.h), over the packed parameters of a ParameterSet: the
// one file of the Python module that places parameters into the store's
// trees to have them judged, and words the store's refusals.
#ifndef PSENV_PYTHON_PARAMETER_RULES_H
#define PSENV_PYTHON_PARAMETER_RULES_H

#include <optional>
#include <string>
#include <vector>

#include "parameter_table.h"

namespace psenv::python {

// What a new parameter is given besides its values.
struct NewAttributes {
    std::optional<double> min;
    std::optional<double> max;
    std::optional<double> step;
    std::optional<int> group;
    std::optional<int> prot;
};

// The tree the rules and a save work in.
int rules_tree();

// "NAME: <the store's words for code> (detail)".
std::string refusal_text(int code, const std::string &name, const std::string &detail = "");

// A value between double quotes, escaped to stay on one line.
std::string quoted(const std::string &text);

// "real", "string", or "type N".
std::string type_name(int type);

// `param` with every field a file holds placed into `tree` (a name it holds
// already is replaced).
void place(int tree, const Parameter &param);

// New values of the existing `param` by the rules of `par set`, `arrays`
// (parmin, parmax) giving the positions of indirect limits.  Throws
// ValueError with the refusal; returns the warnings.
std::vector<std::string> check_values(const Parameter &param, const std::vector<Parameter> &arrays,
                                      const std::vector<std::string> &texts);

// The parameter `name` of `type` made in `tree` with `attributes`, its
// values checked and assigned.  Throws ValueError with the refusal; returns
// the warnings.
std::vector<std::string> create_in(int tree, const std::string &name, int type,
                                   const std::vector<std::string> &texts,
                                   const NewAttributes &attributes);

// `texts` made the values of `name` in `tree`; false when it holds no such
// parameter.  Throws ValueError when the store refuses.
bool assign_in(int tree, const std::string &name, const std::vector<std::string> &texts);

// Whether `a` and `b` are the same parameter as `psenv par diff` judges.
bool same_parameter(const Parameter &a, const Parameter &b);

}  // namespace psenv::python

#endif
