// Shared parts of the `psenv par` subcommands: loading files into scratch
// trees with the loaders' messages collected, and a plain copy of each
// parameter that the subcommands print and compare.
#ifndef PSENV_TOOL_CMD_PAR_H
#define PSENV_TOOL_CMD_PAR_H

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace psenv::par {

int show(int argc, char **argv);
int get(int argc, char **argv);
int set(int argc, char **argv);
int names(int argc, char **argv);
int diff(int argc, char **argv);
int merge(int argc, char **argv);
int check(int argc, char **argv);

// Trees the subcommands work in: the first (or only) file goes to kTreeA,
// the second file of `diff` to kTreeB.  Tree 4 ("system") receives the
// "parmin"/"parmax" arrays of a file so that indirect limits resolve.
constexpr int kTreeA = 2;
constexpr int kTreeB = 3;
constexpr int kTreeLimits = 4;

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
// messages are printed as "psenv: <path>: ...".
Load load_file(int tree, const std::string &path);

// True (and reported with the system's words) when `path` cannot be opened
// for reading or names a directory, which would read as an empty file.
bool reject_unreadable(const std::string &path);

// True (and reported) when saving `tree` would drop records: names that begin
// with "$" or that the tree component refuses are never written to a file.
bool reject_unsavable(int tree, const std::string &path);

// Runs `read` with the error sink captured; the messages emitted meanwhile
// are printed as "psenv: <path>: ..." and their number returned.
int with_loader_messages(const std::string &path, const std::function<void()> &read);

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
