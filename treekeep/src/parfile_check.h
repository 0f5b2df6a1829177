// Strict check of a parameter file's bytes, behind P_checkbytes and
// P_checkfile (treekeep_files.h).
//
// The loaders take the end of a file at a count or inside a list of reals
// as the normal end, so a file cut there loads without a word and a save
// would make the loss permanent.  This check asks more: every record is
// whole (its name, the eleven header fields, each count followed by that
// many values, every string closed, and the line break that ends the
// record), and within the limits the loaders read back (record_scanner.h).
//
// Where a record does not read, the fault is often earlier than where the
// reading fails: a value line that holds 2 of the 3 values it announces
// makes the next line's count the third value and the next record's name a
// count.  The check knows the layout the writer produces (a header on one
// line, the reals of a list on their count's line) and, when a record goes
// wrong after it left that layout, reports the line that left it.
#ifndef PSENV_TREEKEEP_PARFILE_CHECK_H
#define PSENV_TREEKEEP_PARFILE_CHECK_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace treekeep {

// One problem: the line (1-based) where it was found, the record it belongs
// to (1-based), and what is wrong, naming the record's parameter.  A repeat
// is a record whose name an earlier record has.
struct FileProblem {
    long line;
    long record;
    std::string message;
    bool repeat = false;
};

// A record as the check met it: its name (as it stands in the file), the
// line of the name, and its protection (0 when that field is no number).
struct FileRecord {
    std::string name;
    long line;
    long protection;
};

struct FileReport {
    std::vector<FileProblem> problems;
    std::vector<FileRecord> records;  // every record begun, in file order

    bool damaged() const;  // a problem other than a repeat
};

// Every problem of `bytes` in file order; none for a whole file (an empty
// file is whole).  Checking goes on after a problem that leaves the layout
// readable (a bad number, an overlong string) and stops at one that does
// not (the end of the file, an unknown type, a count that is no count, a
// record that left the writer's layout).  Repeats are looked for only when
// `findRepeats` is set.  Throws std::bad_alloc only.
FileReport checkFileBytes(std::string_view bytes, bool findRepeats);

// `text` with backslashes and control characters escaped (\\, \n, \t, \r,
// \xNN), so that a name from a file cannot drive the terminal it is shown
// on; escapedByte() writes the escape of one byte (at most kLongestEscape
// characters) to `out` and gives its length.
constexpr std::size_t kLongestEscape = 4;
std::size_t escapedByte(char c, char *out);
std::string printable(std::string_view text);

}  // namespace treekeep

#endif
