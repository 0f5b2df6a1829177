// A pulse-sequence generation library that only records: every call the
// sequence makes becomes one line of `calls` ("genPower(50, 2)"), with reals
// printed exactly (%.17g) so that tests compare arguments bit for bit.
#ifndef TWINSCAN_TESTS_RECORDING_PSG_H
#define TWINSCAN_TESTS_RECORDING_PSG_H

#include <map>
#include <string>
#include <vector>

#include "psg.h"

namespace recording {

struct Library {
    std::map<std::string, double> reals;       // what getval() answers
    std::map<std::string, std::string> texts;  // what getstr() answers
    std::vector<std::string> calls;            // every call, in order
    std::string records;                       // DPSprint's output, formatted
    std::vector<std::string> timing;           // DPStimer events only
    int aborts = 0;
};

// The library the recording functions use; cleared by reset().
Library &library();

// Clears the record and sets the sequence variables to a typical mode-s
// experiment with the parameters it reads.
void reset();

// `value` as the record prints reals.
std::string exact(double value);

// The calls made since reset() whose names start with `prefix`.
std::vector<std::string> calls_named(const std::string &prefix);

} // namespace recording

#endif
