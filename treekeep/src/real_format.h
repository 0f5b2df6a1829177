// The text of a real as the parameter file holds it: "%.12g", made with
// std::to_chars, which gives printf's bytes much faster.
#ifndef PSENV_TREEKEEP_REAL_FORMAT_H
#define PSENV_TREEKEEP_REAL_FORMAT_H

#include <cstddef>

namespace treekeep {

// Room for the longest form, "-1.23456789012e-308" and the like.
constexpr std::size_t kRealTextMax = 32;

// Write the "%.12g" form of `value` at `first`, which must have
// kRealTextMax bytes of room; returns the end (no terminator is written).
char *formatReal(double value, char *first);

}  // namespace treekeep

#endif
