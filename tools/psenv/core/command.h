// What a psenv command is: one entry of the command table (commands.cpp).
// The table gives each command its name, the line its group lists it with,
// its usage, its options with their help, the text of its --help, the
// function that runs it and how its exit status 1 reads.  The parsing of
// the command line, --help, usage errors about options and subcommands and
// the help texts themselves all come from the entry.
#ifndef PSENV_TOOL_CORE_COMMAND_H
#define PSENV_TOOL_CORE_COMMAND_H

#include <span>
#include <string_view>

#include "core/args.h"
#include "core/report.h"

namespace psenv {

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
    // Its line in the list of its group's --help ("\n" continues it).
    std::string_view summary = {};
    // Usage forms, the words after "psenv <command>"; "\n" continues a form
    // on the next line, indented under its first word.
    std::span<const std::string_view> usage = {};
    // The one form its group's --help lists instead of `usage`, if any.
    std::string_view usage_in_group = {};
    // Options; --help is every command's and is not listed.
    std::span<const Option> options = {};
    // The --help text after the usage lines.  A line holding only
    // "{options}" becomes the list of the options that have help text (those
    // of no "{options NAME...}" line), "{options NAME...}" the list of those
    // named, "{commands}" the list of the subcommands with their summaries.
    // Empty: the command is described by its group, whose options and --help
    // it shares.
    std::string_view help = {};
    // Column at which the option and subcommand lists start their texts; 0:
    // two blanks after the longest entry.  A "{options NAME...}" list always
    // takes the latter.
    int option_column = 0;
    int command_column = 0;
    // Runs the command after its options were parsed; the exit status.
    int (*run)(const Call &) = nullptr;
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

}  // namespace psenv

#endif
