// A command line split into options and operands against a command's
// option table.
#ifndef PSENV_TOOL_CORE_ARGS_H
#define PSENV_TOOL_CORE_ARGS_H

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace psenv {

// One option of a command.
struct Option {
    // The long name, without the dashes.
    std::string_view name;
    // What its value is called in the help ("FILE"); empty for a flag.
    std::string_view value = {};
    // Its text in the option list ("\n" continues it under the column); an
    // option without one is not listed (another entry's label names it).
    std::string_view help = {};
    // The list's left column when it is not "--name VALUE".
    std::string_view label = {};
    // Also taken as NAME2 .. NAME10, one per dimension (listed as --NAMEJ).
    bool numbered = false;
};

// Highest suffix of a numbered option.
constexpr int kMostNumbered = 10;

// Parsed command line: options by long name as given, and the operands.
struct Args {
    std::vector<std::pair<std::string, std::string>> options;  // "name" -> value ("" for flags)
    std::vector<std::string> operands;
    bool has(std::string_view name) const;
    std::optional<std::string> get(std::string_view name) const;  // the last one given
    std::vector<std::string> all(std::string_view name) const;
};

// Parses argv[first..argc) against `options` plus "--help".  "--name
// value", "--name=value" and "--" are understood; everything else is an
// operand.  An unknown option, a missing value or a value given to a flag
// is a usage error with a hint to the --help of `command`: kExitUsage.
// kExitOk otherwise, with `args` filled.
int parse_args(int argc, char **argv, int first, std::span<const Option> options,
               std::string_view command, Args &args);

}  // namespace psenv

#endif
