// Decimals as the command line writes them, for the texts the pictures
// read (a scale such as "db:-40").
#ifndef PSENV_PICTURES_PLAIN_DECIMAL_H
#define PSENV_PICTURES_PLAIN_DECIMAL_H

#include <optional>
#include <string_view>

namespace psenv::plan {

// An optional sign, digits with an optional fraction and an optional
// exponent, and nothing else (no blanks, no "inf" or "nan", no hex): the
// finite value when it lies in low..high, else nothing.
std::optional<double> parse_plain_decimal(std::string_view text, double low, double high);

}  // namespace psenv::plan

#endif
