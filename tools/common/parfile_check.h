// Strict check of a parameter file's bytes.
//
// The loaders take the end of a file at a count or inside a list of reals
// as the normal end, so a file cut there loads without a word and a save
// would make the loss permanent.  This check asks more: every record is
// whole (its name, the eleven header fields, each count followed by that
// many values, every string closed, and the line break that ends the
// record), so that tools can refuse to rewrite a damaged file.
#ifndef PSENV_TOOLS_PARFILE_CHECK_H
#define PSENV_TOOLS_PARFILE_CHECK_H

#include <string>
#include <string_view>
#include <vector>

namespace psenv {

// One problem: the line (1-based) where it was found, the record it belongs
// to (1-based), and what is wrong, naming the record's parameter.
struct ParfileProblem {
    long line;
    long record;
    std::string message;
};

// Every problem of `bytes` in file order; empty for a whole file (an empty
// file is whole).  Checking goes on after a problem that leaves the layout
// readable (a bad number, an overlong string) and stops at one that does
// not (the end of the file, an unknown type, a count that is no count).
std::vector<ParfileProblem> check_parfile_bytes(std::string_view bytes);

// Reads the file at `path` and checks it.  False, with `error` the system's
// text for the failure, when it cannot be read; a path that is not a
// regular file is not read (a FIFO would block).
bool check_parfile(const char *path, std::vector<ParfileProblem> &problems, std::string &error);

}  // namespace psenv

#endif
