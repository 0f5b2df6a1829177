// psenv par check: the strict check of a parameter file on its own.
#include <cstdio>
#include <string>

#include "cli.h"
#include "par/param_trees.h"
#include "par/file_problems.h"

namespace psenv::par {
namespace {

constexpr const char *kCommand = "par check";

void print_help()
{
    std::puts("Usage: psenv par check FILE\n\n"
              "Checks that every record of the parameter file FILE is whole: its name,\n"
              "the eleven header fields, each count followed by that many values, every\n"
              "string closed, and the line break that ends the record.  The loaders take\n"
              "a file cut after a count or a real as ending there, without a message;\n"
              "'par set' and 'par merge' run this check and refuse a damaged file, and\n"
              "'par show', 'get', 'names' and 'diff' show nothing of one.\n\n"
              "Prints one line per problem: FILE:LINE: record N: 'NAME': what is wrong.\n"
              "Where a record left the layout the files are written in (a header on one\n"
              "line, a list of reals on the line of its count) before it went wrong, the\n"
              "line it left is named.  A record whose name an earlier record has is\n"
              "reported too, with the lines of both: a load keeps only the last.\n\n"
              "Exit status: 0 the file is whole, 1 it is damaged or repeats a name, 2 it\n"
              "cannot be read or usage error.");
}

}  // namespace

int check(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1, {{"help", false}}, kCommand, print_help, exit_status);
    if (!args)
        return exit_status;
    if (args->operands.size() != 1)
        return usage_error("par check needs exactly one parameter file", kCommand);
    const std::string &path = args->operands.front();
    const Checked checked = check_reported(path, path);
    switch (checked.whole) {
    case Whole::kYes:
        return checked.repeats == 0 ? kExitOk : kExitFailure;
    case Whole::kNo:
        return kExitFailure;
    case Whole::kUnreadable:
        break;
    }
    error(path + ": " + checked.failure);
    return kExitUsage;
}

}  // namespace psenv::par
