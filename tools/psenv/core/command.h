// What a psenv command is: one entry of the command table (main.cpp), which
// gives it its name, the line its group lists it with, its usage, its
// options with their help, the text of its --help, the function that runs
// it and how its exit status 1 reads.  Parsing the command line, --help,
// the usage errors about options and subcommands and the help texts all
// come from the entries.
#ifndef PSENV_TOOL_CORE_COMMAND_H
#define PSENV_TOOL_CORE_COMMAND_H

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/report.h"

namespace psenv {

// An option given once per dimension, with the dimension's number:
// NAME, NAME2 .. NAME10 (kAfterBare) or NAME1 .. NAME10 (kFromOne); the
// lists show it as --NAMEJ.
enum class Numbered { kNo, kAfterBare, kFromOne };

// One option of a command.
struct Option {
    std::string_view name;        // the long name, without the dashes
    std::string_view value = {};  // what its value is called ("FILE"); empty for a flag
    // Its text in the option list ("\n" continues it under the column); an
    // option without one is not listed (another entry's label names it).
    std::string_view help = {};
    std::string_view label = {};  // the list's left column, when not "--name VALUE"
    Numbered numbered = Numbered::kNo;
};

// A command line split into options, by long name as given, and operands.
struct Args {
    std::vector<std::pair<std::string, std::string>> options;  // ("name", value or "")
    std::vector<std::string> operands;
    bool has(std::string_view name) const;
    std::optional<std::string> get(std::string_view name) const;  // the last one given
};

// A command as its run function receives it.
struct Call {
    const Args &args;
    // The words after "psenv" of the command whose --help describes this
    // one ("par show"; "lock" for "lock word"), for usage hints.
    std::string_view command;

    int usage(std::string_view text) const { return usage_error(text, command); }
};

struct Command {
    std::string_view name;
    std::string_view summary = {};  // its line in its group's list ("\n" continues it)
    // Its usage forms, the words after "psenv <command>", one a line; a line
    // after the first that starts with a blank continues the form before it
    // as it stands ("Usage: " and a group's "       " are equally long).
    std::string_view usage = {};
    std::string_view usage_in_group = {};  // the one form its group lists instead, if any
    std::span<const Option> options = {};  // --help is every command's and not listed
    // The --help text after the usage lines.  A line holding only
    // "{options}" becomes the list of the options that have help text (but
    // those of an "{options NAME...}" line, which lists the ones named),
    // "{commands}" the list of the subcommands with their summaries.  Empty:
    // the command is described by its group, whose options and --help it
    // shares.
    std::string_view help = {};
    // Where the texts of the option and subcommand lists start; 0: two
    // blanks after the longest entry, as in every "{options NAME...}" list.
    int option_column = 0;
    int command_column = 0;
    int (*run)(const Call &) = nullptr;  // after the options were parsed: the exit status
    // Exit status 1 is an answer ("different", "full"), as with cmp(1), so
    // every trouble, a failed output too, is status 2.
    bool answers_with_1 = false;
    // A group whose subcommand (an "operation") may stand anywhere among the
    // operands, after options too: "psenv lock --key 400 word" as well as
    // "psenv lock word --key 400".  Its subcommands share its options.
    bool operation_among_operands = false;
};

// The table: a command and, for a group, its subcommands.
struct CommandNode {
    const Command *command;
    std::span<const CommandNode> subcommands = {};
};

// Parses argv[first..argc) against `options` and "--help": "--name value",
// "--name=value" and "--" are understood, everything else is an operand.
// An unknown option, a missing value or a value given to a flag is a usage
// error with a hint to the --help of `command`: kExitUsage.  kExitOk
// otherwise, with `args` filled.
int parse_args(int argc, char **argv, int first, std::span<const Option> options,
               std::string_view command, Args &args);

// The --help of `node`, whose words after "psenv" are `path` ("" for the
// program): "Usage:" with its usage forms (a group's: those of its
// subcommands), a blank line and its help text with the lists filled in.
std::string help_text(const CommandNode &node, std::string_view path);

// Runs argv[1..argc) against `root` (argv[0] is the program): finds the
// command its words name, parses that command's options, answers --help
// and runs it.  A missing or unknown command is a usage error.  `reached`
// is the last command named, for the reading of the exit status.
int dispatch(const CommandNode &root, int argc, char **argv, const Command *&reached);

}  // namespace psenv

#endif
