// Strict check of a parameter file's bytes.
//
// The loaders take the end of a file at a count or inside a list of reals
// as the normal end, so a file cut there loads without a word and a save
// would make the loss permanent.  This check asks more: every record is
// whole (its name, the eleven header fields, each count followed by that
// many values, every string closed, and the line break that ends the
// record), so that tools can refuse to rewrite a damaged file.
//
// Where a record does not read, the fault is often earlier than where the
// reading fails: a value line that holds 2 of the 3 values it announces
// makes the next line's count the third value and the next record's name a
// count.  The check knows the layout the writer produces (a header on one
// line, the reals of a list on their count's line) and, when a record goes
// wrong after it left that layout, reports the line that left it.
#ifndef PSENV_TOOLS_PARFILE_CHECK_H
#define PSENV_TOOLS_PARFILE_CHECK_H

#include <string>
#include <string_view>
#include <vector>

namespace psenv {

// One problem: the line (1-based) where it was found, the record it belongs
// to (1-based), and what is wrong, naming the record's parameter.  A repeat
// is a record whose name an earlier record has: the file reads, but a load
// keeps only the last of them and a save writes only that one.
struct ParfileProblem {
    long line;
    long record;
    std::string message;
    bool repeat = false;
};

// A record as the check met it: its name (as it stands in the file), the
// line of the name, and its protection (0 when that field is no number).
struct ParfileRecord {
    std::string name;
    long line;
    long protection;
};

struct ParfileReport {
    std::vector<ParfileProblem> problems;
    std::vector<ParfileRecord> records;  // every record begun, in file order

    bool damaged() const;  // a problem other than a repeat
    std::size_t repeats() const;
};

// Every problem of `bytes` in file order; empty for a whole file (an empty
// file is whole).  Checking goes on after a problem that leaves the layout
// readable (a bad number, an overlong string) and stops at one that does
// not (the end of the file, an unknown type, a count that is no count, a
// record that left the writer's layout).  Repeats are looked for only when
// `find_repeats` is set.
std::vector<ParfileProblem> check_parfile_bytes(std::string_view bytes, bool find_repeats = false);

// The same with the records met.
ParfileReport check_parfile_report(std::string_view bytes, bool find_repeats);

// Reads the file at `path` and checks it.  False, with `error` the system's
// text for the failure, when it cannot be read; a path that is not a
// regular file is not read (a FIFO would block).
bool check_parfile(const char *path, std::vector<ParfileProblem> &problems, std::string &error,
                   bool find_repeats = false);
bool check_parfile(const char *path, ParfileReport &report, std::string &error,
                   bool find_repeats);

// `text` with backslashes and control characters escaped (\\, \n, \t, \r,
// \xNN), so that a name from a file cannot drive the terminal it is shown on.
std::string printable(std::string_view text);

}  // namespace psenv

#endif
