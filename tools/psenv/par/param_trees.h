// Shared parts of the `psenv par` subcommands: loading files into trees
// with the loaders' messages reported, and a plain copy of each parameter
// that the subcommands print and compare.
#ifndef PSENV_TOOL_PAR_PARAM_TREES_H
#define PSENV_TOOL_PAR_PARAM_TREES_H

#include <string>
#include <string_view>
#include <vector>

#include "vartree.h"

namespace psenv::par {

// Trees the subcommands work in: the first (or only) file goes to
// kFileTree, the second file of `diff` to kSecondFileTree.  (The value
// rules of `set` use the system tree for the "parmin"/"parmax" arrays of a
// file, where the store resolves indirect limits.)
constexpr int kFileTree = VARTREE_PROCESSED;
constexpr int kSecondFileTree = VARTREE_SCRATCH;

// Equality of two reals read from files; two NaNs count as equal.
bool same_real(double a, double b);

// One value list (values or enumeration) as plain data.  `type` is the
// list's type code; only the vector of that kind is filled.
struct ValueList {
    int type = 0;
    std::vector<double> reals;
    std::vector<std::string> texts;

    std::size_t count() const { return type == 2 ? texts.size() : reals.size(); }
    bool operator==(const ValueList &other) const;
};

// A parameter copied out of a tree.
struct Param {
    std::string name;
    int type = 0;
    int subtype = 0;
    int group = 0;
    int dgroup = 0;
    int active = 0;
    int prot = 0;
    double min = 0.0;
    double max = 0.0;
    double step = 0.0;
    ValueList values;
    ValueList enumeration;
};

// Outcome of reading a file into a tree.
enum class Load {
    kComplete,    // every record was read
    kIncomplete,  // the loader stopped at a bad record; what came before is loaded
    kFailed,      // nothing read (missing file, not a regular file, ...)
};

// Empties `tree` and fully loads `path` into it.  Failures and the loaders'
// messages are printed as "psenv: <path>: ..."; a path that cannot be
// opened for reading or names a directory (which would read as an empty
// file) is reported with the system's words.
Load load_file(int tree, const std::string &path);

// kExitFailure (reported) when saving `tree` would drop records: names that
// begin with "$" or that the tree component refuses are never written to a
// file.  kExitOk otherwise.
int refuse_unsavable(int tree, const std::string &path);

// Every parameter of `tree` in name order (strcmp).
std::vector<Param> collect(int tree);

// The parameter `name` of `tree`; false when it is missing.
bool find_param(int tree, const std::string &name, Param &out);

// "psenv: <first><second><store's words for code>" on standard error.
void report(int code, std::string_view first, std::string_view second = "");

// Bit of `prot` that forbids changing a parameter's values.
constexpr int kWriteProtect = 0x0001;

}  // namespace psenv::par

#endif
